#!/usr/bin/env python3
"""The release zip: packed twice it gives the same bytes, even from copies of
the inputs with other dates in another folder; it holds one folder Quarrion/
with exactly the exe, the music files, README.TXT and LICENSE.TXT; both texts
are plain ASCII with CRLF line ends. Last, it is unpacked for the test that
runs the game from it.

  check_zip.py --work DIR --name ZIPNAME --version V --unpack DIR -- PACK...

PACK is the packing command without --out; its --exe and --music are read
from it."""

import argparse
import os
import shutil
import subprocess
import sys
import zipfile

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def option(cmd, name):
    return cmd[cmd.index(name) + 1]


def with_option(cmd, name, value):
    out = list(cmd)
    out[out.index(name) + 1] = value
    return out


def check_text(name, data):
    check(all(b < 128 for b in data), "%s holds a byte above 127" % name)
    check(data.endswith(b"\r\n"), "%s does not end with CRLF" % name)
    check(data.count(b"\n") == data.count(b"\r\n") and data.count(b"\r") == data.count(b"\r\n"),
          "%s has a line end other than CRLF" % name)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--work", required=True)
    parser.add_argument("--name", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--unpack", required=True)
    parser.add_argument("pack", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    pack = args.pack[1:] if args.pack[:1] == ["--"] else args.pack
    exe, music = option(pack, "--exe"), option(pack, "--music")

    shutil.rmtree(args.work, ignore_errors=True)
    # The second packing works on fresh copies: new dates, another folder.
    copies = os.path.join(args.work, "copies")
    os.makedirs(os.path.join(copies, "music"))
    exe_copy = os.path.join(copies, "Quarrion.exe")
    shutil.copy(exe, exe_copy)
    for name in os.listdir(music):
        shutil.copy(os.path.join(music, name), os.path.join(copies, "music", name))
    os.utime(exe_copy, (1234567890, 1234567890))
    second = with_option(with_option(pack, "--exe", exe_copy), "--music", os.path.join(copies, "music"))

    zips = []
    for run, cmd in (("one", pack), ("two", second)):
        out = os.path.join(args.work, run, args.name)
        subprocess.run(cmd + ["--out", out], check=True, stdout=subprocess.DEVNULL)
        with open(out, "rb") as f:
            zips.append((out, f.read()))
    check(zips[0][1] == zips[1][1], "packing twice gave different bytes")

    mids = sorted(n for n in os.listdir(music) if n.lower().endswith(".mid"))
    check(len(mids) > 0, "there are no music files to pack")
    want = {"Quarrion/", "Quarrion/Quarrion.exe", "Quarrion/README.TXT", "Quarrion/LICENSE.TXT"}
    want |= {"Quarrion/" + n for n in mids}
    with zipfile.ZipFile(zips[0][0]) as zf:
        names = zf.namelist()
        check(len(names) == len(set(names)), "the zip holds an entry twice")
        check(set(names) == want, "the zip holds %s, not %s" % (sorted(names), sorted(want)))
        check(zf.testzip() is None, "the zip is damaged")
        with open(exe, "rb") as f:
            check(zf.read("Quarrion/Quarrion.exe") == f.read(), "the packed exe is not the built one")
        for n in mids:
            with open(os.path.join(music, n), "rb") as f:
                check(zf.read("Quarrion/" + n) == f.read(), "the packed %s is not the built one" % n)
        readme = zf.read("Quarrion/README.TXT")
        licence = zf.read("Quarrion/LICENSE.TXT")
        check_text("README.TXT", readme)
        check_text("LICENSE.TXT", licence)
        for must in (b"Quarrion.exe", b"Quarr95.ini", b"Delete the Quarrion folder", b"MIT licence",
                     ("QUARRION %s" % args.version).encode()):
            check(must in readme, "README.TXT does not mention %r" % must.decode())
        check(b"@" not in readme, "README.TXT keeps a template field")
        check(b"MIT License" in licence and b"the Quarrion team" in licence, "LICENSE.TXT is not ours")

        shutil.rmtree(args.unpack, ignore_errors=True)
        os.makedirs(args.unpack)
        zf.extractall(args.unpack)

    for f in failures:
        print("FAILED:", f)
    print("%d checks failed" % len(failures) if failures else "the release zip is as it should be")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
