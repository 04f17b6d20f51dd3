// The player's scores and options survive whatever folder the game is
// unpacked to: one whose name the ANSI code page cannot spell, one past the
// platform's path limit, one the game cannot write to. The file lies beside
// the exe where it can, else in the application-data folder.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

#include "resources/resource.h"
#include "tests/win32/support/game_process.h"

namespace {

// Wine on a display without a window manager takes about two seconds to hide
// a captioned window.
const DWORD kCloseMs = 6000;

void Key(HWND hwnd, WPARAM vk) {
    PostMessageA(hwnd, WM_KEYDOWN, vk, 0);
}

std::wstring FallbackIni() {
    wchar_t wsz[MAX_PATH] = L"";
    SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, SHGFP_TYPE_CURRENT, wsz);
    return std::wstring(wsz) + L"\\Quarrion\\Quarr95.ini";
}

bool IsFile(const std::wstring& wsPath) {
    DWORD dwAttr = GetFileAttributesW(wsPath.c_str());
    return dwAttr != INVALID_FILE_ATTRIBUTES && !(dwAttr & FILE_ATTRIBUTE_DIRECTORY);
}

bool Has(const std::string& sText, const char* szLine) {
    return sText.find(szLine) != std::string::npos;
}

std::string ItemText(HWND hDlg, int nId) {
    char sz[64] = "";
    GetDlgItemTextA(hDlg, nId, sz, sizeof sz);
    return sz;
}

const wchar_t kForeignFolder[] = L"folders\\My Games\\\x30b2\x30fc\x30e0 \x0418\x0433\x0440\x044b";

} // namespace

// Japanese and Cyrillic in the path: the first run turns the music on and
// writes the high-score table back in full (its start-up does, mending a
// broken row), the second reads both.
TEST(Folders, AnOptionAndTheHighScoresSurviveARestartInAFolderOutsideTheCodePage) {
    GameRun run{std::wstring(kForeignFolder)};
    BOOL bLost = FALSE;
    char szAnsi[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, run.DirW().c_str(), -1, szAnsi, MAX_PATH, NULL, &bLost);
    ASSERT_TRUE(bLost) << "the folder's name fits the ANSI code page: it proves nothing";
    DeleteFileW(FallbackIni().c_str());
    ASSERT_TRUE(run.WriteIni("[Prefs]\r\nSpeed=3\r\nMusic=0\r\nSound=0\r\n"
                             "[Scores]\r\n1=Flo,7,00001234,12/01/95\r\n10=not a record\r\n"));

    ASSERT_TRUE(run.Start());
    Key(run.Window(), 'M');
    EXPECT_EQ(run.Close(), 0u);
    std::string sIni = run.ReadIni();
    EXPECT_TRUE(Has(sIni, "Music=1")) << sIni;
    EXPECT_TRUE(Has(sIni, "10=A. Player,1,00000000,12/01/95")) << sIni;

    ASSERT_TRUE(run.Start());
    PostMessageA(run.Window(), WM_COMMAND, IDM_SCORES, 0);
    HWND hTable = WaitForDialog(run.Window(), "Quarrion High Scores", 5000);
    ASSERT_TRUE(hTable);
    EXPECT_EQ(ItemText(hTable, IDC_HS_NAME), "Flo");
    EXPECT_EQ(ItemText(hTable, IDC_HS_NAME + 9 * IDC_HS_ROWSTEP), "A. Player");
    PostMessageA(hTable, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&]() { return !IsWindow(hTable); }, kCloseMs));
    EXPECT_EQ(run.Close(), 0u);
    EXPECT_TRUE(Has(run.ReadIni(), "Music=1"));
    EXPECT_FALSE(IsFile(FallbackIni())) << "the file beside the exe was usable";
}

namespace {

enum Setup { PLAIN, INI_IS_A_FOLDER, INI_READ_ONLY };

struct FolderCase {
    const char* szWhat;
    std::wstring wsFolder;
    Setup setup;
    bool bBeside; // the file stays beside the exe
};

} // namespace

// The first run turns the music on, the second the sound off: both are in
// the file in use afterwards only if the second read what the first wrote.
// (A folder past the path limit is tested in-process: no program there can
// be started by another.)
TEST(Folders, OptionsSurviveARestartWhereverTheFileMustBeKept) {
    const FolderCase aCase[] = {
        {"a folder named Quarr95.ini", L"folders\\ini-is-a-folder", INI_IS_A_FOLDER, false},
        {"a read-only file", L"folders\\read-only-file", INI_READ_ONLY, false},
        {"a read-only folder", L"" QUARRION_READONLY_DIR_W, PLAIN, false},
        // Without a manifest or under Wine the writes go through.
        {"Program Files", L"C:\\Program Files\\Quarrion e2e", PLAIN, true},
    };
    const std::wstring wsFallback = FallbackIni();
    for (const FolderCase& c : aCase) {
        SCOPED_TRACE(c.szWhat);
        DeleteFileW(wsFallback.c_str());
        GameRun run(c.wsFolder);
        std::wstring wsBeside = run.DirW() + L"\\Quarr95.ini";
        if (c.setup == INI_IS_A_FOLDER) CreateDirectoryW(wsBeside.c_str(), NULL);
        if (c.setup == INI_READ_ONLY) {
            ASSERT_TRUE(run.WriteIni("[Scores]\r\n1=Old Hand,9,00050000,01/02/1999\r\n"));
            SetFileAttributesW(wsBeside.c_str(), FILE_ATTRIBUTE_READONLY);
        }
        // Run where the current directory is some other folder.
        ASSERT_TRUE(run.Start(15000, L"C:\\")) << "the game did not start";
        Key(run.Window(), 'M');
        EXPECT_EQ(run.Close(), 0u);
        ASSERT_TRUE(run.Start(15000, L"C:\\")) << "the game did not start again";
        Key(run.Window(), VK_TAB);
        EXPECT_EQ(run.Close(), 0u);

        std::string sIni = ReadWholeFile(c.bBeside ? wsBeside : wsFallback);
        EXPECT_TRUE(Has(sIni, "Music=1") && Has(sIni, "Sound=0")) << sIni;
        // One file in use: the other place holds none the game made.
        EXPECT_FALSE(c.bBeside && IsFile(wsFallback));
        EXPECT_FALSE(c.setup == PLAIN && !c.bBeside && IsFile(wsBeside));
        // The scores of a file that could only be read came along.
        if (c.setup == INI_READ_ONLY) {
            EXPECT_TRUE(Has(sIni, "1=Old Hand,9,00050000")) << sIni;
            EXPECT_FALSE(Has(ReadWholeFile(wsBeside), "Music")) << "the read-only file changed";
        }
    }
    DeleteFileW(wsFallback.c_str());
}

// A start that cannot write beside the exe moves the file to the
// application-data folder for good: the starts after it, which could write
// beside the exe, keep that file and what the first start saved there (the
// sound turned off, the table cleared); the file beside the exe stays as it was.
TEST(Folders, TheApplicationDataFileStaysInUseOnceMade) {
    GameRun run("folders\\sticky");
    const std::wstring wsBeside = run.DirW() + L"\\Quarr95.ini";
    const char kBeside[] = "[Scores]\r\n1=Old Hand,9,00050000,01/02/1999\r\n[Window]\r\nZoom=1\r\n";
    ASSERT_TRUE(run.WriteIni(kBeside));
    SetFileAttributesW(wsBeside.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(run.Start());
    Key(run.Window(), VK_TAB);
    PostMessageA(run.Window(), WM_COMMAND, IDM_CLEARSCORES, 0);
    HWND hAsk = WaitForOwnedDialog(run.Window(), 5000);
    PostMessageA(hAsk, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(WaitUntil([&]() { return !IsWindow(hAsk); }, kCloseMs));
    EXPECT_EQ(run.Close(), 0u);
    SetFileAttributesW(wsBeside.c_str(), FILE_ATTRIBUTE_NORMAL);
    for (int n = 0; n < 2; n++) EXPECT_TRUE(run.Start() && run.Close() == 0u);
    std::string sIni = ReadWholeFile(FallbackIni());
    EXPECT_TRUE(Has(sIni, "Sound=0") && Has(sIni, "1=A. Player,1,00000000")) << sIni;
    EXPECT_EQ(run.ReadIni(), kBeside);
    DeleteFileW(FallbackIni().c_str());
}

// The file turns into a folder of its name while the game runs: the save at
// the window's destruction fails, a box of its own names the file and what
// the system said, once, and after OK the game ends.
TEST(Folders, AFailedSaveIsToldOnceAndTheGameStillEnds) {
    GameRun run("folders\\save-fails");
    const std::wstring wsIni = run.DirW() + L"\\Quarr95.ini";
    RemoveDirectoryW(wsIni.c_str());
    ASSERT_TRUE(run.Start());
    ASSERT_TRUE(DeleteFileW(wsIni.c_str()) && CreateDirectoryW(wsIni.c_str(), NULL));
    PostMessageA(run.Window(), WM_CLOSE, 0, 0);
    HWND hBox = WaitForWindow("#32770", run.ProcessId(), 15000);
    ASSERT_TRUE(hBox && !GetWindow(hBox, GW_OWNER)) << "no warning of its own";
    char sz[512] = "", szDenied[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, NULL, ERROR_ACCESS_DENIED, 0, szDenied, 256, NULL);
    // The box is found as soon as it exists; its caption comes with its
    // initialisation, a moment later on a busy machine.
    WaitUntil([&] { return GetWindowTextA(hBox, sz, sizeof sz) > 0; }, 5000);
    std::string sText = sz;
    for (HWND h = GetWindow(hBox, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (SendMessageTimeoutA(h, WM_GETTEXT, sizeof sz, (LPARAM)sz, 0, 2000, NULL)) sText += sz;
    EXPECT_TRUE(Has(sText, "Quarrion v") && Has(sText, (run.Dir() + "\\Quarr95.ini").c_str()) &&
                Has(sText, szDenied))
        << sText;
    PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(run.WaitExit(kCloseMs), 0u);
    RemoveDirectoryW(wsIni.c_str());
}

// An install whose file can be written nowhere (folders stand where it would
// go, beside the exe and in the application-data folder): the start-up's save
// fails. A second copy hands over to the running one without a word; the
// copy that runs tells of it before its window shows.
TEST(Folders, OnlyTheCopyThatRunsTellsOfAFailedStartUpSave) {
    GameRun first("folders\\running"), run("folders\\unwritable");
    struct Folders {
        std::wstring aws[2];
        ~Folders() {
            for (const std::wstring& ws : aws) RemoveDirectoryW(ws.c_str());
        }
    } ini{{run.DirW() + L"\\Quarr95.ini", FallbackIni()}};
    ASSERT_TRUE(first.Start());
    for (const std::wstring& ws : ini.aws) {
        CreateDirectoryW(ws.substr(0, ws.rfind(L'\\')).c_str(), NULL);
        ASSERT_TRUE(CreateDirectoryW(ws.c_str(), NULL));
    }
    EXPECT_FALSE(run.Start(3000)) << "a second window";
    EXPECT_EQ(run.WaitExit(), 0u) << "the second copy did not hand over in silence";
    EXPECT_EQ(first.Close(), 0u);

    EXPECT_FALSE(run.Start(3000)) << "the window came before the warning";
    HWND hBox = WaitForWindow("#32770", run.ProcessId(), 15000);
    ASSERT_TRUE(hBox) << "the copy that runs does not tell of the failed save";
    PostMessageA(hBox, WM_COMMAND, IDOK, 0);
    HWND hwnd = WaitForWindow("kvoQuarrwClass", run.ProcessId(), 15000);
    ASSERT_TRUE(hwnd && PostMessageA(hwnd, WM_CLOSE, 0, 0));
    EXPECT_EQ(run.WaitExit(kCloseMs), 0u) << "a second box at the end?";
}
