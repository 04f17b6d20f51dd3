// The 16-bit images the effects are played from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "audio/wav16.h"

namespace {

std::string Le(uint32_t n, int nBytes) {
    std::string s;
    for (int i = 0; i < nBytes; i++) s += (char)(n >> (8 * i));
    return s;
}
std::string Chunk(const char* szTag, const std::string& sBody, uint32_t nClaimed = 0) {
    std::string s = std::string(szTag, 4) + Le(nClaimed ? nClaimed : (uint32_t)sBody.size(), 4);
    return s + sBody + (sBody.size() % 2 ? std::string(1, '\0') : "");
}
std::string Fmt(int nTag, int nChannels, uint32_t nRate, int nBits) {
    int nAlign = nChannels * nBits / 8;
    return Chunk("fmt ", Le(nTag, 2) + Le(nChannels, 2) + Le(nRate, 4) + Le(nRate * nAlign, 4) +
                             Le(nAlign, 2) + Le(nBits, 2));
}
std::string Riff(const std::string& sChunks) {
    return "RIFF" + Le((uint32_t)sChunks.size() + 4, 4) + "WAVE" + sChunks;
}

TEST(Wav16, An8BitImageBecomes16BitWithTheSameRateAndChannels) {
    const std::string kSamples("\x80\x00\xff\x81\x7f\x40", 6);
    const std::vector<int16_t> kMono = {0, -32768, 32512, 256, -256, -16384};
    struct {
        const char* szName;
        std::string sWav;
        int nChannels;
        std::vector<int16_t> aExpected; // empty: refused
    } const aCase[] = {
        {"mono", Riff(Fmt(1, 1, 11127, 8) + Chunk("data", kSamples)), 1, kMono},
        {"stereo, a list chunk of odd length first",
         Riff(Chunk("LIST", "abc") + Fmt(1, 2, 22254, 8) + Chunk("data", kSamples)), 2, kMono},
        {"data that claims more than there is",
         Riff(Fmt(1, 1, 8000, 8) + Chunk("data", kSamples, 1000)), 1, kMono},
        {"a half frame at the end is dropped",
         Riff(Fmt(1, 2, 8000, 8) + Chunk("data", kSamples.substr(0, 5))),
         2,
         {0, -32768, 32512, 256}},
        {"already 16-bit", Riff(Fmt(1, 1, 8000, 16) + Chunk("data", kSamples)), 1, {}},
        {"not PCM", Riff(Fmt(2, 1, 8000, 8) + Chunk("data", kSamples)), 1, {}},
        {"no data", Riff(Fmt(1, 1, 8000, 8)), 1, {}},
        {"no RIFF", "RIFX" + Riff(Fmt(1, 1, 8000, 8)).substr(4), 1, {}},
    };
    for (const auto& c : aCase) {
        SCOPED_TRACE(c.szName);
        size_t n = 1;
        uint8_t* p = WavTo16Bit((const uint8_t*)c.sWav.data(), c.sWav.size(), &n);
        if (c.aExpected.empty()) {
            EXPECT_EQ(p, nullptr);
            EXPECT_EQ(n, 0u);
            continue;
        }
        ASSERT_NE(p, nullptr);
        std::string s((const char*)p, n);
        free(p);
        uint32_t nRate = *(const uint32_t*)(c.sWav.data() + c.sWav.find("fmt ") + 12);
        std::string sData((const char*)c.aExpected.data(), 2 * c.aExpected.size());
        EXPECT_EQ(s, Riff(Fmt(1, c.nChannels, nRate, 16) + Chunk("data", sData)));
    }
}

} // namespace
