#include "tests/win32/support/png_write.h"

#include <cstdio>

namespace {

uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0) {
    static uint32_t aTable[256];
    if (!aTable[1]) {
        for (uint32_t i = 0; i < 256; i++) {
            uint32_t c = i;
            for (int k = 0; k < 8; k++) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            aTable[i] = c;
        }
    }
    crc = ~crc;
    for (size_t i = 0; i < n; i++) crc = aTable[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(uint8_t(v >> s));
}

void Chunk(std::vector<uint8_t>& out, const char* szType, const std::vector<uint8_t>& data) {
    Put32(out, uint32_t(data.size()));
    size_t nStart = out.size();
    out.insert(out.end(), szType, szType + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, Crc32(out.data() + nStart, out.size() - nStart));
}

} // namespace

std::vector<uint8_t> PngEncode(const uint32_t* pPixels, int w, int h) {
    // The filtered image: each row a filter byte 0 and then R, G, B.
    std::vector<uint8_t> raw;
    raw.reserve(size_t(h) * (size_t(w) * 3 + 1));
    for (int y = 0; y < h; y++) {
        raw.push_back(0);
        for (int x = 0; x < w; x++) {
            uint32_t c = pPixels[size_t(y) * size_t(w) + size_t(x)];
            raw.push_back(uint8_t(c >> 16));
            raw.push_back(uint8_t(c >> 8));
            raw.push_back(uint8_t(c));
        }
    }
    // zlib stream of stored blocks.
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t nPos = 0;
    do {
        size_t n = raw.size() - nPos < 65535 ? raw.size() - nPos : 65535;
        z.push_back(nPos + n == raw.size() ? 1 : 0);
        z.push_back(uint8_t(n));
        z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n));
        z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + long(nPos), raw.begin() + long(nPos + n));
        nPos += n;
    } while (nPos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);

    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    Put32(ihdr, uint32_t(w));
    Put32(ihdr, uint32_t(h));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0}); // 8-bit RGB, no interlace
    Chunk(out, "IHDR", ihdr);
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", {});
    return out;
}

bool PngWrite(const char* szPath, const uint32_t* pPixels, int w, int h) {
    std::vector<uint8_t> data = PngEncode(pPixels, w, h);
    FILE* f = fopen(szPath, "wb");
    if (!f) return false;
    bool bOk = fwrite(data.data(), 1, data.size(), f) == data.size();
    return fclose(f) == 0 && bOk;
}
