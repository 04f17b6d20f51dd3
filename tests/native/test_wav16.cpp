// The 16-bit images the effects are played from.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "audio/wav16.h"

namespace {

std::string Le(uint32_t n, int nBytes) {
    std::string s;
    for (int i = 0; i < nBytes; i++) s += (char)(n >> (8 * i));
    return s;
}
std::string Chunk(const char* szTag, const std::string& s, uint32_t nClaimed = 0) {
    return szTag + Le(nClaimed ? nClaimed : (uint32_t)s.size(), 4) + s +
           std::string(s.size() % 2, 0);
}
// A WAVE image of PCM (tag 1) at 8000 frames a second.
std::string Wav(int nChannels, int nBits, const std::string& sData, int nTag = 1,
                int nClaimed = 0) {
    int nAlign = nChannels * nBits / 8;
    std::string s = Chunk("LIST", "odd") + // a chunk of odd length first
                    Chunk("fmt ", Le(nTag, 2) + Le(nChannels, 2) + Le(8000, 4) +
                                      Le(8000 * nAlign, 4) + Le(nAlign, 2) + Le(nBits, 2)) +
                    Chunk("data", sData, nClaimed);
    return "RIFF" + Le((uint32_t)s.size() + 4, 4) + "WAVE" + s;
}

TEST(Wav16, An8BitImageBecomes16BitAndAnyOtherIsRefused) {
    const std::string k8("\x80\x00\xff\x81\x7f", 5);
    const std::string k16 = Le(0, 2) + Le(0x8000, 2) + Le(0x7f00, 2) + Le(0x100, 2);
    const std::pair<std::string, std::string> aCase[] = {
        // in, out (empty: refused)
        {Wav(1, 8, k8), Wav(1, 16, k16 + Le(0xff00, 2))},
        {Wav(2, 8, k8), Wav(2, 16, k16)},                       // the half frame at the end dropped
        {Wav(1, 8, k8.substr(0, 4), 1, 1000), Wav(1, 16, k16)}, // data past the end
        {Wav(1, 16, k16), ""},
        {Wav(1, 8, k8, 2), ""},
        {"RIFX" + Wav(1, 8, k8).substr(4), ""},
    };
    for (const auto& [sIn, sOut] : aCase) {
        size_t n = 1;
        uint8_t* p = WavTo16Bit((const uint8_t*)sIn.data(), sIn.size(), &n);
        std::string s(p ? (const char*)p : "", n);
        free(p);
        // The image made has no list chunk: compare from its format on.
        EXPECT_EQ(s.empty() ? s : s.substr(12), sOut.empty() ? sOut : sOut.substr(24))
            << sIn.size();
    }
}

} // namespace
