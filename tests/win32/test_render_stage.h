// The stage the renderer's tests draw on. It stands in for the platform
// under the renderer:
//
//   - the main window and the side panel are real (hidden) windows, with the
//     six command buttons as children of the main window, but every context
//     the renderer takes of them is a memory context on a 32-bit DIB, so
//     every pixel can be read (main: 640 x 480, panel: 220 x 420);
//   - the tick count is dwNow, the active window hwndActive;
//   - bitmaps come from stand-ins of the real sizes whose pixels are a
//     gradient seeded by the name (so a misplaced or wrong bitmap shows), or,
//     with bRealArt, from the game's own resources in the test exe;
//   - message boxes are recorded instead of shown.
//
// The constructor runs the engine's start-up (goal table, title tiles) and
// loads the bitmap set; the destructor frees it and puts the platform back.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "engine/game.h"
#include "prefs/prefs.h"
#include "render/goal.h"
#include "render/render_win.h"
#include "shell/app.h"
#include "tests/win32/support/dib_canvas.h"

// A colour the renderer never draws with, for untouched pixels.
const COLORREF kMarker = RGB(1, 2, 3);

struct BoxCall {
    std::string sText, sCaption;
    UINT uType;
};

// Width and height of a bitmap resource of the game by name; false if the
// name is none of the renderer's.
inline bool StandInSize(const std::string& s, int* pW, int* pH) {
    auto set = [&](int w, int h) {
        *pW = w;
        *pH = h;
        return true;
    };
    auto ends = [&](const char* szEnd) {
        size_t n = strlen(szEnd);
        return s.size() >= n && s.compare(s.size() - n, n, szEnd) == 0;
    };
    if (s == "TILEERASE") return set(40, 48);
    if (s == "SMALLTILEERASE") return set(40, 11);
    if (s == "PLAYERERASE") return set(40, 12);
    if (s.rfind("PADDLE", 0) == 0) return set(41, 12);
    if (ends("TILE")) return set(40, 11);
    if (s.size() > 5 && s.compare(s.size() - 5, 4, "TILE") == 0 && isdigit(s.back()))
        return set(40, 48);
    if (s.rfind("LEVEL", 0) == 0) {
        int n = atoi(s.c_str() + 5);
        static const std::set<int> kBig = {2, 10, 28, 31, 32, 33, 35, 38, 42, 43, 44, 48, 49, 50};
        if (kBig.count(n)) return set(64, 64);
        if (n == 4) return set(40, 40);
        if (n == 29) return set(64, 32);
        if (n == 45) return set(32, 64);
        return set(32, 32);
    }
    if (s == "MAINTITLE" || s == "MAINCREDITS") return set(300, 115);
    if (s == "CREDITS") return set(2800, 25);
    if (s == "PAUSEDLOGO") return set(180, 60);
    if (s == "GOAL" || s == "GOALPOINTS" || s == "GOALTILES") return set(196, 60);
    return false;
}

// The stand-in bitmap of a name: a gradient whose colours no two nearby
// positions share, seeded by the name. NULL for an unknown name.
inline HBITMAP StandInBitmap(const std::string& sName) {
    int w, h;
    if (!StandInSize(sName, &w, &h)) return NULL;
    uint32_t seed = 2166136261u;
    for (char c : sName) seed = (seed ^ uint8_t(c)) * 16777619u;
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            px[size_t(y) * size_t(w) + size_t(x)] = (((seed >> 16) + 4 * x + 1) & 0xFF) << 16 |
                                                    (((seed >> 8) + 4 * y + 2) & 0xFF) << 8 |
                                                    ((seed & 0xF0) | 0x05);
    HDC hdcScreen = GetDC(NULL);
    HBITMAP hbm = CreateCompatibleBitmap(hdcScreen, w, h);
    ReleaseDC(NULL, hdcScreen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC hdc = CreateCompatibleDC(NULL);
    SetDIBits(hdc, hbm, 0, UINT(h), px.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(hdc);
    return hbm;
}

class RenderStage {
  public:
    explicit RenderStage(bool bRealArtwork = false) : bRealArt(bRealArtwork) {
        pStage = this;
        hInst = GetModuleHandleA(NULL);
        WindowsCreate();
        pfnRenderTickCount = [] { return pStage->dwNow; };
        pfnRenderGetDC = [](HWND hwnd) -> HDC {
            HDC hdc = pStage->CanvasOf(hwnd);
            if (hdc) pStage->nDCsTaken++;
            return hdc;
        };
        pfnRenderReleaseDC = [](HWND hwnd, HDC hdc) {
            EXPECT_EQ(hdc, pStage->CanvasOf(hwnd)) << "a context released on the wrong window";
            pStage->nDCsReleased++;
            return 1;
        };
        pfnRenderActiveWindow = [] { return pStage->hwndActive; };
        pfnRenderLoadBitmap = [](const char* szName) { return pStage->Load(szName); };
        pfnRenderMessageBox = [](HWND hwnd, const char* szText, const char* szCaption, UINT u) {
            EXPECT_EQ(hwnd, (HWND)NULL);
            pStage->aBoxes.push_back(BoxCall{szText, szCaption, u});
            return IDOK;
        };

        // The engine's start-up on the Win32 host: goal table, title tiles.
        HostInstallWin32();
        hwndMain = hwndStageMain;
        GameInit(hwndStageMain);
        KillTimer(hwndStageMain, PLAY_TIMER_ID);
        PrefsSetDefaults();
        game.hwndPanel = hwndPanel;
        hwndActive = hwndStageMain;
        LoadBitmaps();
        nPaddleFrame = 0;
        dwPaddleFrameTime = 0;
        bPaddleFlash = 0;
        dwFlashStart = 0;
        nChaseTicks = nChaseStep = nChasePrev = nFramedButton = 0;
        nGoalPhase = 0;
        aLoads.clear();
    }

    ~RenderStage() {
        FreeBitmaps();
        RenderUsePlatform();
        DestroyWindow(hwndStageMain);
        for (HWND& hwnd : ahwndButton) hwnd = NULL;
        game.hwndMain = game.hwndPanel = NULL;
        hwndMain = NULL;
        pStage = nullptr;
    }

    RenderStage(const RenderStage&) = delete;
    RenderStage& operator=(const RenderStage&) = delete;

    // A game in progress on nLevel: empty bins, empty paddle in lane 2.
    void GameOn(int nLevel) {
        game.nLevel = nLevel;
        game.bGameRunning = 1;
        game.bPaused = 0;
        game.nPaddleLane = 2;
        game.nHeld = 0;
        game.nPaddleY = PADDLE_BASE_Y;
        for (TileColor& c : game.aHeld) c = TILE_NONE;
        for (TileColor& c : game.aBinCell) c = TILE_NONE;
        for (int32_t& n : game.aBinCount) n = 0;
    }

    // Whether the main canvas shows the bitmap of a name at (x, y).
    bool MainShows(const std::string& sName, int x, int y, std::string* psWhy = nullptr) {
        return Shows(main, sName, x, y, psWhy);
    }
    bool Shows(const DibCanvas& canvas, const std::string& sName, int x, int y,
               std::string* psWhy = nullptr) {
        HBITMAP hbm =
            bRealArt ? LoadBitmapA(GetModuleHandleA(NULL), sName.c_str()) : StandInBitmap(sName);
        bool b = CanvasShowsBitmap(canvas, hbm, x, y, psWhy);
        if (hbm) DeleteObject(hbm);
        return b;
    }
    // The same for rows nFrom.. of the bitmap, when what was drawn after it
    // covers the rows above.
    bool MainShowsFromRow(const std::string& sName, int x, int y, int nFrom, std::string* psWhy) {
        HBITMAP hbm =
            bRealArt ? LoadBitmapA(GetModuleHandleA(NULL), sName.c_str()) : StandInBitmap(sName);
        int w = 0, h = 0;
        std::vector<uint32_t> px = BitmapPixels(hbm, &w, &h);
        if (hbm) DeleteObject(hbm);
        if (px.empty()) {
            *psWhy = sName + " did not load";
            return false;
        }
        for (int j = nFrom; j < h; j++)
            for (int i = 0; i < w; i++)
                if (RgbOf(main.At(x + i, y + j)) != px[size_t(j * w + i)]) {
                    *psWhy = sName + " differs at row " + std::to_string(j);
                    return false;
                }
        return true;
    }

    static RenderStage* pStage;

    bool bRealArt;
    DibCanvas main{SCREEN_W, SCREEN_H, kMarker};
    DibCanvas panel{220, 420, kMarker};
    HWND hwndStageMain = NULL;
    HWND hwndPanel = NULL;
    HWND hwndActive = NULL;
    DWORD dwNow = 1000000;
    std::set<std::string> missing;   // names that fail to load
    std::vector<std::string> aLoads; // every name asked for, in order
    std::vector<BoxCall> aBoxes;
    int nDCsTaken = 0, nDCsReleased = 0;

  private:
    HDC CanvasOf(HWND hwnd) const {
        if (hwnd && hwnd == hwndStageMain) return main.Dc();
        if (hwnd && hwnd == hwndPanel) return panel.Dc();
        return NULL;
    }

    HBITMAP Load(const char* szName) {
        aLoads.push_back(szName);
        if (missing.count(szName)) return NULL;
        if (bRealArt) return LoadBitmapA(GetModuleHandleA(NULL), szName);
        return StandInBitmap(szName);
    }

    void WindowsCreate() {
        static bool bRegistered = false;
        if (!bRegistered) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(NULL);
            wc.lpszClassName = "QuarrionRenderStage";
            RegisterClassA(&wc);
            bRegistered = true;
        }
        hwndStageMain = CreateWindowExA(0, "QuarrionRenderStage", "stage", WS_POPUP, 0, 0, SCREEN_W,
                                        SCREEN_H, NULL, NULL, GetModuleHandleA(NULL), NULL);
        for (int i = 0; i < NUM_BUTTONS; i++)
            ahwndButton[i] = CreateWindowExA(
                0, "button", "Button", WS_CHILD | WS_VISIBLE, 511, 40 + 70 * i, 83, 55,
                hwndStageMain, (HMENU)(INT_PTR)(BUTTON_FIRST_ID + i), GetModuleHandleA(NULL), NULL);
        hwndPanel = CreateWindowExA(0, "static", "", WS_CHILD, 29, 34, 219, 416, hwndStageMain,
                                    NULL, GetModuleHandleA(NULL), NULL);
    }
};

inline RenderStage* RenderStage::pStage = nullptr;

// Whether every pixel of (left, top, right, bottom) on the canvas is cr.
inline bool RegionIs(const DibCanvas& c, int left, int top, int right, int bottom, COLORREF cr,
                     std::string* psWhy = nullptr) {
    for (int y = top; y < bottom; y++)
        for (int x = left; x < right; x++)
            if (c.At(x, y) != cr) {
                if (psWhy) {
                    char sz[120];
                    snprintf(sz, sizeof sz, "(%d, %d) is %06X, want %06X", x, y,
                             (unsigned)RgbOf(c.At(x, y)), (unsigned)RgbOf(cr));
                    *psWhy = sz;
                }
                return false;
            }
    return true;
}
