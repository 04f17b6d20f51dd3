// The real game at every zoom on the tests' 3840 x 2160 screen: its pictures
// are the design's pixels made larger, the window sizes and full screen, the
// choice kept in the file, mouse clicks at zoom 3 and the manifest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/win32/support/dib_canvas.h"
#include "tests/win32/support/game_process.h"

namespace {

const DWORD kCloseMs = 6000;
const char kQuiet[] = "[Prefs]\r\nSpeed=1\r\nMusic=0\r\nSound=0\r\n";

struct Shot {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    uint32_t At(int x, int y) const { return px[size_t(y) * size_t(w) + size_t(x)]; }
};

Shot Grab(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    DibCanvas canvas(rc.right, rc.bottom);
    Shot shot;
    if (!GrabClient(hwnd, canvas)) return shot;
    shot.w = rc.right;
    shot.h = rc.bottom;
    shot.px = canvas.Snapshot();
    return shot;
}

SIZE ClientSize(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return SIZE{rc.right, rc.bottom};
}

bool ZoomIs(HWND hwnd, int z) {
    SIZE sz = ClientSize(hwnd);
    return sz.cx == 640 * z && sz.cy == 480 * z;
}

// Design pixels the comparison leaves alone: what moves on its own while the
// window is inactive (the frame that chases round the buttons, the paddle's
// lamps) and the side panel's text controls, whose fonts are not magnified
// but made larger.
// The title's tiles are left out too: the platform may hand the game the
// focus for a moment while its window changes size, and they turn then. What
// is left out must still fill its blocks alike.
struct Leave {
    bool bTitle = false;
    bool bPanelText = false;
};

bool InTitleTile(int x, int y) {
    for (int i = 0; i < 7; i++) {
        int left = 35 + 67 * i;
        if (x >= left && x < left + 40 && ((y >= 40 && y < 88) || (y >= 390 && y < 438)))
            return true;
    }
    for (int i = 0; i < 4; i++) {
        int top = 110 + 70 * i;
        if (y >= top && y < top + 48 && ((x >= 35 && x < 75) || (x >= 437 && x < 477))) return true;
    }
    return false;
}

// The panel's border is the system's one-pixel line, not a magnified one.
bool InPanelBorder(int x, int y) {
    bool bSide = (x == 29 || x == 247) && y >= 34 && y < 450;
    bool bEnd = (y == 34 || y == 449) && x >= 29 && x < 248;
    return bSide || bEnd;
}

bool InChaseRing(int x, int y) {
    for (int i = 0; i < 6; i++) {
        int top = 38 + 70 * i;
        bool bOuter = x >= 509 && x < 596 && y >= top && y < top + 59;
        bool bInner = x >= 511 && x < 594 && y >= top + 2 && y < top + 57;
        if (bOuter && !bInner) return true;
    }
    return false;
}

// The three lines of the side panel: (14, 137, 203, 156) and so on inside
// its client area, which starts at (30, 35).
bool InPanelText(int x, int y) {
    const RECT aLine[] = {{14, 137, 203, 156}, {14, 191, 203, 210}, {14, 376, 203, 395}};
    for (const RECT& rc : aLine)
        if (x >= 30 + rc.left && x < 30 + rc.right && y >= 35 + rc.top && y < 35 + rc.bottom)
            return true;
    return false;
}

bool IsLamp(uint32_t rgb) {
    return rgb == 0x00FF00 || rgb == 0x008000;
}

// How many design pixels of one do not fill their z x z block of big alike;
// each of them is marked in magenta on pMarks, when given.
int Mismatches(const Shot& one, const Shot& big, int z, const Leave& leave, std::string* psFirst,
               DibCanvas* pMarks = nullptr) {
    int nBad = 0;
    for (int y = 0; y < 480; y++)
        for (int x = 0; x < 640; x++) {
            bool bLeft = (leave.bTitle && (InChaseRing(x, y) || InTitleTile(x, y))) ||
                         (leave.bPanelText && (InPanelText(x, y) || InPanelBorder(x, y)));
            if (bLeft && leave.bPanelText) continue; // text: checked apart
            uint32_t want = bLeft ? big.At(x * z, y * z) : one.At(x, y);
            bool bOk = true;
            for (int dy = 0; dy < z && bOk; dy++)
                for (int dx = 0; dx < z && bOk; dx++) {
                    uint32_t got = big.At(x * z + dx, y * z + dy);
                    bOk = got == want || (IsLamp(want) && IsLamp(got));
                }
            if (bOk) continue;
            if (pMarks) SetPixel(pMarks->Dc(), x, y, RGB(255, 0, 255));
            if (nBad++ == 0 && psFirst)
                *psFirst = "first at design (" + std::to_string(x) + ", " + std::to_string(y) + ")";
        }
    return nBad;
}

// Text that fits its control: the line's letters (coloured pixels; the
// control's edge is grey) lie inside it with room to spare on every side.
std::string PanelTextFits(const Shot& big, int z) {
    const RECT aLine[] = {{14, 137, 203, 156}, {14, 191, 203, 210}, {14, 376, 203, 395}};
    for (const RECT& rc : aLine) {
        int l = (30 + rc.left) * z, r = (30 + rc.right) * z;
        int t = (35 + rc.top) * z, b = (35 + rc.bottom) * z;
        RECT rcInk = {r, b, l, t};
        for (int y = t; y < b; y++)
            for (int x = l; x < r; x++) {
                uint32_t c = big.At(x, y);
                if ((c & 0xFF) == ((c >> 8) & 0xFF) && (c & 0xFF) == (c >> 16)) continue;
                rcInk =
                    RECT{std::min<LONG>(rcInk.left, x), std::min<LONG>(rcInk.top, y),
                         std::max<LONG>(rcInk.right, x + 1), std::max<LONG>(rcInk.bottom, y + 1)};
            }
        std::string sLine = "line at design y " + std::to_string(rc.top);
        if (rcInk.right <= rcInk.left) return sLine + " is empty";
        if (rcInk.left < l + 3 || rcInk.right > r - 3 || rcInk.top < t + 2 || rcInk.bottom > b - 2)
            return sLine + " is cut off";
    }
    return "";
}

// A window of the test's own, brought to the front so the game is inactive:
// its title screen then stands still.
HWND TakeTheFront() {
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "QuarrionZoomTestFront";
        atom = RegisterClassA(&wc);
    }
    HWND hwnd =
        CreateWindowExA(0, "QuarrionZoomTestFront", "front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 3400,
                        1800, 200, 100, NULL, NULL, GetModuleHandleA(NULL), NULL);
    SetForegroundWindow(hwnd);
    PumpFor(200);
    return hwnd;
}

std::string Shots(const char* szName) {
    return std::string(QUARRION_SCREENSHOT_DIR_W) + "\\\\" + szName;
}

std::string WindowText(HWND hwnd) {
    char sz[64] = "";
    DWORD_PTR dwResult = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof sz, (LPARAM)sz, SMTO_ABORTIFHUNG, 2000, &dwResult);
    return sz;
}

// Compares the zoom-1 picture with zooms 2, 3 and 4 of the same moment.
void CheckZooms(HWND hwnd, const Leave& leave, const char* szWhat) {
    // Zoom 1 chosen anew repaints as every other zoom does.
    SendMessageA(hwnd, WM_COMMAND, IDM_ZOOM_BASE + 16, 0);
    ASSERT_TRUE(WaitUntil([&] { return ZoomIs(hwnd, 1); }, 5000));
    PumpFor(300);
    Shot one = Grab(hwnd);
    for (int z = 2; z <= 4; z++) {
        SCOPED_TRACE(testing::Message() << szWhat << " at zoom " << z);
        SendMessageA(hwnd, WM_COMMAND, IDM_ZOOM_BASE + 16 * z, 0);
        ASSERT_TRUE(WaitUntil([&] { return ZoomIs(hwnd, z); }, 5000));
        // The children paint after the window; wait for the picture to settle.
        Shot big;
        std::string sFirst;
        int nBad = 0;
        WaitUntil(
            [&] {
                big = Grab(hwnd);
                nBad = Mismatches(one, big, z, leave, &sFirst);
                return nBad == 0;
            },
            5000);
        EXPECT_EQ(nBad, 0) << sFirst;
        if (nBad) {
            // The zoom-1 picture with the design pixels that differ marked.
            DibCanvas marks(640, 480);
            memcpy((void*)marks.Pixels(), one.px.data(), one.px.size() * 4);
            Mismatches(one, big, z, leave, nullptr, &marks);
            marks.SavePng(Shots((std::string("zoom_mismatch_") + szWhat + ".png").c_str()));
        }
        if (leave.bPanelText) {
            EXPECT_EQ(PanelTextFits(big, z), "");
        }
        if (z == 2) {
            DibCanvas canvas(big.w, big.h);
            memcpy((void*)canvas.Pixels(), big.px.data(), big.px.size() * 4);
            canvas.SavePng(Shots((std::string("zoom2_") + szWhat + ".png").c_str()));
        }
    }
    SendMessageA(hwnd, WM_COMMAND, IDM_ZOOM_BASE + 16, 0);
}

} // namespace

TEST(Zoom, EveryPixelIsTheDesignPixelMadeLarger) {
    GameRun run("zoom_exact");
    ASSERT_TRUE(run.WriteIni((std::string(kQuiet) + "[Window]\r\nZoom=1\r\n").c_str()));
    ASSERT_TRUE(run.Start());
    HWND hwnd = run.Window();
    PumpFor(600);
    HWND hwndFront = TakeTheFront();
    // Inactive, the title clears its credits band and its tiles stand still.
    ASSERT_TRUE(WaitUntil(
        [&] {
            Shot shot = Grab(hwnd);
            for (int y = 232; y < 259; y++)
                for (int x = 94; x < 423; x++)
                    if (shot.At(x, y) != 0xFFFFFF) return false;
            return true;
        },
        3000))
        << "the game stays the active window";
    CheckZooms(hwnd, Leave{true, false}, "title");

    // Level 27 by its code: tiles in the bins and three on the paddle; then
    // paused with tiles in flight.
    PostMessageA(hwnd, WM_KEYDOWN, 'W', 0);
    HWND hDlg = WaitForOwnedDialog(hwnd, 3000);
    ASSERT_TRUE(hDlg) << "no warp dialog";
    HWND hEdit = GetDlgItem(hDlg, IDC_WARP_CODE);
    for (const char* sz = "#27#"; *sz; sz++) PostMessageA(hEdit, WM_CHAR, (WPARAM)*sz, 1);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(hEdit) == "#27#"; }, 3000));
    PostMessageA(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hDlg); }, kCloseMs));
    PostMessageA(hwnd, WM_KEYDOWN, VK_LEFT, 0); // plays on
    PumpFor(1500);
    PostMessageA(hwnd, WM_KEYDOWN, 'P', 0);
    // The pause logo in the lanes: letters on the grey.
    ASSERT_TRUE(WaitUntil(
        [&] {
            Shot shot = Grab(hwnd);
            int nLetters = 0;
            for (int y = 138; y < 198; y++)
                for (int x = 286; x < 466; x++) nLetters += shot.At(x, y) != 0xC0C0C0;
            return nLetters > 500;
        },
        3000))
        << "no pause logo";
    PumpFor(300);
    SetForegroundWindow(hwndFront);
    CheckZooms(hwnd, Leave{false, true}, "paused");

    DestroyWindow(hwndFront);
    EXPECT_EQ(run.Close(), 0u);
}

namespace {

RECT WindowRect(HWND hwnd) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    return rc;
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Keys as a player presses them, to whichever window is in front.
void PressKeys(std::initializer_list<WORD> aVk) {
    std::vector<INPUT> aIn;
    for (WORD vk : aVk) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = vk;
        aIn.push_back(in);
    }
    for (auto it = aVk.end(); it != aVk.begin();) {
        INPUT in = {};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *--it;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        aIn.push_back(in);
    }
    SendInput((UINT)aIn.size(), aIn.data(), sizeof(INPUT));
}

void MouseAt(int x, int y, DWORD dwDown, DWORD dwUp) {
    SetCursorPos(x, y);
    INPUT aIn[2] = {};
    aIn[0].type = aIn[1].type = INPUT_MOUSE;
    aIn[0].mi.dwFlags = dwDown;
    aIn[1].mi.dwFlags = dwUp;
    SendInput(2, aIn, sizeof(INPUT));
}

std::string IniValue(const GameRun& run, const char* szKey) {
    std::string s = run.ReadIni(), sKey = std::string("\n") + szKey + "=";
    size_t at = s.find("[Window]");
    at = at == std::string::npos ? at : s.find(sKey, at);
    if (at == std::string::npos) return "";
    at += sKey.size();
    return s.substr(at, s.find_first_of("\r\n", at) - at);
}

} // namespace

TEST(Zoom, StepsFullScreenAndTheChoiceKeptInTheFile) {
    GameRun run("zoom_sizes");
    RECT rcBefore = {};
    {
        // An old file without the section: the largest zoom that fits.
        ASSERT_TRUE(run.WriteIni((std::string(kQuiet) + "[Window]\r\n").c_str()));
        ASSERT_TRUE(run.Start());
        HWND hwnd = run.Window();
        EXPECT_TRUE(ZoomIs(hwnd, 4));
        RECT rcWork;
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
        RECT rc = WindowRect(hwnd);
        EXPECT_GE(rc.left, rcWork.left);
        EXPECT_GE(rc.top, rcWork.top);
        EXPECT_LE(rc.right, rcWork.right);
        EXPECT_LE(rc.bottom, rcWork.bottom);
        EXPECT_LE(abs((rc.left - rcWork.left) - (rcWork.right - rc.right)), 1) << "not centred";

        // Ctrl+Minus down to 1 and no further, Ctrl+Plus up to 4 and no further.
        struct Step {
            int nCommand, nZoom;
        } const aSteps[] = {{IDM_ZOOMOUT, 3}, {IDM_ZOOMOUT, 2}, {IDM_ZOOMOUT, 1},
                            {IDM_ZOOMOUT, 1}, {IDM_ZOOMIN, 2},  {IDM_ZOOMIN, 3},
                            {IDM_ZOOMIN, 4},  {IDM_ZOOMIN, 4},  {IDM_ZOOM_BASE + 32, 2}};
        for (const Step& s : aSteps) {
            SendMessageA(hwnd, WM_COMMAND, (WPARAM)s.nCommand, 0);
            EXPECT_TRUE(ZoomIs(hwnd, s.nZoom)) << "command " << s.nCommand << " to " << s.nZoom;
        }

        // Alt+Enter covers the screen; F11 brings the window back as it was.
        SetForegroundWindow(hwnd);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == hwnd; }, 3000));
        rcBefore = WindowRect(hwnd);
        PressKeys({VK_MENU, VK_RETURN});
        ASSERT_TRUE(WaitUntil(
            [&] {
                return SameRect(WindowRect(hwnd), RECT{0, 0, GetSystemMetrics(SM_CXSCREEN),
                                                       GetSystemMetrics(SM_CYSCREEN)});
            },
            3000))
            << "Alt+Enter did not cover the screen";
        SIZE sz = ClientSize(hwnd);
        EXPECT_EQ(sz.cx, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_TRUE(WaitUntil([&] { return Grab(hwnd).At(10, 10) == 0x000000u; }, 3000))
            << "the margin is not black";
        PressKeys({VK_F11});
        ASSERT_TRUE(WaitUntil([&] { return SameRect(WindowRect(hwnd), rcBefore); }, 3000));
        EXPECT_TRUE(ZoomIs(hwnd, 2));
        EXPECT_EQ(run.Close(), 0u);
        EXPECT_EQ(IniValue(run, "Zoom"), "2");
        EXPECT_EQ(IniValue(run, "FullScreen"), "0");
    }
    {
        // The choice survives a restart; full screen too.
        ASSERT_TRUE(run.Start());
        HWND hwnd = run.Window();
        EXPECT_TRUE(ZoomIs(hwnd, 2));
        SendMessageA(hwnd, WM_COMMAND, IDM_FULLSCREEN, 0);
        EXPECT_EQ(run.Close(), 0u);
        EXPECT_EQ(IniValue(run, "FullScreen"), "1");
        ASSERT_TRUE(run.Start());
        hwnd = run.Window();
        SIZE sz = ClientSize(hwnd);
        EXPECT_EQ(sz.cx, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(sz.cy, GetSystemMetrics(SM_CYSCREEN));
        // F11 after a start in full screen: the window it would have had, shown.
        SetForegroundWindow(hwnd);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == hwnd; }, 3000));
        PressKeys({VK_F11});
        ASSERT_TRUE(WaitUntil([&] { return ZoomIs(hwnd, 2); }, 3000));
        EXPECT_TRUE(IsWindowVisible(hwnd));
        EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
        EXPECT_TRUE(SameRect(WindowRect(hwnd), rcBefore));
        EXPECT_EQ(run.Close(), 0u);
    }
}

TEST(Zoom, ClicksAndRightClicksAtZoom3) {
    GameRun run("zoom_clicks");
    ASSERT_TRUE(run.WriteIni((std::string(kQuiet) + "[Window]\r\nZoom=3\r\n").c_str()));
    ASSERT_TRUE(run.Start());
    HWND hwnd = run.Window();
    ASSERT_TRUE(ZoomIs(hwnd, 3));
    SetForegroundWindow(hwnd);
    PumpFor(300);
    // The middle of the Scores button, (511 + 41, 180 + 27) in design pixels.
    POINT pt = {(511 + 41) * 3, (180 + 27) * 3};
    ClientToScreen(hwnd, &pt);
    MouseAt(pt.x, pt.y, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    HWND hDlg = WaitForOwnedDialog(hwnd, 5000);
    ASSERT_TRUE(hDlg) << "the click opened nothing";
    EXPECT_TRUE(GetDlgItem(hDlg, IDC_HS_NAME)) << "not the high-score table";
    PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hDlg); }, kCloseMs));

    // A right click in the playfield opens the game's menu at the cursor.
    pt = POINT{300 * 3, 320 * 3};
    ClientToScreen(hwnd, &pt);
    MouseAt(pt.x, pt.y, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    HWND hwndMenu = NULL;
    ASSERT_TRUE(WaitUntil(
        [&] {
            hwndMenu = FindWindowA("#32768", NULL);
            return hwndMenu && IsWindowVisible(hwndMenu);
        },
        5000));
    RECT rcMenu = WindowRect(hwndMenu);
    EXPECT_LE(abs(rcMenu.left - pt.x), 2);
    EXPECT_LE(abs(rcMenu.top - pt.y), 2);
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(hwndMenu); }, 3000));
    EXPECT_EQ(run.Close(), 0u);
}

// The exe carries its manifest: aware of each monitor's dots per inch, the
// systems from Vista on, no elevation, the classic controls.
TEST(Zoom, TheShippedExeCarriesAWellFormedManifest) {
    std::string sExe = std::string(QUARRION_DIST_DIR_W) + "\\Quarrion.exe";
    HMODULE hExe = LoadLibraryExA(sExe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(hExe);
    HRSRC hRes = FindResourceA(hExe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_TRUE(hRes) << "no manifest";
    const char* p = (const char*)LockResource(LoadResource(hExe, hRes));
    std::string s(p, SizeofResource(hExe, hRes));
    FreeLibrary(hExe);
    for (const char* szMust :
         {"<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
          "PerMonitorV2</dpiAwareness>",
          ">true/pm</dpiAware>", "level=\"asInvoker\"", "{e2011457-1546-43c5-a5fe-008deee3d3f0}",
          "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
          "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(s.find(szMust), std::string::npos) << szMust;
    EXPECT_EQ(s.find("Common-Controls"), std::string::npos);
    // Well formed: every element that opens is closed, in order.
    std::vector<std::string> aOpen;
    for (size_t at = s.find('<'); at != std::string::npos; at = s.find('<', at + 1)) {
        size_t end = s.find('>', at);
        ASSERT_NE(end, std::string::npos);
        std::string sTag = s.substr(at + 1, end - at - 1);
        if (sTag[0] == '?' || sTag.back() == '/') continue;
        std::string sName = sTag.substr(sTag[0] == '/' ? 1 : 0);
        sName = sName.substr(0, sName.find_first_of(" \r\n\t"));
        if (sTag[0] != '/') {
            aOpen.push_back(sName);
        } else {
            ASSERT_FALSE(aOpen.empty()) << sTag;
            EXPECT_EQ(aOpen.back(), sName);
            aOpen.pop_back();
        }
    }
    EXPECT_TRUE(aOpen.empty());
    EXPECT_EQ(s.rfind("</assembly>"), s.find_last_not_of("\r\n") - 10);
}
