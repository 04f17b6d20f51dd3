#include "files.h"

#include <algorithm>
#include <cstdio>

namespace {

void Put16(Bytes& b, unsigned v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; i++) b.push_back(uint8_t(v >> (8 * i)));
}
void Put32BE(Bytes& b, uint32_t v) {
    for (int i = 3; i >= 0; i--) b.push_back(uint8_t(v >> (8 * i)));
}

int RowBytes(int w, int bits) {
    return ((w * bits + 31) / 32) * 4;
}

void PutInfoHeader(Bytes& b, int w, int h, int bits, int colours, uint32_t image) {
    Put32(b, 40);
    Put32(b, uint32_t(w));
    Put32(b, uint32_t(h));
    Put16(b, 1);
    Put16(b, unsigned(bits));
    Put32(b, 0); // BI_RGB
    Put32(b, image);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, uint32_t(colours));
    Put32(b, 0);
}

// A .bmp file's own header and its info header, for a colour table of
// `colours` entries followed by `image` bytes of pixels; out starts afresh.
void PutBmpHeaders(Bytes& out, const Canvas& c, int bits, int colours, uint32_t image) {
    const uint32_t offset = 14 + 40 + 4 * uint32_t(colours);
    out.clear();
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + image);
    Put32(out, 0);
    Put32(out, offset);
    PutInfoHeader(out, c.w, c.h, bits, colours, image);
}

void PutColour(Bytes& b, Rgb c) {
    b.push_back(uint8_t(RgbB(c)));
    b.push_back(uint8_t(RgbG(c)));
    b.push_back(uint8_t(RgbR(c)));
    b.push_back(0);
}

int IndexOf(const Palette& p, Rgb c) {
    for (size_t i = 0; i < p.colours.size(); i++)
        if (p.colours[i] == c) return int(i);
    return -1;
}

std::string Hex(Rgb c) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%06X", unsigned(c));
    return buf;
}

// The 4-bit pixel rows, bottom row first; kClear maps to index 0.
bool PackRows4(const Canvas& c, const Palette& p, Bytes& out, std::string& err) {
    int stride = RowBytes(c.w, 4);
    for (int y = c.h - 1; y >= 0; y--) {
        Bytes row(size_t(stride), 0);
        for (int x = 0; x < c.w; x++) {
            Rgb col = c.Get(x, y);
            int i = col == kClear ? 0 : IndexOf(p, col);
            if (i < 0) {
                err = "colour " + Hex(col) + " is not in the palette";
                return false;
            }
            row[size_t(x / 2)] |= uint8_t(x % 2 ? i : i << 4);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return true;
}

// The AND mask of an icon or cursor: 1 where the screen shows through.
void PackMask(const Canvas& c, Bytes& out) {
    int stride = RowBytes(c.w, 1);
    for (int y = c.h - 1; y >= 0; y--) {
        Bytes row(size_t(stride), 0);
        for (int x = 0; x < c.w; x++)
            if (c.Get(x, y) == kClear) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
}

// --- deflate with the fixed Huffman code ---------------------------------------

struct BitSink {
    Bytes& out;
    uint32_t acc = 0;
    int n = 0;
    explicit BitSink(Bytes& o) : out(o) {}
    void Bits(uint32_t v, int count) {
        for (int i = 0; i < count; i++) {
            acc |= ((v >> i) & 1u) << n;
            if (++n == 8) {
                out.push_back(uint8_t(acc));
                acc = 0;
                n = 0;
            }
        }
    }
    // Huffman codes go most significant bit first.
    void Code(uint32_t code, int len) {
        for (int i = len - 1; i >= 0; i--) Bits((code >> i) & 1u, 1);
    }
    void Flush() {
        if (n) out.push_back(uint8_t(acc));
        acc = 0;
        n = 0;
    }
};

void Literal(BitSink& s, int v) {
    if (v < 144)
        s.Code(uint32_t(0x30 + v), 8);
    else if (v < 256)
        s.Code(uint32_t(0x190 + v - 144), 9);
    else if (v < 280)
        s.Code(uint32_t(v - 256), 7);
    else
        s.Code(uint32_t(0xC0 + v - 280), 8);
}

const int aLenBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                          31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
const int aLenExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
const int aDistBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                           33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                           1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const int aDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                            6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void Match(BitSink& s, int len, int dist) {
    int i = 28;
    while (aLenBase[i] > len) i--;
    Literal(s, 257 + i);
    s.Bits(uint32_t(len - aLenBase[i]), aLenExtra[i]);
    int d = 29;
    while (aDistBase[d] > dist) d--;
    s.Code(uint32_t(d), 5);
    s.Bits(uint32_t(dist - aDistBase[d]), aDistExtra[d]);
}

Bytes Deflate(const Bytes& in) {
    Bytes out;
    BitSink s(out);
    s.Bits(1, 1); // final block
    s.Bits(1, 2); // fixed codes
    const int kWindow = 32768, kHash = 1 << 15, kChain = 48;
    std::vector<int> head(kHash, -1), prev(in.size(), -1);
    auto hash = [&](size_t i) {
        return int(((uint32_t(in[i]) << 10) ^ (uint32_t(in[i + 1]) << 5) ^ in[i + 2]) &
                   (kHash - 1));
    };
    auto insert = [&](size_t i) {
        if (i + 2 >= in.size()) return;
        int h = hash(i);
        prev[i] = head[size_t(h)];
        head[size_t(h)] = int(i);
    };
    size_t i = 0;
    while (i < in.size()) {
        int best = 0, bestDist = 0;
        if (i + 2 < in.size()) {
            int cand = head[size_t(hash(i))];
            for (int k = 0; k < kChain && cand >= 0 && int(i) - cand <= kWindow; k++) {
                int len = 0;
                size_t maxLen = std::min<size_t>(258, in.size() - i);
                while (size_t(len) < maxLen &&
                       in[size_t(cand) + size_t(len)] == in[i + size_t(len)])
                    len++;
                if (len > best) {
                    best = len;
                    bestDist = int(i) - cand;
                    if (size_t(len) == maxLen) break;
                }
                cand = prev[size_t(cand)];
            }
        }
        if (best >= 3) {
            Match(s, best, bestDist);
            for (int k = 0; k < best; k++) insert(i + size_t(k));
            i += size_t(best);
        } else {
            Literal(s, in[i]);
            insert(i);
            i++;
        }
    }
    Literal(s, 256);
    s.Flush();
    return out;
}

uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t k = 0; k < 256; k++) {
            uint32_t c = k;
            for (int j = 0; j < 8; j++) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[k] = c;
        }
        ready = true;
    }
    crc = ~crc;
    for (size_t k = 0; k < n; k++) crc = table[(crc ^ p[k]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

uint32_t Adler32(const Bytes& b) {
    uint32_t a = 1, s = 0;
    for (uint8_t v : b) {
        a = (a + v) % 65521;
        s = (s + a) % 65521;
    }
    return (s << 16) | a;
}

void Chunk(Bytes& png, const char* type, const Bytes& data) {
    Put32BE(png, uint32_t(data.size()));
    size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    Put32BE(png, Crc32(&png[start], png.size() - start));
}

} // namespace

Palette GamePalette() {
    Palette p;
    p.colours.assign(aGamePalette, aGamePalette + 16);
    return p;
}

Palette PaletteOf(const Canvas& c) {
    Palette p;
    for (Rgb col : c.px)
        if (IndexOf(p, col) < 0) p.colours.push_back(col);
    return p;
}

bool EncodeBmp4(const Canvas& c, const Palette& p, Bytes& out, std::string& err) {
    if (p.colours.size() > 16) {
        err = "more than 16 colours";
        return false;
    }
    Bytes pixels;
    if (!PackRows4(c, p, pixels, err)) return false;
    PutBmpHeaders(out, c, 4, 16, uint32_t(pixels.size()));
    for (size_t i = 0; i < 16; i++) PutColour(out, i < p.colours.size() ? p.colours[i] : 0);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return true;
}

bool EncodeBmp1(const Canvas& c, Rgb c0, Rgb c1, Bytes& out, std::string& err) {
    int stride = RowBytes(c.w, 1);
    Bytes pixels;
    for (int y = c.h - 1; y >= 0; y--) {
        Bytes row(size_t(stride), 0);
        for (int x = 0; x < c.w; x++) {
            Rgb col = c.Get(x, y);
            if (col == c1)
                row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
            else if (col != c0) {
                err = "colour " + Hex(col) + " is neither of the two colours";
                return false;
            }
        }
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    PutBmpHeaders(out, c, 1, 2, uint32_t(pixels.size()));
    PutColour(out, c0);
    PutColour(out, c1);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return true;
}

bool EncodeIcon(const std::vector<Canvas>& images, Bytes& out, std::string& err) {
    Palette p = GamePalette();
    std::vector<Bytes> blobs;
    for (const Canvas& c : images) {
        Bytes xorBits, andBits, blob;
        if (!PackRows4(c, p, xorBits, err)) return false;
        PackMask(c, andBits);
        PutInfoHeader(blob, c.w, 2 * c.h, 4, 16, uint32_t(xorBits.size() + andBits.size()));
        for (Rgb col : p.colours) PutColour(blob, col);
        blob.insert(blob.end(), xorBits.begin(), xorBits.end());
        blob.insert(blob.end(), andBits.begin(), andBits.end());
        blobs.push_back(blob);
    }
    out.clear();
    Put16(out, 0);
    Put16(out, 1); // icon
    Put16(out, unsigned(images.size()));
    uint32_t offset = uint32_t(6 + 16 * images.size());
    for (size_t i = 0; i < images.size(); i++) {
        out.push_back(uint8_t(images[i].w));
        out.push_back(uint8_t(images[i].h));
        out.push_back(16);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 4);
        Put32(out, uint32_t(blobs[i].size()));
        Put32(out, offset);
        offset += uint32_t(blobs[i].size());
    }
    for (const Bytes& b : blobs) out.insert(out.end(), b.begin(), b.end());
    return true;
}

bool EncodeCursor(const Canvas& c, int hotX, int hotY, Bytes& out, std::string& err) {
    int stride = RowBytes(c.w, 1);
    Bytes xorBits, andBits, blob;
    for (int y = c.h - 1; y >= 0; y--) {
        Bytes row(size_t(stride), 0);
        for (int x = 0; x < c.w; x++) {
            Rgb col = c.Get(x, y);
            if (col == pal::White)
                row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
            else if (col != pal::Black && col != kClear) {
                err = "a cursor is black, white and clear only";
                return false;
            }
        }
        xorBits.insert(xorBits.end(), row.begin(), row.end());
    }
    PackMask(c, andBits);
    PutInfoHeader(blob, c.w, 2 * c.h, 1, 2, uint32_t(xorBits.size() + andBits.size()));
    PutColour(blob, pal::Black);
    PutColour(blob, pal::White);
    blob.insert(blob.end(), xorBits.begin(), xorBits.end());
    blob.insert(blob.end(), andBits.begin(), andBits.end());
    out.clear();
    Put16(out, 0);
    Put16(out, 2); // cursor
    Put16(out, 1);
    out.push_back(uint8_t(c.w));
    out.push_back(uint8_t(c.h));
    out.push_back(2);
    out.push_back(0);
    Put16(out, unsigned(hotX));
    Put16(out, unsigned(hotY));
    Put32(out, uint32_t(blob.size()));
    Put32(out, 6 + 16);
    out.insert(out.end(), blob.begin(), blob.end());
    return true;
}

Bytes EncodePng(const Canvas& c) {
    Bytes raw;
    raw.reserve(size_t(c.h) * (size_t(c.w) * 3 + 1));
    for (int y = 0; y < c.h; y++) {
        raw.push_back(0); // no filter
        for (int x = 0; x < c.w; x++) {
            Rgb col = c.Get(x, y);
            raw.push_back(uint8_t(RgbR(col)));
            raw.push_back(uint8_t(RgbG(col)));
            raw.push_back(uint8_t(RgbB(col)));
        }
    }
    Bytes z;
    z.push_back(0x78);
    z.push_back(0x01);
    Bytes d = Deflate(raw);
    z.insert(z.end(), d.begin(), d.end());
    Put32BE(z, Adler32(raw));

    Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes ihdr;
    Put32BE(ihdr, uint32_t(c.w));
    Put32BE(ihdr, uint32_t(c.h));
    ihdr.push_back(8); // bits per sample
    ihdr.push_back(2); // RGB
    ihdr.push_back(0);
    ihdr.push_back(0);
    ihdr.push_back(0);
    Chunk(png, "IHDR", ihdr);
    Chunk(png, "IDAT", z);
    Chunk(png, "IEND", Bytes());
    return png;
}

bool WriteFile(const std::string& path, const Bytes& data) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}
