// The high-score table in the initialisation file, through the real private
// profile functions, on a file of each test's own in the test work directory.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "scores/scores_win.h"

namespace {

class HiScoreFile : public ::testing::Test {
  protected:
    std::string sPath;

    void SetUp() override {
        const ::testing::TestInfo* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
        sPath = std::string(QUARRION_TESTWORK_DIR_W) + "\\scores-" + pInfo->name() + "-" +
                std::to_string(GetCurrentProcessId()) + ".ini";
        DeleteFileA(sPath.c_str());
        HighScoresUseIniPath(sPath.c_str());
        memset(&hsTable, 0x5a, sizeof hsTable); // nothing may survive from memory
    }
    void TearDown() override {
        HighScoresUseIniPath(NULL);
        DeleteFileA(sPath.c_str());
    }

    std::string Value(const char* szKey) {
        char sz[256] = "";
        GetPrivateProfileStringA("Scores", szKey, "<missing>", sz, sizeof sz, sPath.c_str());
        return sz;
    }
    void Write(const char* szKey, const char* szValue) {
        ASSERT_TRUE(WritePrivateProfileStringA("Scores", szKey, szValue, sPath.c_str()));
    }
    // The table in memory holds what `saved` held, row by row.
    static void ExpectTable(const HighScoreTable& saved) {
        for (int k = 0; k < NUM_HIGH_SCORES; k++) {
            SCOPED_TRACE(k);
            EXPECT_STREQ(hsTable.aRow[k].szName, saved.aRow[k].szName);
            EXPECT_EQ(hsTable.aRow[k].lScore, saved.aRow[k].lScore);
            EXPECT_EQ(hsTable.aRow[k].nLevel, saved.aRow[k].nLevel);
            EXPECT_STREQ(hsTable.aRow[k].szDate, saved.aRow[k].szDate);
        }
    }
};

} // namespace

TEST_F(HiScoreFile, FirstStartWritesTheDefaultTable) {
    ASSERT_EQ(GetFileAttributesA(sPath.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(LoadHighScores(), 1);
    for (const HighScoreEntry& row : hsTable.aRow) {
        EXPECT_STREQ(row.szName, "A. Player");
        EXPECT_EQ(row.lScore, 0);
    }
    EXPECT_EQ(SaveHighScores(), 1);
    for (int k = 1; k <= NUM_HIGH_SCORES; k++)
        EXPECT_EQ(Value(std::to_string(k).c_str()), "A. Player,1,00000000,12/01/95") << k;
    EXPECT_EQ(Value("11"), "<missing>");
}

TEST_F(HiScoreFile, TableSurvivesSaveAndLoad) {
    ResetHighScores();
    for (int k = 0; k < NUM_HIGH_SCORES; k++) {
        HighScoreEntry& row = hsTable.aRow[k];
        snprintf(row.szName, sizeof row.szName, "Player number %d", k);
        row.lScore = 100000 * (NUM_HIGH_SCORES - k) + k;
        row.nLevel = 5 * k + 1;
        snprintf(row.szDate, sizeof row.szDate, "%.2d/15/2026", k + 1);
    }
    hsTable.aRow[0].lScore = -2; // top bit set: written unsigned, read back the same
    const HighScoreTable saved = hsTable;
    ASSERT_TRUE(SaveHighScores());
    EXPECT_EQ(Value("1"), "Player number 0,1,4294967294,01/15/2026");
    EXPECT_EQ(Value("10"), "Player number 9,46,00100009,10/15/2026");
    memset(&hsTable, 0, sizeof hsTable);
    ASSERT_TRUE(LoadHighScores());
    ExpectTable(saved);
}

TEST_F(HiScoreFile, BrokenOrMissingValuesLeaveDefaultRows) {
    Write("1", "Ann,12,00054321,07/04/1996");
    Write("2", "Bob,4");                     // too few fields
    Write("3", "");                          // empty
    Write("5", "Cy,3,,,00000700,,01/01/01"); // comma runs
    // Only 99 characters are read: the commas after them are never seen.
    Write("6", (std::string(120, 'N') + ",2,00000300,02/02/02").c_str());
    Write("7", (std::string(60, 'L') + ",2,00000300,02/02/02").c_str());
    // Key "4" and keys 8 to 10 are missing.
    ASSERT_TRUE(LoadHighScores());
    EXPECT_STREQ(hsTable.aRow[0].szName, "Ann");
    EXPECT_EQ(hsTable.aRow[0].lScore, 54321);
    EXPECT_EQ(hsTable.aRow[0].nLevel, 12);
    EXPECT_STREQ(hsTable.aRow[0].szDate, "07/04/1996");
    for (int k : {1, 2, 3, 5, 7, 8, 9}) {
        EXPECT_STREQ(hsTable.aRow[k].szName, "A. Player") << k;
        EXPECT_EQ(hsTable.aRow[k].nLevel, 1) << k;
    }
    EXPECT_STREQ(hsTable.aRow[4].szName, "Cy");
    EXPECT_EQ(hsTable.aRow[4].lScore, 700);
    EXPECT_STREQ(hsTable.aRow[4].szDate, "01/01/01");
    EXPECT_EQ(hsTable.aRow[6].szName, std::string(HS_NAME_LEN - 1, 'L')); // cut to 31
    EXPECT_EQ(hsTable.aRow[6].lScore, 300);
}

TEST_F(HiScoreFile, ANewEntryCarriesTodaysDate) {
    ResetHighScores();
    SYSTEMTIME st;
    GetLocalTime(&st);
    EXPECT_EQ(InsertHighScore("Dee", 500, 6), 0);
    char szWant[HS_DATE_LEN];
    snprintf(szWant, sizeof szWant, "%.2d/%.2d/%d", st.wMonth, st.wDay, st.wYear);
    EXPECT_STREQ(hsTable.aRow[0].szDate, szWant);
    EXPECT_EQ(strlen(hsTable.aRow[0].szDate), 10u);
}

// Whatever the name typed, the table shows what the file gives back at the
// next start, and a name that is no name leaves the table as it was.
TEST_F(HiScoreFile, NamesComeBackFromTheFileAsTheTableShowsThem) {
    struct Case {
        const char* szTyped;
        const char* szShown; // nullptr: refused
    } const kCases[] = {
        {"   ", nullptr},
        {",,,", nullptr},
        {"\t\t", nullptr},
        {" ,\t, ", nullptr},
        {"  Ann Lee  ", "Ann Lee"},
        {"Smith, J.", "Smith  J."},
        {",Bo,", "Bo"},
        {"\tTab\tbed\t", "Tab bed"},
        {"\"Quoted\"", "\"Quoted\""},
        {"'Single'", "'Single'"},
        {"\"", "\""},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcd", "ABCDEFGHIJKLMNOPQRSTUVWXYZabcd"},
        {"Zo\xeb M\xfcller-\xc6r\xf8 \xa9\xbf\xff", "Zo\xeb M\xfcller-\xc6r\xf8 \xa9\xbf\xff"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.szTyped);
        ResetHighScores();
        hsTable.aRow[0] = HighScoreEntry{"Old", 9000, 4, "01/02/2003"};
        EXPECT_EQ(InsertHighScore(c.szTyped, 5000, 7), c.szShown ? 1 : -1);
        const HighScoreTable shown = hsTable;
        ASSERT_TRUE(SaveHighScores());
        memset(&hsTable, 0x5a, sizeof hsTable);
        ASSERT_TRUE(LoadHighScores());
        EXPECT_STREQ(hsTable.aRow[1].szName, c.szShown ? c.szShown : "A. Player");
        ExpectTable(shown);
    }
}
