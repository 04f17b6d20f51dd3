// The Help command without a help viewer file: the game's own help box,
// opened modally over a window of the test and driven from a timer; the help
// text resource; the search for QUARR.HLP beside the program.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "resources/resource.h"
#include "shell/app.h"
#include "shell/help.h"
#include "tests/win32/support/dib_canvas.h"

namespace {

enum { DRIVE_MS = 50, DRIVE_GIVE_UP = 100 };

enum Close { CLOSE_OK, CLOSE_ESCAPE, CLOSE_BOX };

// What the drive saw of the open box.
struct Seen {
    bool bOpen = false;
    bool bGaveUp = false;
    std::string sCaption;
    std::string sText;
    bool bOwnerEnabled = true;
    bool bFocusOnText = false;
    DWORD dwSelStart = 99, dwSelEnd = 99;
    RECT rc = {};
};

HWND hwndOwner;
Close eClose;
Seen seen;
int nTicks;
int nStep;
const char* szShot;

struct Wanted {
    HWND hwndOwner;
    HWND hwnd;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM lParam) {
    Wanted* pWanted = (Wanted*)lParam;
    char sz[16] = "";
    GetClassNameA(hwnd, sz, sizeof sz);
    if (lstrcmpA(sz, "#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
    if (GetWindow(hwnd, GW_OWNER) != pWanted->hwndOwner) return TRUE;
    pWanted->hwnd = hwnd;
    return FALSE;
}

// The dialog of this thread that the test window owns.
HWND FindHelpBox() {
    Wanted wanted = {hwndOwner, NULL};
    EnumThreadWindows(GetCurrentThreadId(), MatchDialog, (LPARAM)&wanted);
    return wanted.hwnd;
}

void Look(HWND hwndDlg) {
    seen.bOpen = true;
    char sz[64] = "";
    GetWindowTextA(hwndDlg, sz, sizeof sz);
    seen.sCaption = sz;
    HWND hwndText = GetDlgItem(hwndDlg, IDC_HELP_TEXT);
    static char szText[HELP_TEXT_MAX];
    szText[0] = '\0';
    GetWindowTextA(hwndText, szText, HELP_TEXT_MAX);
    seen.sText = szText;
    seen.bOwnerEnabled = IsWindowEnabled(hwndOwner) != 0;
    seen.bFocusOnText = GetFocus() == hwndText;
    SendMessageA(hwndText, EM_GETSEL, (WPARAM)&seen.dwSelStart, (LPARAM)&seen.dwSelEnd);
    GetWindowRect(hwndDlg, &seen.rc);
}

// The whole box, frame and controls, from its own window surface.
void Screenshot(HWND hwndDlg) {
    RECT rc;
    GetWindowRect(hwndDlg, &rc);
    DibCanvas canvas(rc.right - rc.left, rc.bottom - rc.top, RGB(1, 2, 3));
    HDC hdc = GetWindowDC(hwndDlg);
    BitBlt(canvas.Dc(), 0, 0, canvas.W(), canvas.H(), hdc, 0, 0, SRCCOPY);
    ReleaseDC(hwndDlg, hdc);
    EXPECT_TRUE(canvas.SavePng(ScreenshotPath(szShot))) << szShot;
}

void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD) {
    HWND hwndDlg = FindHelpBox();
    if (++nTicks > DRIVE_GIVE_UP) { // never hang the suite
        seen.bGaveUp = true;
        if (hwndDlg) EndDialog(hwndDlg, 0);
        return;
    }
    if (!hwndDlg) return;
    if (nStep == 0) {
        nStep = 1;
        return; // one more tick, so the box has painted itself and its loop runs
    }
    if (nStep == 1) {
        Look(hwndDlg);
        if (szShot) {
            UpdateWindow(hwndDlg);
            Screenshot(hwndDlg);
        }
        nStep = 2;
        switch (eClose) {
        case CLOSE_OK: SendMessageA(GetDlgItem(hwndDlg, IDOK), BM_CLICK, 0, 0); break;
        case CLOSE_ESCAPE:
            PostMessageA(GetDlgItem(hwndDlg, IDC_HELP_TEXT), WM_KEYDOWN, VK_ESCAPE, 0);
            break;
        case CLOSE_BOX: PostMessageA(hwndDlg, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        }
    }
}

int RunHelp(Close eHow, const char* szScreenshot = nullptr) {
    eClose = eHow;
    seen = Seen{};
    nTicks = 0;
    nStep = 0;
    szShot = szScreenshot;
    UINT_PTR idTimer = SetTimer(NULL, 0, DRIVE_MS, Drive);
    int nResult = ShowHelp(hwndOwner);
    KillTimer(NULL, idTimer);
    return nResult;
}

// The help text resource exactly as the program carries it.
std::string HelpResource() {
    HMODULE hModule = GetModuleHandleA(NULL);
    HRSRC hRes = FindResourceA(hModule, "HELPTEXT", (LPCSTR)RT_RCDATA);
    if (!hRes) return "";
    const char* p = (const char*)LockResource(LoadResource(hModule, hRes));
    return p ? std::string(p, SizeofResource(hModule, hRes)) : "";
}

std::string Crlf(const std::string& s) {
    static char sz[HELP_TEXT_MAX];
    int n = HelpTextToCrlf(s.data(), (int)s.size(), sz, HELP_TEXT_MAX);
    return std::string(sz, n);
}

class Help : public testing::Test {
  protected:
    void SetUp() override {
        hInst = GetModuleHandleA(NULL);
        hwndOwner = CreateWindowExA(0, "STATIC", "help owner", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30,
                                    NULL, NULL, hInst, NULL);
        ASSERT_TRUE(hwndOwner);
    }
    void TearDown() override {
        DestroyWindow(hwndOwner);
        hwndOwner = NULL;
    }
};

} // namespace

TEST_F(Help, WithoutAHelpFileShowsTheGamesTextInAModalBoxClosedByOK) {
    ASSERT_FALSE(HelpFileExists()) << "a QUARR.HLP beside the test program would open the viewer";
    EXPECT_EQ(RunHelp(CLOSE_OK, "dialog_help.png"), 1);
    ASSERT_TRUE(seen.bOpen);
    EXPECT_FALSE(seen.bGaveUp);
    EXPECT_FALSE(FindHelpBox());
    EXPECT_EQ(seen.sCaption, "Quarrion Help");
    EXPECT_FALSE(seen.bOwnerEnabled); // modal over its owner
    EXPECT_TRUE(IsWindowEnabled(hwndOwner));

    // The whole resource, every line ended by CR LF for the edit control.
    std::string sResource = HelpResource();
    EXPECT_EQ(seen.sText, Crlf(sResource));
    std::string sFirstLine = sResource.substr(0, sResource.find('\n'));
    EXPECT_EQ(seen.sText.rfind(sFirstLine + "\r\n", 0), 0u) << seen.sText.substr(0, 80);
    EXPECT_NE(seen.sText.find("75000"), std::string::npos);
    for (size_t i = seen.sText.find('\n'); i != std::string::npos; i = seen.sText.find('\n', i + 1))
        ASSERT_EQ(seen.sText[i - 1], '\r') << "lone LF at " << i;

    // The text has the focus with the caret at its start and nothing selected.
    EXPECT_TRUE(seen.bFocusOnText);
    EXPECT_EQ(seen.dwSelStart, 0u);
    EXPECT_EQ(seen.dwSelEnd, 0u);

    // Centred on the screen, and large enough to read (300 x 220 dialog units).
    int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    EXPECT_EQ(seen.rc.left, cx + (seen.rc.left - seen.rc.right) / 2);
    EXPECT_EQ(seen.rc.top, cy + (seen.rc.top - seen.rc.bottom) / 2);
    EXPECT_GT(seen.rc.right - seen.rc.left, 400);
    EXPECT_LE(seen.rc.bottom - seen.rc.top, 480);
}

TEST_F(Help, ClosesFromEscapeAndTheCloseBox) {
    for (Close e : {CLOSE_ESCAPE, CLOSE_BOX}) {
        SCOPED_TRACE(e);
        EXPECT_EQ(RunHelp(e), 1);
        EXPECT_TRUE(seen.bOpen);
        EXPECT_FALSE(seen.bGaveUp);
        EXPECT_FALSE(FindHelpBox());
        EXPECT_TRUE(IsWindowEnabled(hwndOwner));
    }
}

TEST_F(Help, TheTextResourceIsPlainLinesThatFitTheBox) {
    std::string s = HelpResource();
    ASSERT_GT(s.size(), 1000u);
    EXPECT_EQ(s.back(), '\n');
    // Nothing is cut off when it is made CR LF text for the box.
    std::string sCrlf = Crlf(s);
    EXPECT_LT(sCrlf.size(), (size_t)HELP_TEXT_MAX - 1);
    EXPECT_EQ(sCrlf.size(), s.size() + (size_t)std::count(s.begin(), s.end(), '\n') -
                                (size_t)std::count(s.begin(), s.end(), '\r'));
    size_t nLine = 1, nStart = 0;
    for (size_t i = 0; i < s.size(); i++) {
        unsigned char c = (unsigned char)s[i];
        if (c == '\n') {
            size_t nLen = i - nStart - (i > nStart && s[i - 1] == '\r' ? 1 : 0);
            EXPECT_LE(nLen, 100u) << "line " << nLine;
            nLine++;
            nStart = i + 1;
        } else if (c != '\r') {
            EXPECT_TRUE(c >= 0x20 && c < 0x7f) << "line " << nLine << " byte " << int(c);
        }
    }
    EXPECT_GE(nLine, 60u);
}

TEST_F(Help, LineEndsBecomeCrLfWithoutSplittingOne) {
    struct Case {
        std::string sIn;
        int cchDst;
        std::string sOut;
    };
    const Case aCase[] = {
        {"a\nb\n", 16, "a\r\nb\r\n"},      // lone LFs gain a CR
        {"a\r\nb", 16, "a\r\nb"},          // CR LF stays as it is
        {"\n\n", 16, "\r\n\r\n"},          // a LF at the very start
        {"a\rb", 16, "a\rb"},              // a lone CR is kept
        {"ab\ncd", 4, "ab"},               // no room for the whole line end: stop before it
        {"ab\r\ncd", 5, "ab\r\n"},         // exactly room for it and the NUL
        {"abcdef", 4, "abc"},              // the NUL always fits
        {std::string("a\0b", 3), 16, "a"}, // the text ends at a NUL
    };
    for (const Case& c : aCase) {
        SCOPED_TRACE(c.sIn);
        char sz[16];
        memset(sz, 'x', sizeof sz);
        int n = HelpTextToCrlf(c.sIn.data(), (int)c.sIn.size(), sz, c.cchDst);
        EXPECT_EQ(n, (int)c.sOut.size());
        EXPECT_EQ(std::string(sz), c.sOut);
    }
}

TEST_F(Help, LooksForTheHelpFileBesideTheProgram) {
    char szExe[MAX_PATH], szPath[MAX_PATH];
    GetModuleFileNameA(NULL, szExe, MAX_PATH);
    std::string sDir(szExe, strrchr(szExe, '\\') + 1);
    ASSERT_TRUE(HelpFilePath(szPath, MAX_PATH));
    EXPECT_EQ(std::string(szPath), sDir + "QUARR.HLP");
    EXPECT_FALSE(HelpFilePath(szPath, (int)sDir.size() + 9)); // one short for the NUL
    EXPECT_EQ(szPath[0], '\0');
    ASSERT_TRUE(HelpFilePath(szPath, (int)sDir.size() + 10));

    ASSERT_FALSE(HelpFileExists());
    HANDLE h = CreateFileA(szPath, GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(HelpFileExists());
    EXPECT_TRUE(DeleteFileA(szPath));
    EXPECT_FALSE(HelpFileExists());
    // A folder of that name is no help file.
    ASSERT_TRUE(CreateDirectoryA(szPath, NULL));
    EXPECT_FALSE(HelpFileExists());
    EXPECT_TRUE(RemoveDirectoryA(szPath));
}
