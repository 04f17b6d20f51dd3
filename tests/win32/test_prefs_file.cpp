// The options in the initialisation file, read and written through the real
// private profile functions on a file of each test's own in the test work
// directory (never the one beside the test exe).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <shlobj.h>

#include "prefs/ini_win.h"
#include "prefs/prefs.h"

namespace {

class PrefsFile : public ::testing::Test {
  protected:
    std::string sPath;

    void SetUp() override {
        const ::testing::TestInfo* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
        sPath = std::string(QUARRION_TESTWORK_DIR_W) + "\\prefs-" + pInfo->name() + "-" +
                std::to_string(GetCurrentProcessId()) + ".ini";
        DeleteFileA(sPath.c_str());
        PrefsSetIniPathForTest(sPath.c_str());
        memset(&prefs, 0x5a, sizeof prefs); // nothing may survive from memory
    }
    void TearDown() override {
        PrefsSetIniPathForTest(NULL);
        DeleteFileA(sPath.c_str());
    }

    void WriteFile(const char* szText) {
        FILE* f = fopen(sPath.c_str(), "wb");
        ASSERT_NE(f, nullptr) << sPath;
        fputs(szText, f);
        fclose(f);
    }

    // The file's lines without their line ends, blank lines left out.
    std::vector<std::string> Lines() {
        std::vector<std::string> aLine;
        FILE* f = fopen(sPath.c_str(), "rb");
        if (!f) return aLine;
        char szLine[512];
        while (fgets(szLine, sizeof szLine, f)) {
            std::string s(szLine);
            while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
            if (!s.empty()) aLine.push_back(s);
        }
        fclose(f);
        return aLine;
    }
};

const std::vector<std::string> kContact = {
    "[Zentrope]", "Web Site=", "EMail=", "[Window]", "Zoom=0", "FullScreen=0"};

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(PrefsFile, NoFileGivesDefaultsAndTheFirstSaveWritesEveryKey) {
    EXPECT_EQ(LoadPrefs(), 1);
    EXPECT_EQ(prefs.nSpeed, 1);
    EXPECT_EQ(prefs.bSound, 1);
    EXPECT_EQ(prefs.bMusic, 0);
    EXPECT_EQ(prefs.bContinuous, 0);
    EXPECT_EQ(prefs.bUseMenu, 1);
    EXPECT_EQ(prefs.bPatterns, 1);
    EXPECT_STREQ(prefs.szLastPlayer, "");
    EXPECT_EQ(GetFileAttributesA(sPath.c_str()), INVALID_FILE_ATTRIBUTES) << "reading wrote";

    EXPECT_EQ(SavePrefs(), 1);
    EXPECT_EQ(Lines(), Concat({"[Prefs]", "Speed=1", "Sound=1", "Music=0", "Continuous=0",
                               "UseMenu=1", "Patterns=1", "LastPlayer="},
                              kContact));
}

TEST_F(PrefsFile, ValuesAreReadAsTheyStandExceptSpeed) {
    struct Row {
        const char* szFile;
        int32_t nSpeed, bSound, bMusic, bContinuous, bUseMenu, bPatterns;
        const char* szLastPlayer;
    };
    const Row aRow[] = {
        {"[Prefs]\r\nSpeed=9\r\n", 3, 1, 0, 0, 1, 1, ""},
        {"[Prefs]\r\nSpeed=-4\r\n", 0, 1, 0, 0, 1, 1, ""},
        {"[Prefs]\r\nSpeed=2\r\nSound=2\r\n", 2, 2, 0, 0, 1, 1, ""},
        {"[Prefs]\r\nSound=0\r\nMusic=1\r\nContinuous=1\r\nUseMenu=0\r\nPatterns=0\r\n"
         "LastPlayer=Ada\r\n",
         1, 0, 1, 1, 0, 0, "Ada"},
        {"[Prefs]\r\nLastPlayer=1234567890123456789012345678901234567890\r\n", 1, 1, 0, 0, 1, 1,
         "1234567890123456789012345678901"},
        // Keys of another section are not ours.
        {"[Scores]\r\nSpeed=3\r\nSound=0\r\n[Prefs]\r\nMusic=1\r\n", 1, 1, 1, 0, 1, 1, ""},
    };
    for (const Row& r : aRow) {
        WriteFile(r.szFile);
        memset(&prefs, 0x5a, sizeof prefs);
        EXPECT_EQ(LoadPrefs(), 1);
        SCOPED_TRACE(r.szFile);
        EXPECT_EQ(prefs.nSpeed, r.nSpeed);
        EXPECT_EQ(prefs.bSound, r.bSound);
        EXPECT_EQ(prefs.bMusic, r.bMusic);
        EXPECT_EQ(prefs.bContinuous, r.bContinuous);
        EXPECT_EQ(prefs.bUseMenu, r.bUseMenu);
        EXPECT_EQ(prefs.bPatterns, r.bPatterns);
        EXPECT_STREQ(prefs.szLastPlayer, r.szLastPlayer);
    }
}

TEST_F(PrefsFile, SaveRewritesOurKeysAndLeavesTheScoresAlone) {
    WriteFile("[Scores]\r\nName0=Someone\r\nScore0=1200\r\n"
              "[Prefs]\r\nSpeed=9\r\nLastPlayer=1234567890123456789012345678901234567890\r\n"
              "Stray=1\r\n");
    LoadPrefs();
    prefs.bMusic = 1; // as the menu's Music command leaves it
    EXPECT_EQ(SavePrefs(), 1);
    EXPECT_EQ(Lines(), Concat({"[Scores]", "Name0=Someone", "Score0=1200", "[Prefs]", "Speed=3",
                               "LastPlayer=1234567890123456789012345678901", "Stray=1", "Sound=1",
                               "Music=1", "Continuous=0", "UseMenu=1", "Patterns=1"},
                              kContact));
}

TEST_F(PrefsFile, SaveWritesEveryValueAsItStands) {
    PrefsSetDefaults();
    prefs.nSpeed = 3;
    prefs.bSound = 0;
    prefs.bMusic = 1;
    prefs.bContinuous = 1;
    prefs.bUseMenu = 0;
    strcpy(prefs.szLastPlayer, "Grace Q. Player");
    ASSERT_EQ(SavePrefs(), 1);
    EXPECT_EQ(Lines(), Concat({"[Prefs]", "Speed=3", "Sound=0", "Music=1", "Continuous=1",
                               "UseMenu=0", "Patterns=1", "LastPlayer=Grace Q. Player"},
                              kContact));
}

TEST_F(PrefsFile, ANameFillingTheWholeBufferIsCutAtItsEnd) {
    PrefsSetDefaults();
    memset(prefs.szLastPlayer, 'x', sizeof prefs.szLastPlayer); // no end mark
    ASSERT_EQ(SavePrefs(), 1);
    std::vector<std::string> aLine = Lines();
    ASSERT_GE(aLine.size(), 8u);
    EXPECT_EQ(aLine[7], "LastPlayer=" + std::string(LAST_PLAYER_LEN - 1, 'x'));
}

} // namespace

// Which file a game in a given folder uses: the one beside it where the
// profile functions can write it, else the application-data folder's, which
// takes along what can still be read beside the exe. The probe leaves nothing.
TEST(IniFile, BesideTheExeWhereItCanBeWrittenElseInApplicationData) {
    wchar_t wszData[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, wszData), S_OK);
    const std::wstring wsFallback = std::wstring(wszData) + L"\\Quarrion\\Quarr95.ini";
    const std::string sWork =
        std::string(QUARRION_TESTWORK_DIR_W) + "\\inifile-" + std::to_string(GetCurrentProcessId());
    const std::wstring wsWork(sWork.begin(), sWork.end());
    std::wstring wsLong = wsWork + L"\\long";
    while (wsLong.size() < 250) wsLong += L"\\a-folder-deep-down";
    enum { NOTHING, INI_FOLDER, READ_ONLY_INI, NEITHER_WRITABLE };
    const struct {
        const char* szWhat;
        std::wstring wsFolder; // ends in a backslash
        int nSetup;
        bool bBeside;
    } aCase[] = {
        {"a plain folder", wsWork + L"\\plain\\", NOTHING, true},
        {"Japanese and Cyrillic", wsWork + L"\\\x30b2\x30fc\x30e0 \x0418\x0433\x0440\x044b\\",
         NOTHING, true},
        {"past the path limit", wsLong + L"\\", NOTHING, false},
        {"a folder named Quarr95.ini", wsWork + L"\\ini-folder\\", INI_FOLDER, false},
        {"a read-only file", wsWork + L"\\read-only\\", READ_ONLY_INI, false},
        {"a folder that cannot be named", L"", NOTHING, false},
        // The application-data file is a folder too: the one that reads stays.
        {"neither can be written", wsWork + L"\\neither\\", NEITHER_WRITABLE, true},
    };
    for (const auto& c : aCase) {
        SCOPED_TRACE(c.szWhat);
        DeleteFileW(wsFallback.c_str());
        RemoveDirectoryW(wsFallback.c_str());
        std::wstring wsBeside = c.wsFolder + L"Quarr95.ini";
        if (!c.wsFolder.empty()) {
            for (size_t n = wsWork.size(); n != std::wstring::npos;
                 n = c.wsFolder.find(L'\\', n + 1))
                CreateDirectoryW(c.wsFolder.substr(0, n).c_str(), NULL);
        }
        if (c.nSetup == INI_FOLDER) CreateDirectoryW(wsBeside.c_str(), NULL);
        if (c.nSetup == NEITHER_WRITABLE) CreateDirectoryW(wsFallback.c_str(), NULL);
        if (c.nSetup == READ_ONLY_INI || c.nSetup == NEITHER_WRITABLE) {
            SetFileAttributesW(wsBeside.c_str(), FILE_ATTRIBUTE_NORMAL);
            FILE* f = _wfopen(wsBeside.c_str(), L"wb");
            ASSERT_TRUE(f);
            fputs("[Scores]\r\n1=Old Hand,9,00050000,01/02/1999\r\n", f);
            fclose(f);
            SetFileAttributesW(wsBeside.c_str(), FILE_ATTRIBUTE_READONLY);
        }
        wchar_t wszPath[WIDE_PATH_LEN];
        ASSERT_TRUE(IniFileFor(c.wsFolder.c_str(), wszPath, WIDE_PATH_LEN));
        EXPECT_EQ(std::wstring(wszPath), c.bBeside ? wsBeside : wsFallback);
        RemoveDirectoryW(wsFallback.c_str());
        if (c.nSetup == NOTHING && !c.wsFolder.empty()) {
            EXPECT_EQ(GetFileAttributesW(wsBeside.c_str()), INVALID_FILE_ATTRIBUTES);
        }
        if (c.bBeside) continue;
        // The file in use takes the writes, a copy of the read-only one included.
        EXPECT_TRUE(WritePrivateProfileStringW(L"Prefs", L"Music", L"1", wszPath));
        FILE* f = _wfopen(wszPath, L"rb");
        ASSERT_TRUE(f);
        char szText[256] = "";
        szText[fread(szText, 1, sizeof szText - 1, f)] = '\0';
        fclose(f);
        EXPECT_NE(strstr(szText, "Music=1"), nullptr) << szText;
        EXPECT_EQ(strstr(szText, "Old Hand") != nullptr, c.nSetup == READ_ONLY_INI) << szText;
    }
    DeleteFileW(wsFallback.c_str());
}
