// The main window's two faces on its device context (render/draw.h draws
// them), the title's tick and the chase of the rings around the buttons.
#include "render/render_win.h"
#include "render/zoom_win.h"

int nChaseTicks;
int nChaseStep;
int nChasePrev;
int nFramedButton;

const COLORREF aButtonFrameColor[NUM_BUTTONS] = {
    RGB(255, 0, 0), RGB(255, 255, 0), RGB(0, 255, 0),
    RGB(0, 0, 255), RGB(0, 255, 255), RGB(255, 0, 255),
};

int PaintBackground(HDC hdc, int nLevel) {
    OnPicture(hdc, [&](Picture* pPic) { return PaintBackground(*pPic, nLevel); });
    return 1;
}

int PaintMainWindow(HDC hdc) {
    if (game.bGameRunning) {
        const uint32_t dwNow = pfnRenderTickCount();
        if (!OnPicture(hdc, [&](Picture* pPic) { return GameScreenPaint(*pPic, dwNow); }))
            pfnRenderMessageBox(NULL, "Pause logo is invalid", "DEBUG", MB_OK);
        return 1;
    }
    if (game.hwndPanel) ShowWindow((HWND)game.hwndPanel, SW_HIDE);
    OnPicture(hdc, [](Picture* pPic) { return TitleScreenPaint(*pPic); });
    FrameButton(RenderMainWindow(), -1, 1);
    return 1;
}

int TitleTick(HWND hwndMain) {
    const int bActive = pfnRenderActiveWindow() == hwndMain;
    if (!TitleTickDraws(bActive)) {
        game.nCreditsOffset = 0;
        return 1;
    }
    HDC hdc = pfnRenderGetDC(hwndMain);
    if (!hdc) {
        // Nothing to draw on: the credits and the tiles move on all the same.
        Picture none = PictureOver(NULL, PictureRect{0, 0, 0, 0});
        return TitleTick(none, bActive);
    }
    OnPicture(hdc, [&](Picture* pPic) { return TitleTick(*pPic, bActive); });
    pfnRenderReleaseDC(hwndMain, hdc);
    return 1;
}

int ButtonChaseTick(HWND hwndMain) {
    nChaseTicks += 1;
    if (nChaseTicks < CHASE_TICKS) return 0;
    nChaseTicks = 0;
    nChaseStep += 1;
    if (nChaseStep >= CHASE_STEPS) nChaseStep = 0;
    if (nChaseStep < NUM_BUTTONS) {
        FrameButton(hwndMain, nChasePrev, 0);
        FrameButton(hwndMain, nChaseStep, 1);
        nChasePrev = nChaseStep;
    } else if (nChaseStep == NUM_BUTTONS) {
        FrameButton(hwndMain, nChasePrev, 0);
    }
    return 1;
}

int FrameButton(HWND hwndParent, int nButton, int bOn) {
    if (nButton == -1) nButton = nFramedButton;
    if (nButton < 0 || nButton >= NUM_BUTTONS) return 0;
    if (bOn) nFramedButton = nButton;
    HWND hwndButton = ahwndButton[nButton];
    if (!hwndParent || !hwndButton) return 0;

    // The button's rectangle in the parent's picture, grown by 2.
    RECT rc;
    GetClientRect(hwndButton, &rc);
    POINT aCorner[2] = {{rc.left, rc.top}, {rc.right, rc.bottom}};
    for (POINT& pt : aCorner) {
        ClientToScreen(hwndButton, &pt);
        ScreenToClient(hwndParent, &pt);
        pt = ZoomClientToDesign(hwndParent, pt);
    }
    const PictureRect rcRing = {aCorner[0].x - 2, aCorner[0].y - 2, aCorner[1].x + 2,
                                aCorner[1].y + 2};

    HDC hdc = pfnRenderGetDC(hwndParent);
    if (!hdc) return 0;
    OnPicture(hdc, [&](Picture* pPic) { return FrameButton(*pPic, nButton, rcRing, bOn); });
    pfnRenderReleaseDC(hwndParent, hdc);
    return 1;
}
