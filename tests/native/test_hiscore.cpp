// The high-score table: record format, ranking and insertion, the run's last
// and best scores, and the decisions of the high-score and closing screens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/game.h"
#include "scores/hiscore.h"

namespace {

// Rows 0..9 with the given scores (names "P0".."P9"), best first.
void TableOf(const int32_t (&alScore)[NUM_HIGH_SCORES]) {
    ResetHighScores();
    for (int k = 0; k < NUM_HIGH_SCORES; k++) {
        snprintf(hsTable.aRow[k].szName, HS_NAME_LEN, "P%d", k);
        hsTable.aRow[k].lScore = alScore[k];
        hsTable.aRow[k].nLevel = k + 1;
    }
}

std::string Format(const HighScoreEntry& row) {
    char sz[HS_RECORD_LEN];
    EXPECT_GT(HighScoreRecordFormat(&row, sz, sizeof sz), 0);
    return sz;
}

class HiScoreTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetHighScores();
        lLastScore = lHighToday = 0;
        bShowHighToday = 0;
        nTopLineTicks = 0;
        game.nTileColors = NUM_COLORS;
    }
};

} // namespace

TEST_F(HiScoreTest, FreshTableHasTenDefaultRowsInTheirStoredForm) {
    for (const HighScoreEntry& row : hsTable.aRow) {
        EXPECT_STREQ(row.szName, "A. Player");
        EXPECT_EQ(row.lScore, 0);
        EXPECT_EQ(row.nLevel, 1);
        EXPECT_STREQ(row.szDate, "12/01/95");
        EXPECT_EQ(Format(row), "A. Player,1,00000000,12/01/95");
    }
}

TEST_F(HiScoreTest, RecordsSurviveFormatAndParse) {
    struct Case {
        const char* szName;
        int32_t lScore;
        int32_t nLevel;
        const char* szDate;
        const char* szStored;
    } const aCases[] = {
        {"Ann", 123, 3, "07/04/1996", "Ann,3,00000123,07/04/1996"},
        {"Long Score", 123456789, 50, "12/31/2026", "Long Score,50,123456789,12/31/2026"},
        // Written unsigned: the top bit set shows as a large positive number.
        {"Top", -1, 12, "01/01/99", "Top,12,4294967295,01/01/99"},
        {"Neg level", 5, -2, "x", "Neg level,-2,00000005,x"},
        {"1234567890123456789012345678901", 7, 9, "123456789012345",
         "1234567890123456789012345678901,9,00000007,123456789012345"},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.szStored);
        HighScoreEntry row = {};
        strcpy(row.szName, c.szName);
        row.lScore = c.lScore;
        row.nLevel = c.nLevel;
        strcpy(row.szDate, c.szDate);
        EXPECT_EQ(Format(row), c.szStored);
        HighScoreEntry back;
        HighScoreDefaultRow(&back);
        ASSERT_EQ(HighScoreRecordParse(c.szStored, &back), 1);
        EXPECT_STREQ(back.szName, c.szName);
        EXPECT_EQ(back.lScore, c.lScore);
        EXPECT_EQ(back.nLevel, c.nLevel);
        EXPECT_STREQ(back.szDate, c.szDate);
    }
}

TEST_F(HiScoreTest, HandEditedValuesAreReadWithinTheirFields) {
    struct Case {
        const char* szValue;
        int bValid;
        const char* szName;
        int32_t nLevel;
        int32_t lScore;
        const char* szDate;
    } const aCases[] = {
        // Fewer than four fields: not a record, the row keeps what it had.
        {"", 0, "", 0, 0, ""},
        {"Bob,4,00001000", 0, "", 0, 0, ""},
        {",,,,,,", 0, "", 0, 0, ""},
        {",Bob,4,1000", 0, "", 0, 0, ""},
        // A leading comma is skipped and runs of commas are one separator.
        {",Bob,4,00001000,01/02/96", 1, "Bob", 4, 1000, "01/02/96"},
        {"Bob,,,4,,1000,,,d", 1, "Bob", 4, 1000, "d"},
        // Numbers read as the decimal conversion does.
        {"Bob,  +7x,  -12,d", 1, "Bob", 7, -12, "d"},
        {"Bob,abc,xyz,d", 1, "Bob", 0, 0, "d"},
        {"Bob,99999999999999,99999999999999,d", 1, "Bob", INT32_MAX, -1, "d"},
        // Extra fields are ignored; the date runs to the next comma.
        {"Bob,2,30,06/06/06,extra,more", 1, "Bob", 2, 30, "06/06/06"},
        // Over-long name and date are cut to 31 and 15 characters.
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn,1,2,0123456789abcdefghij", 1,
         "ABCDEFGHIJKLMNOPQRSTUVWXYZabcde", 1, 2, "0123456789abcde"},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.szValue);
        HighScoreEntry row;
        memset(&row, 0x5A, sizeof row);
        row.szName[HS_NAME_LEN - 1] = row.szDate[HS_DATE_LEN - 1] = '\0';
        const HighScoreEntry before = row;
        EXPECT_EQ(HighScoreRecordParse(c.szValue, &row), c.bValid);
        if (!c.bValid) {
            EXPECT_EQ(memcmp(&row, &before, sizeof row), 0) << "an invalid value changed the row";
            continue;
        }
        EXPECT_STREQ(row.szName, c.szName);
        EXPECT_EQ(row.nLevel, c.nLevel);
        EXPECT_EQ(row.lScore, c.lScore);
        EXPECT_STREQ(row.szDate, c.szDate);
    }
}

TEST_F(HiScoreTest, NewScoreGoesIntoItsRankAndPushesTheRestDown) {
    const int32_t alScore[NUM_HIGH_SCORES] = {1000, 900, 800, 700, 600, 500, 400, 300, 200, 100};
    for (int p = 0; p < NUM_HIGH_SCORES; p++) {
        SCOPED_TRACE(p);
        TableOf(alScore);
        const HighScoreTable before = hsTable;
        int32_t lNew = alScore[p] + 50;
        EXPECT_EQ(HighScoreRankFor(lNew), p);
        ASSERT_EQ(HighScoreInsertDated("New", lNew, 7, "07/04/1996"), p);
        for (int k = 0; k < p; k++) EXPECT_STREQ(hsTable.aRow[k].szName, before.aRow[k].szName);
        EXPECT_STREQ(hsTable.aRow[p].szName, "New");
        EXPECT_EQ(hsTable.aRow[p].lScore, lNew);
        EXPECT_EQ(hsTable.aRow[p].nLevel, 7);
        EXPECT_STREQ(hsTable.aRow[p].szDate, "07/04/1996");
        for (int k = p + 1; k < NUM_HIGH_SCORES; k++)
            EXPECT_EQ(memcmp(&hsTable.aRow[k], &before.aRow[k - 1], sizeof(HighScoreEntry)), 0)
                << "row " << k;
    }
}

TEST_F(HiScoreTest, EqualScoresKeepTheOlderRowAbove) {
    // 9000, 5000, 5000 at the bottom: another 5000 does not qualify.
    TableOf({20000, 19000, 18000, 17000, 16000, 15000, 14000, 9000, 5000, 5000});
    const HighScoreTable before = hsTable;
    EXPECT_FALSE(HighScoreQualifies(5000));
    EXPECT_EQ(HighScoreInsertDated("Late", 5000, 1, "d"), -1);
    EXPECT_EQ(memcmp(&hsTable, &before, sizeof hsTable), 0);

    // 9000, 5000, 4000: a new 5000 goes below the older 5000, the 4000 is lost.
    TableOf({20000, 19000, 18000, 17000, 16000, 15000, 14000, 9000, 5000, 4000});
    EXPECT_TRUE(HighScoreQualifies(5000));
    EXPECT_EQ(HighScoreInsertDated("Late", 5000, 1, "d"), 9);
    EXPECT_STREQ(hsTable.aRow[8].szName, "P8");
    EXPECT_STREQ(hsTable.aRow[9].szName, "Late");

    // A tie in the middle: below every equal score.
    TableOf({900, 800, 700, 700, 700, 500, 400, 300, 200, 100});
    EXPECT_EQ(HighScoreInsertDated("Tie", 700, 1, "d"), 5);
    EXPECT_STREQ(hsTable.aRow[4].szName, "P4");
    EXPECT_STREQ(hsTable.aRow[6].szName, "P5");
}

// Scores are written unsigned, so they rank unsigned too: a hand-edited
// score of 2,147,483,648 or more shows large and sorts large.
TEST_F(HiScoreTest, ScoresCompareUnsignedAsTheyAreWritten) {
    const uint32_t kTop = 0x80000000u;
    struct Case {
        uint32_t lRow9; // the other rows are above it
        uint32_t lNew;
        bool bQualifies;
    } const kCases[] = {
        {0, 1, true},
        {0, 0, false},
        {0, kTop, true},
        {kTop, 1, false},
        {kTop, kTop + 1, true},
        {0xFFFFFFFBu, 0, false},
        {0xFFFFFFFBu, 0xFFFFFFFFu, true},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.lRow9 << " then " << c.lNew);
        TableOf({-1, -1, -1, -1, -1, -1, -1, -1, -1, (int32_t)c.lRow9});
        EXPECT_EQ(HighScoreQualifies((int32_t)c.lNew), c.bQualifies);
        EXPECT_EQ(HighScoreRankFor((int32_t)c.lNew), c.bQualifies ? 9 : 10);
    }
    // A large score goes above the small ones and is the best of the run.
    TableOf({9, 8, 7, 6, 5, 4, 3, 2, 1, 0});
    EXPECT_EQ(HighScoreInsertDated("Big", (int32_t)kTop, 3, "d"), 0);
    HighScoreGameOver(12000);
    HighScoreGameOver((int32_t)kTop);
    HighScoreGameOver(7000);
    EXPECT_EQ((uint32_t)lHighToday, kTop);
}

TEST_F(HiScoreTest, NamesAreCleanedCutAndRefusedWhenBlank) {
    const char szLong[] = "0123456789012345678901234567890123456789";
    struct Case {
        const char* szTyped;
        const char* szStored; // "" : refused, the table untouched
    } const kCases[] = {
        {"Smith, J.", "Smith  J."}, // the record format has no quoting
        {"  Ann  ", "Ann"},
        {",Bob,", "Bob"},
        {"\tCy\td\t", "Cy d"},
        {"   ", ""},
        {",,,", ""},
        {"\t \t,", ""},
        {"", ""},
        {"\"Q\"", "\"Q\""},
        {"Zo\xeb M\xfcller", "Zo\xeb M\xfcller"},
        {szLong, "0123456789012345678901234567890"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.szTyped);
        ResetHighScores();
        const HighScoreTable before = hsTable;
        int nRow = HighScoreInsertDated(c.szTyped, 10, 2, "d");
        if (!c.szStored[0]) {
            EXPECT_EQ(nRow, -1);
            EXPECT_EQ(memcmp(&before, &hsTable, sizeof hsTable), 0);
            continue;
        }
        ASSERT_EQ(nRow, 0);
        EXPECT_STREQ(hsTable.aRow[0].szName, c.szStored);
        // Nothing of the typed text lies behind the stored name.
        const char* pName = hsTable.aRow[0].szName;
        for (size_t i = strlen(pName); i < HS_NAME_LEN; i++) EXPECT_EQ(pName[i], '\0') << i;
        HighScoreEntry back;
        ASSERT_EQ(HighScoreRecordParse(Format(hsTable.aRow[0]).c_str(), &back), 1);
        EXPECT_STREQ(back.szName, c.szStored);
        EXPECT_EQ(back.lScore, 10);
    }
    EXPECT_EQ(HighScoreInsertDated("Al", 20, 2, "a date far too long for it"), 0);
    EXPECT_STREQ(hsTable.aRow[0].szDate, "a date far too ");
}

TEST_F(HiScoreTest, DatesKeepTheFullYear) {
    char sz[HS_DATE_LEN];
    EXPECT_EQ(HighScoreDateFormat(sz, sizeof sz, 7, 4, 1996), 10);
    EXPECT_STREQ(sz, "07/04/1996");
    HighScoreDateFormat(sz, sizeof sz, 12, 31, 2026);
    EXPECT_STREQ(sz, "12/31/2026");
}

TEST_F(HiScoreTest, GameOverKeepsTheLastAndTheBestOfTheRun) {
    EXPECT_FALSE(HighScoreGameOver(0)); // 0 on a default table: no place
    EXPECT_EQ(lLastScore, 0);
    EXPECT_TRUE(HighScoreGameOver(12000));
    EXPECT_TRUE(HighScoreGameOver(7000));
    EXPECT_EQ(lLastScore, 7000);
    EXPECT_EQ(lHighToday, 12000);

    // The top line then alternates between the two.
    char sz[HS_TOPLINE_LEN];
    HighScoreTopLine(sz, sizeof sz);
    EXPECT_STREQ(sz, "Last Score: 00007000");
    HighScoreTopLine(sz, sizeof sz);
    EXPECT_STREQ(sz, "High Today: 00012000");
    HighScoreTopLine(sz, sizeof sz);
    EXPECT_STREQ(sz, "Last Score: 00007000");
}

TEST_F(HiScoreTest, TopLineSwitchesEveryThirtyTwoTicksAcrossOpenings) {
    char sz[HS_TOPLINE_LEN];
    HighScoreTopLine(sz, sizeof sz);
    EXPECT_STREQ(sz, "Last Score: 00000000");
    for (int i = 1; i < HS_TOPLINE_TICKS; i++) ASSERT_FALSE(HighScoreTopLineTick()) << i;
    EXPECT_TRUE(HighScoreTopLineTick());
    EXPECT_EQ(nTopLineTicks, 0);
    HighScoreTopLine(sz, sizeof sz);
    EXPECT_STREQ(sz, "High Today: 00000000");
    // A dialog closed after 10 ticks leaves 22 for the next one.
    for (int i = 0; i < 10; i++) HighScoreTopLineTick();
    int n = 0;
    while (!HighScoreTopLineTick()) n++;
    EXPECT_EQ(n + 1, HS_TOPLINE_TICKS - 10);
}

TEST_F(HiScoreTest, RowTextsPadScoreAndLevel) {
    hsTable.aRow[4].lScore = 123;
    hsTable.aRow[4].nLevel = 3;
    char szScore[16], szLevel[16];
    ASSERT_TRUE(HighScoreRowTexts(4, szScore, sizeof szScore, szLevel, sizeof szLevel));
    EXPECT_STREQ(szScore, "00000123");
    EXPECT_STREQ(szLevel, "03");
    hsTable.aRow[4].nLevel = 50;
    HighScoreRowTexts(4, szScore, sizeof szScore, szLevel, sizeof szLevel);
    EXPECT_STREQ(szLevel, "50");
    EXPECT_FALSE(HighScoreRowTexts(10, szScore, sizeof szScore, szLevel, sizeof szLevel));
}

TEST_F(HiScoreTest, SpinningTilesStartApartAndDrawFromTheSharedSequence) {
    for (unsigned seed = 1; seed <= 200; seed++) {
        SCOPED_TRACE(seed);
        srand(seed);
        SpinTile a[2];
        int y = 0;
        SpinTilesStart(a, 0, 472, 0, &y);
        EXPECT_EQ(a[0].x, 60);
        EXPECT_EQ(a[1].x, 372);
        EXPECT_EQ(y, 7);
        EXPECT_NE(a[0].nColor, a[1].nColor);
        // The draws: two frames, then colour pairs until they differ.
        srand(seed);
        int f0 = rand() % 10, f1 = rand() % 10, c0, c1;
        do {
            c0 = rand() % 8;
            c1 = rand() % 8;
        } while (c0 == c1);
        EXPECT_EQ(a[0].nFrame, f0);
        EXPECT_EQ(a[1].nFrame, f1);
        EXPECT_EQ(a[0].nColor, c0);
        EXPECT_EQ(a[1].nColor, c1);
    }
}

TEST_F(HiScoreTest, SpinningTileStepsThroughFramesThenColours) {
    SpinTile t = {8, 6, 0};
    SpinTileStep(&t);
    EXPECT_EQ(t.nFrame, 9);
    EXPECT_EQ(t.nColor, 6);
    SpinTileStep(&t);
    EXPECT_EQ(t.nFrame, 0);
    EXPECT_EQ(t.nColor, 7);
    for (int i = 0; i < 10; i++) SpinTileStep(&t);
    EXPECT_EQ(t.nFrame, 0);
    EXPECT_EQ(t.nColor, 0); // after the last colour, the first
}

TEST_F(HiScoreTest, GameOverRowFallsFor77Ticks) {
    GameOverRow row;
    GameOverRowStart(&row);
    EXPECT_EQ(row.y, -48);
    EXPECT_EQ(row.nFrame, 0);
    int nTicks = 0, nLastY = 0;
    bool bClose = false;
    while (!bClose && nTicks < 1000) {
        nLastY = row.y;
        EXPECT_EQ(row.nFrame, nTicks % 10);
        bClose = GameOverRowStep(&row);
        nTicks++;
    }
    EXPECT_EQ(nTicks, 77);
    EXPECT_EQ(nLastY, 104); // the last row drawn still fits a 152-high screen
    // Eleven tiles 40 apart, the colours repeating after eight.
    const int aColor[GAMEOVER_ROW_TILES] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2};
    for (int i = 0; i < GAMEOVER_ROW_TILES; i++) {
        EXPECT_EQ(GameOverTileColor(i), aColor[i]);
        EXPECT_EQ(GameOverTileX(i), 40 * i);
    }
}
