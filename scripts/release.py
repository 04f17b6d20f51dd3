#!/usr/bin/env python3
"""Release helpers for Quarrion, run by the build and by scripts/play.

  release.py zip --version V --exe EXE --music DIR --root SRC --out ZIP
      Writes the Windows download: one folder Quarrion/ with the exe, the music
      files of DIR, README.TXT (made from docs/README.TXT.in) and LICENSE.TXT.
      The same inputs give the same bytes: fixed order, fixed attributes and
      one timestamp for every entry, SOURCE_DATE_EPOCH if it is set, else the
      time of the source tree's last commit, else 1 January 1980.

  release.py icon --ico ICO --size 48 --out PNG
      Draws the largest image of a Windows icon file as a square PNG.

  release.py shrink --in PNG --out PNG --max-bytes N
      Writes a screenshot again as a small palette PNG (the game draws with
      few colours); fails if it would still be larger than N bytes.
"""

import argparse
import os
import struct
import subprocess
import sys
import time
import zipfile
import zlib

FOLDER = "Quarrion/"
ZIP_EPOCH_MIN = 315532800  # 1980-01-01 00:00:00 UTC, the first time a zip can hold


def crlf_ascii(text, name):
    """The text with CRLF line ends; refuses any character above 127."""
    bad = [c for c in text if ord(c) > 127]
    if bad:
        sys.exit("release.py: %s holds characters a plain Windows text file cannot: %r" % (name, bad[:5]))
    lines = text.replace("\r\n", "\n").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def source_epoch(root):
    env = os.environ.get("SOURCE_DATE_EPOCH", "").strip()
    if env:
        return int(env)
    try:
        out = subprocess.run(["git", "-C", root, "log", "-1", "--format=%ct"],
                             capture_output=True, text=True, check=True).stdout.strip()
        if out:
            return int(out)
    except (OSError, subprocess.CalledProcessError, ValueError):
        pass
    return ZIP_EPOCH_MIN


def add_entry(zf, name, data, stamp, is_dir=False):
    info = zipfile.ZipInfo(name, date_time=stamp)
    info.create_system = 3  # the Unix attributes below, whatever machine packs it
    if is_dir:
        info.external_attr = (0o40755 << 16) | 0x10
        info.compress_type = zipfile.ZIP_STORED
    else:
        info.external_attr = 0o100644 << 16
        info.compress_type = zipfile.ZIP_DEFLATED
    zf.writestr(info, data, compresslevel=9)


def cmd_zip(args):
    readme_in = os.path.join(args.root, "docs", "README.TXT.in")
    with open(readme_in, encoding="utf-8") as f:
        readme = f.read().replace("@VERSION@", args.version)
    with open(os.path.join(args.root, "LICENSE"), encoding="utf-8") as f:
        licence = f.read()
    with open(args.exe, "rb") as f:
        exe = f.read()
    music = sorted(n for n in os.listdir(args.music) if n.lower().endswith(".mid"))
    if not music:
        sys.exit("release.py: no music files in %s" % args.music)

    epoch = max(source_epoch(args.root), ZIP_EPOCH_MIN)
    stamp = time.gmtime(epoch)[:6]
    entries = [(FOLDER + "Quarrion.exe", exe),
               (FOLDER + "README.TXT", crlf_ascii(readme, "README.TXT")),
               (FOLDER + "LICENSE.TXT", crlf_ascii(licence, "LICENSE.TXT"))]
    for name in music:
        with open(os.path.join(args.music, name), "rb") as f:
            entries.append((FOLDER + name, f.read()))

    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    tmp = args.out + ".part"
    with zipfile.ZipFile(tmp, "w") as zf:
        add_entry(zf, FOLDER, b"", stamp, is_dir=True)
        for name, data in entries:
            add_entry(zf, name, data, stamp)
    os.replace(tmp, args.out)
    print(args.out)


def read_ico_image(path):
    """The largest image of an icon file as rows of (r, g, b, a), top row first."""
    with open(path, "rb") as f:
        data = f.read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    if kind != 1 or count == 0:
        sys.exit("release.py: %s is not an icon file" % path)
    best = None
    for i in range(count):
        w, h, _, _, _, _, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        if best is None or w * h > best[0] * best[1]:
            best = (w, h, offset, size)
    w, h, offset, _ = best
    if data[offset:offset + 8] == b"\x89PNG\r\n\x1a\n":
        sys.exit("release.py: PNG images inside icons are not handled")
    hdr_size, bw, bh2, _, bpp = struct.unpack_from("<IiiHH", data, offset)
    colours = struct.unpack_from("<I", data, offset + 32)[0]
    if bpp <= 8 and colours == 0:
        colours = 1 << bpp
    pal_at = offset + hdr_size
    palette = [struct.unpack_from("<BBBB", data, pal_at + 4 * i) for i in range(colours if bpp <= 8 else 0)]
    xor_at = pal_at + 4 * len(palette)
    xor_stride = ((w * bpp + 31) // 32) * 4
    and_at = xor_at + xor_stride * h
    and_stride = ((w + 31) // 32) * 4
    rows = []
    for y in range(h):
        src = h - 1 - y  # bottom-up
        row = []
        for x in range(w):
            if bpp == 32:
                b, g, r, a = struct.unpack_from("<BBBB", data, xor_at + src * xor_stride + 4 * x)
            elif bpp == 24:
                b, g, r = struct.unpack_from("<BBB", data, xor_at + src * xor_stride + 3 * x)
                a = 255
            elif bpp in (1, 4, 8):
                bit = x * bpp
                byte = data[xor_at + src * xor_stride + bit // 8]
                index = (byte >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1)
                b, g, r, _ = palette[index]
                a = 255
            else:
                sys.exit("release.py: %d bits per pixel are not handled" % bpp)
            if bpp != 32:
                masked = (data[and_at + src * and_stride + x // 8] >> (7 - x % 8)) & 1
                a = 0 if masked else 255
            row.append((r, g, b, a))
        rows.append(row)
    return rows


def resample(rows, size):
    """Area-weighted scaling to size x size: every source pixel counts by the
    share of an output pixel it covers (colours weighted by their opacity)."""
    h, w = len(rows), len(rows[0])

    def weights(n):
        # Output pixel o covers [o*n, (o+1)*n) of the source blown up by size.
        table = []
        for o in range(size):
            cover = {}
            for s in range(o * n, (o + 1) * n):
                cover[s // size] = cover.get(s // size, 0) + 1
            table.append(sorted(cover.items()))
        return table

    wy, wx = weights(h), weights(w)
    out = []
    for oy in range(size):
        line = []
        for ox in range(size):
            acc = [0, 0, 0, 0]
            for sy, ky in wy[oy]:
                for sx, kx in wx[ox]:
                    r, g, b, a = rows[sy][sx]
                    k = ky * kx * a
                    acc[0] += r * k
                    acc[1] += g * k
                    acc[2] += b * k
                    acc[3] += ky * kx * a
            if acc[3] == 0:
                line.append((0, 0, 0, 0))
            else:
                line.append(tuple(round(c / acc[3]) for c in acc[:3]) + (round(acc[3] / (w * h)),))
        out.append(line)
    return out


def write_png(path, rows):
    h, w = len(rows), len(rows[0])
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in rows)

    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body))

    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    with open(path, "wb") as f:
        f.write(png)


def read_png(path):
    """An 8-bit RGB or RGBA PNG as (width, height, rows of (r, g, b) tuples)."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit("release.py: %s is not a PNG" % path)
    pos, idat, w = 8, b"", 0
    while pos < len(data):
        n, tag = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + n]
        if tag == b"IHDR":
            w, h, depth, kind, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or kind not in (2, 6) or interlace:
                sys.exit("release.py: %s is not a plain 8-bit RGB PNG" % path)
            bpp = 3 if kind == 2 else 4
        elif tag == b"IDAT":
            idat += body
        pos += 12 + n
    raw = zlib.decompress(idat)
    stride = w * bpp
    rows, prev = [], bytearray(stride)
    for y in range(h):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * bpp:x * bpp + 3]) for x in range(w)])
        prev = line
    return w, h, rows


def cmd_shrink(args):
    w, h, rows = read_png(args.inp)
    colours = sorted({px for row in rows for px in row})
    if len(colours) > 256:
        sys.exit("release.py: %s has %d colours, more than a palette holds" % (args.inp, len(colours)))
    index = {c: i for i, c in enumerate(colours)}
    depth = 4 if len(colours) <= 16 else 8
    raw = bytearray()
    for row in rows:
        raw.append(0)
        if depth == 8:
            raw.extend(index[px] for px in row)
        else:
            for x in range(0, w, 2):
                hi = index[row[x]]
                lo = index[row[x + 1]] if x + 1 < w else 0
                raw.append(hi << 4 | lo)

    def chunk(tag, body):
        return struct.pack(">I", len(body)) + tag + body + struct.pack(">I", zlib.crc32(tag + body))

    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, depth, 3, 0, 0, 0)) +
           chunk(b"PLTE", b"".join(bytes(c) for c in colours)) +
           chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))
    if len(png) > args.max_bytes:
        sys.exit("release.py: %s would take %d bytes, more than %d" % (args.out, len(png), args.max_bytes))
    with open(args.out, "wb") as f:
        f.write(png)
    print("%s: %d x %d, %d colours, %d bytes" % (args.out, w, h, len(colours), len(png)))


def cmd_icon(args):
    write_png(args.out, resample(read_ico_image(args.ico), args.size))


def main():
    parser = argparse.ArgumentParser(description="Quarrion release helpers")
    sub = parser.add_subparsers(dest="command", required=True)
    z = sub.add_parser("zip")
    z.add_argument("--version", required=True)
    z.add_argument("--exe", required=True)
    z.add_argument("--music", required=True)
    z.add_argument("--root", required=True)
    z.add_argument("--out", required=True)
    i = sub.add_parser("icon")
    i.add_argument("--ico", required=True)
    i.add_argument("--size", type=int, default=48)
    i.add_argument("--out", required=True)
    k = sub.add_parser("shrink")
    k.add_argument("--in", dest="inp", required=True)
    k.add_argument("--out", required=True)
    k.add_argument("--max-bytes", type=int, required=True)
    args = parser.parse_args()
    {"zip": cmd_zip, "icon": cmd_icon, "shrink": cmd_shrink}[args.command](args)


if __name__ == "__main__":
    main()
