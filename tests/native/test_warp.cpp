// The warp passwords and the direct level-select code.
#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <set>
#include <string>

#include "engine/warp.h"

namespace {

const int kWarpLevels[WARP_SLOTS] = {6, 11, 16, 21, 26, 31, 36, 41, 46};

std::string PasswordOf(int nLevel) {
    char sz[WARP_SLOT_LEN];
    std::memset(sz, 'x', sizeof sz);
    WarpPasswordForLevel(nLevel, sz);
    return std::string(sz);
}

// Runs the code through a buffer of the dialog's size.
int LevelFor(const std::string& sCode) {
    char sz[64] = {};
    std::strncpy(sz, sCode.c_str(), sizeof sz - 1);
    return WarpLevelForCode(sz);
}

class Warp : public ::testing::Test {
  protected:
    void SetUp() override { WarpTableInit(); }
};

TEST_F(Warp, EveryPasswordOpensItsLevel) {
    for (int k = 0; k < WARP_SLOTS; k++) {
        int nLevel = kWarpLevels[k];
        std::string sPlain = PasswordOf(nLevel);
        SCOPED_TRACE(nLevel);
        EXPECT_EQ(LevelFor(sPlain), nLevel);

        // The code is scrambled in place into the stored form.
        char sz[WARP_SLOT_LEN] = {};
        std::strncpy(sz, sPlain.c_str(), WARP_CODE_LEN);
        WarpLevelForCode(sz);
        EXPECT_STREQ(sz, aWarpPassword[k]);
    }
}

TEST_F(Warp, PasswordsAreShortUpperCaseWordsStoredScrambled) {
    std::set<std::string> seen;
    for (int k = 0; k < WARP_SLOTS; k++) {
        std::string sPlain = PasswordOf(kWarpLevels[k]);
        SCOPED_TRACE(sPlain);
        EXPECT_GE(sPlain.size(), 8u);
        EXPECT_LE(sPlain.size(), 12u);
        for (char ch : sPlain)
            EXPECT_TRUE(std::isupper((unsigned char)ch) || std::isdigit((unsigned char)ch));
        EXPECT_EQ(sPlain.find((char)WARP_MARKER), std::string::npos);
        seen.insert(sPlain);

        // Stored raised by i + 1 at position i, never as plain text.
        const char* szStored = aWarpPassword[k];
        ASSERT_EQ(std::strlen(szStored), sPlain.size());
        for (size_t i = 0; i < sPlain.size(); i++)
            EXPECT_EQ((unsigned char)szStored[i], (unsigned char)(sPlain[i] + i + 1));
    }
    EXPECT_EQ(seen.size(), (size_t)WARP_SLOTS);
}

TEST_F(Warp, CodesThatMatchNothing) {
    std::string sEleven = PasswordOf(11);
    std::string sLower = sEleven;
    for (char& ch : sLower) ch = (char)std::tolower((unsigned char)ch);
    const std::string table[] = {
        "",            // empty
        sLower,        // the comparison is case-sensitive
        sEleven + "X", // characters appended
        sEleven + "1",
        sEleven + " ",
        sEleven.substr(0, sEleven.size() - 1), // one short
        " " + sEleven,
        "QUARRION",
        std::string(40, 'A'), // far longer than any slot
        aWarpPassword[1],     // the stored form itself
    };
    for (const std::string& s : table) EXPECT_EQ(LevelFor(s), 0) << '"' << s << '"';
}

TEST_F(Warp, EmptyAndNullCodes) {
    char sz[WARP_SLOT_LEN] = {};
    EXPECT_EQ(WarpLevelForCode(sz), 0);
    EXPECT_EQ(sz[0], '\0');
    EXPECT_EQ(WarpLevelForCode(nullptr), 0);
}

// The length is measured after every step: a character that scrambles to
// NUL ends the text there.
TEST_F(Warp, ACharacterThatScramblesToNulEndsTheCode) {
    char sz[8] = {'A', 'B', (char)0xFD, 'C', 'D', '\0'};
    EXPECT_EQ(WarpLevelForCode(sz), 0);
    EXPECT_EQ(sz[0], 'B');
    EXPECT_EQ(sz[1], 'D');
    EXPECT_EQ(sz[2], '\0');
    EXPECT_EQ(sz[3], 'C'); // not reached
    // A first character of 0xFF leaves an empty code.
    char szFF[4] = {(char)0xFF, 'A', '\0'};
    EXPECT_EQ(WarpLevelForCode(szFF), 0);
    EXPECT_EQ(szFF[0], '\0');
}

TEST_F(Warp, PasswordForLevelOutsideTheTableIsEmpty) {
    for (int nLevel : {INT_MIN, -5, 0, 1, 4, 5, 50, 51, 100, INT_MAX}) {
        char sz[WARP_SLOT_LEN + 4];
        std::memset(sz, 'x', sizeof sz);
        WarpPasswordForLevel(nLevel, sz);
        EXPECT_EQ(sz[0], '\0') << nLevel;
        EXPECT_EQ(sz[1], 'x') << nLevel;
    }
    WarpPasswordForLevel(6, nullptr); // no crash
}

TEST_F(Warp, PasswordForLevelNeverWritesPastItsBuffer) {
    for (int nLevel = 6; nLevel <= 49; nLevel++) {
        char sz[WARP_SLOT_LEN + 4];
        std::memset(sz, 'x', sizeof sz);
        WarpPasswordForLevel(nLevel, sz);
        EXPECT_LE(std::strlen(sz), (size_t)WARP_CODE_LEN);
        for (size_t i = WARP_SLOT_LEN; i < sizeof sz; i++) EXPECT_EQ(sz[i], 'x');
        // The slot is level / 5 - 1: 7..9 give level 6's word, 10 gives 11's.
        EXPECT_EQ(std::string(sz), PasswordOf(nLevel / 5 * 5 + 1)) << nLevel;
    }
}

TEST(WarpDirect, MarkerCodes) {
    struct {
        const char* szCode;
        int nResult;
        int nLevel;
    } const table[] = {
        {"#05#", 1, 5},  {"#5##", 1, 5},  {"#12#", 1, 12},  {"#12#ANYTHING", 1, 12},
        {"#50#", 1, 50}, {"#51#", 1, 50}, {"#75#", 1, 50},  {"#99#", 1, 50},
        {"#00#", 1, 1},  {"#01#", 1, 1},  {"#AB#", 1, 1},   {"#  #", 1, 1},
        {"# 7#", 1, 7},  {"#+9#", 1, 9},  {"#-3#", 1, 1},   {"#4A#", 1, 4},
        {"#A4#", 1, 1},  {"####", 1, 1},  {"#12", 0, -7},   {"#1", 0, -7},
        {"#", 0, -7},    {"", 0, -7},     {"12#4#", 0, -7}, {"#123#", 0, -7},
        {"#12$", 0, -7}, {"$12#", 0, -7},
    };
    for (const auto& row : table) {
        int nLevel = -7;
        EXPECT_EQ(WarpDirectLevel(row.szCode, &nLevel), row.nResult) << row.szCode;
        EXPECT_EQ(nLevel, row.nLevel) << row.szCode;
    }
    int nLevel = -7;
    EXPECT_EQ(WarpDirectLevel(nullptr, &nLevel), 0);
    EXPECT_EQ(nLevel, -7);
}

TEST(WarpDirect, ShortCodesAreNotReadPastTheirEnd) {
    // "#" followed by NUL and then a marker-like byte must not be taken as a code.
    const char sz1[] = {'#', '\0', '1', '#', '\0'};
    const char sz2[] = {'#', '1', '\0', '#', '\0'};
    int nLevel = -7;
    EXPECT_EQ(WarpDirectLevel(sz1, &nLevel), 0);
    EXPECT_EQ(WarpDirectLevel(sz2, &nLevel), 0);
    EXPECT_EQ(nLevel, -7);
}

} // namespace
