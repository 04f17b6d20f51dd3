// What the warp dialog's OK button does with a typed code.
#include <gtest/gtest.h>

#include <string>

#include "engine/warp.h"
#include "scores/warpdlg.h"

namespace {

std::string PasswordOf(int nLevel) {
    char sz[WARP_SLOT_LEN];
    WarpPasswordForLevel(nLevel, sz);
    return sz;
}

class WarpOk : public ::testing::Test {
  protected:
    void SetUp() override { WarpTableInit(); }
};

TEST_F(WarpOk, PasswordsGoForwardOnlyCodesGoAnywhere) {
    const std::string s11 = PasswordOf(11);
    const std::string s46 = PasswordOf(46);
    ASSERT_FALSE(s11.empty());
    struct Case {
        std::string sTyped;
        int nCurrent;
        int nAction;
        int nLevel; // the level chosen, or -1 left untouched
    } const kCases[] = {
        {s11, 3, WARP_OK_GO, 11},
        {s11, 10, WARP_OK_GO, 11},
        {s11, 1, WARP_OK_GO, 11},
        {s11, 11, WARP_OK_BEEP, -1},
        {s11, 20, WARP_OK_BEEP, -1},
        {s46, 45, WARP_OK_GO, 46},
        {s46, 50, WARP_OK_BEEP, -1},
        {"", 1, WARP_OK_NOTHING, -1},
        {"NOSUCHWORD", 1, WARP_OK_NOTHING, -1},
        {s11 + "X", 1, WARP_OK_NOTHING, -1},
        {s11.substr(0, s11.size() - 1), 1, WARP_OK_NOTHING, -1},
        // The direct level-select code ignores the current level.
        {"#00#", 30, WARP_OK_GO, 1},
        {"#AB#", 30, WARP_OK_GO, 1},
        {"#75#", 1, WARP_OK_GO, 50},
        {"#07#", 30, WARP_OK_GO, 7},
        {"# 9#ANYTHING", 30, WARP_OK_GO, 9},
        {"#-5#", 30, WARP_OK_GO, 1},
        {"#12", 30, WARP_OK_NOTHING, -1},
        {"#123#", 30, WARP_OK_NOTHING, -1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "'" << c.sTyped << "' at level " << c.nCurrent);
        int nLevel = -1;
        EXPECT_EQ(WarpOkAction(c.sTyped.c_str(), c.nCurrent, &nLevel), c.nAction);
        EXPECT_EQ(nLevel, c.nLevel);
    }
}

TEST_F(WarpOk, TypedTextStaysAsTypedAndLongTextIsCut) {
    // The lookup scrambles its argument; the dialog's text must not change.
    char szTyped[WARP_SLOT_LEN];
    std::string s16 = PasswordOf(16);
    std::snprintf(szTyped, sizeof szTyped, "%s", s16.c_str());
    int nLevel = 0;
    EXPECT_EQ(WarpOkAction(szTyped, 1, &nLevel), WARP_OK_GO);
    EXPECT_EQ(nLevel, 16);
    EXPECT_EQ(s16, szTyped);
    EXPECT_EQ(WarpOkAction(szTyped, 1, &nLevel), WARP_OK_GO); // the same text again

    // Only 24 characters are read: a direct code stays a direct code, and a
    // text longer than the field ends where the field would end.
    std::string sLong = "#42#" + std::string(60, 'Z');
    EXPECT_EQ(WarpOkAction(sLong.c_str(), 1, &nLevel), WARP_OK_GO);
    EXPECT_EQ(nLevel, 42);
    EXPECT_EQ(WarpOkAction(std::string(60, 'Q').c_str(), 1, &nLevel), WARP_OK_NOTHING);
    EXPECT_EQ(WarpOkAction(nullptr, 1, &nLevel), WARP_OK_NOTHING);
}

} // namespace
