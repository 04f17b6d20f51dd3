#include "audio/wav16.h"

#include <cstdlib>
#include <cstring>

namespace {

uint32_t Read32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}
uint16_t Read16(const uint8_t* p) {
    return (uint16_t)(p[0] | p[1] << 8);
}
void Put32(uint8_t* p, uint32_t n) {
    for (int i = 0; i < 4; i++) p[i] = (uint8_t)(n >> (8 * i));
}
void Put16(uint8_t* p, uint32_t n) {
    p[0] = (uint8_t)n;
    p[1] = (uint8_t)(n >> 8);
}

enum { HEADER_BYTES = 44 };

} // namespace

uint8_t* WavTo16Bit(const uint8_t* pWav, size_t nWav, size_t* pnOut) {
    *pnOut = 0;
    if (nWav < 12 || memcmp(pWav, "RIFF", 4) != 0 || memcmp(pWav + 8, "WAVE", 4) != 0)
        return nullptr;
    const uint8_t* pFmt = nullptr;
    const uint8_t* pData = nullptr;
    size_t nData = 0;
    for (size_t nAt = 12; nAt + 8 <= nWav;) {
        size_t nLen = Read32(pWav + nAt + 4), nLeft = nWav - nAt - 8;
        if (memcmp(pWav + nAt, "fmt ", 4) == 0 && nLen >= 16 && nLeft >= 16) {
            pFmt = pWav + nAt + 8;
        } else if (memcmp(pWav + nAt, "data", 4) == 0 && !pData) {
            pData = pWav + nAt + 8;
            nData = nLen < nLeft ? nLen : nLeft;
        }
        if (nLen >= nLeft) break;
        nAt += 8 + nLen + (nLen & 1);
    }
    if (!pFmt || !pData) return nullptr;
    uint32_t nChannels = Read16(pFmt + 2), nRate = Read32(pFmt + 4);
    if (Read16(pFmt) != 1 || Read16(pFmt + 14) != 8 || nChannels == 0) return nullptr;
    nData -= nData % nChannels;
    size_t nOut = HEADER_BYTES + 2 * nData;
    uint8_t* pOut = (uint8_t*)malloc(nOut);
    if (!pOut) return nullptr;
    memcpy(pOut, "RIFF", 4);
    Put32(pOut + 4, (uint32_t)(nOut - 8));
    memcpy(pOut + 8, "WAVEfmt ", 8);
    Put32(pOut + 16, 16);
    Put16(pOut + 20, 1); // PCM
    Put16(pOut + 22, nChannels);
    Put32(pOut + 24, nRate);
    Put32(pOut + 28, nRate * nChannels * 2);
    Put16(pOut + 32, nChannels * 2);
    Put16(pOut + 34, 16);
    memcpy(pOut + 36, "data", 4);
    Put32(pOut + 40, (uint32_t)(2 * nData));
    for (size_t i = 0; i < nData; i++) Put16(pOut + HEADER_BYTES + 2 * i, (pData[i] - 128) * 256u);
    *pnOut = nOut;
    return pOut;
}
