#include "render/zoom_win.h"

#include <cstring>

#include "render/render_win.h"

int nZoom = 1;
POINT ptZoomOrigin = {0, 0};

namespace {

struct Surface {
    HWND hwnd;
    HDC hdc;
    HBITMAP hbm;
    HGDIOBJ hbmOld;
    const uint32_t* pBits; // the picture's pixels, w to a row, top row first
    int w, h;
    int nUsers;
    int bBoundsWork; // this platform accumulates bounds on memory contexts
    // What changed since the last copy, a few rectangles rather than one
    // that spans the lanes from a tile in the first to one in the last.
    ZoomPieces pieces;
};

enum { MAX_SURFACES = 4 };
Surface aSurface[MAX_SURFACES];

// Messages being handled that hold the copies to the windows back until
// their end (ZoomPresentHold), and the copies made so far.
int nPresentHolds;
int nPresents;

// The scaled rows of a copy at a zoom: a band of the window's pixels that
// goes to the window 1:1, so nothing on the way has to stretch.
enum { SCRATCH_ROWS = 96 };
HDC hdcScratch;
HBITMAP hbmScratch;
HGDIOBJ hbmScratchOld;
uint32_t* pScratch;
int nScratchW;

// A 32-bit top-down DIB section of w x h, its pixels in *ppBits.
HBITMAP DibCreate(HDC hdc, int w, int h, void** ppBits) {
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = w;
    bmi.bmiHeader.biHeight = -h;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(hdc, &bmi, DIB_RGB_COLORS, ppBits, NULL, 0);
}

void ScratchFree() {
    if (hdcScratch) {
        SelectObject(hdcScratch, hbmScratchOld);
        DeleteDC(hdcScratch);
    }
    if (hbmScratch) DeleteObject(hbmScratch);
    hdcScratch = NULL;
    hbmScratch = NULL;
    pScratch = NULL;
    nScratchW = 0;
}

// A band at least w pixels wide (and as wide as the picture at the zoom, so
// it is made once), compatible with hdc; 0 without one.
int ScratchEnsure(HDC hdc, int w) {
    if (hdcScratch && nScratchW >= w) return 1;
    ScratchFree();
    if (w < ZOOM_DESIGN_W * nZoom) w = ZOOM_DESIGN_W * nZoom;
    void* pBits = NULL;
    hdcScratch = CreateCompatibleDC(hdc);
    hbmScratch = DibCreate(hdc, w, SCRATCH_ROWS, &pBits);
    if (!hdcScratch || !hbmScratch || !pBits) {
        ScratchFree();
        return 0;
    }
    hbmScratchOld = SelectObject(hdcScratch, hbmScratch);
    pScratch = (uint32_t*)pBits;
    nScratchW = w;
    return 1;
}

Surface* SurfaceOf(HWND hwnd) {
    if (!hwnd) return NULL;
    for (Surface& s : aSurface)
        if (s.hwnd == hwnd && s.hdc) return &s;
    return NULL;
}

void SurfaceFree(Surface& s) {
    if (s.hdc) {
        SelectObject(s.hdc, s.hbmOld);
        DeleteDC(s.hdc);
    }
    if (s.hbm) DeleteObject(s.hbm);
    s = Surface{};
}

// Copies the design rectangle rc of the surface to hdcWindow: 1:1 at zoom
// 1, else scaled here a band of rows at a time and copied 1:1.
void SurfaceCopy(const Surface& s, HDC hdcWindow, RECT rc) {
    if (rc.left < 0) rc.left = 0;
    if (rc.top < 0) rc.top = 0;
    if (rc.right > s.w) rc.right = s.w;
    if (rc.bottom > s.h) rc.bottom = s.h;
    if (rc.right <= rc.left || rc.bottom <= rc.top) return;
    POINT ptOrigin = ZoomOriginOf(s.hwnd);
    const int w = rc.right - rc.left;
    if (nZoom <= 1 || !s.pBits || !ScratchEnsure(hdcWindow, w * nZoom)) {
        ZoomBlt(hdcWindow, ptOrigin.x + ZoomToClient(rc.left), ptOrigin.y + ZoomToClient(rc.top), w,
                rc.bottom - rc.top, s.hdc, rc.left, rc.top, nZoom);
        return;
    }
    const int nBand = SCRATCH_ROWS / nZoom;
    for (int y = rc.top; y < rc.bottom; y += nBand) {
        const int y1 = y + nBand < rc.bottom ? y + nBand : rc.bottom;
        GdiFlush(); // the drawing and the last band's copy done before the pixels are touched
        ZoomScalePixels(s.pBits + (size_t)y * s.w + rc.left, s.w, w, y1 - y, nZoom, pScratch,
                        nScratchW);
        BitBlt(hdcWindow, ptOrigin.x + rc.left * nZoom, ptOrigin.y + y * nZoom, w * nZoom,
               (y1 - y) * nZoom, hdcScratch, 0, 0, SRCCOPY);
    }
}

// What changed since the last look; the whole picture where the platform
// does not keep count.
int SurfaceTakeChanges(Surface& s, RECT* prc) {
    if (!s.bBoundsWork) {
        *prc = RECT{0, 0, s.w, s.h};
        return 1;
    }
    UINT uFlags = GetBoundsRect(s.hdc, prc, DCB_RESET);
    SetBoundsRect(s.hdc, NULL, DCB_ENABLE);
    return (uFlags & DCB_SET) && !IsRectEmpty(prc);
}

// Adds what was drawn since the last look to the surface's pieces.
void SurfaceCollect(Surface& s) {
    RECT rc;
    if (SurfaceTakeChanges(s, &rc))
        ZoomPiecesAdd(&s.pieces, ZoomRect{rc.left, rc.top, rc.right, rc.bottom});
}

// Lets what was copied to the windows so far go to the screen before more is
// copied. Wine keeps a window's pixels and sends the box around all that
// changed since it last sent, which it does whenever the thread looks at the
// keyboard and no input waits: the title's band and its tiles on two sides of
// the screen would otherwise go as the box around them, most of the window,
// every tick. A key nobody presses, whose state Wine answers from what it
// already knows; elsewhere the question costs next to nothing.
void ScreenSendNow() {
    GetAsyncKeyState(VK_F24);
}

// Copies the surface's pieces to its window through one context, unless its
// window is minimized (a restore paints it whole).
void SurfacePresent(Surface& s) {
    if (s.pieces.n == 0 || IsIconic(GetAncestor(s.hwnd, GA_ROOT))) return;
    // The main window's copies leave its children alone (it clips them, and
    // so does this context); the panel's own controls are frames and lines
    // the copy must show through, as its drawing always did.
    HDC hdcWindow = GetDCEx(s.hwnd, NULL,
                            DCX_CACHE | DCX_CLIPSIBLINGS |
                                (s.hwnd == RenderMainWindow() ? DCX_CLIPCHILDREN : 0));
    if (hdcWindow) {
        ZoomGroup group = {};
        for (int i = 0; i < s.pieces.n; i++) {
            const ZoomRect& rc = s.pieces.a[i];
            if (ZoomGroupAdd(&group, rc, nZoom) && i > 0) ScreenSendNow();
            SurfaceCopy(s, hdcWindow, RECT{rc.left, rc.top, rc.right, rc.bottom});
        }
        ReleaseDC(s.hwnd, hdcWindow);
        nPresents++;
    }
    s.pieces.n = 0;
}

// The main window's client area outside its picture, in black.
void MarginsFill(const Surface& s, HDC hdcWindow) {
    RECT rcClient;
    if (!GetClientRect(s.hwnd, &rcClient)) return;
    POINT pt = ZoomOriginOf(s.hwnd);
    RECT rcPic = {pt.x, pt.y, pt.x + s.w * nZoom, pt.y + s.h * nZoom};
    HBRUSH hbr = (HBRUSH)GetStockObject(BLACK_BRUSH);
    RECT aBand[4] = {
        {rcClient.left, rcClient.top, rcClient.right, rcPic.top},
        {rcClient.left, rcPic.bottom, rcClient.right, rcClient.bottom},
        {rcClient.left, rcPic.top, rcPic.left, rcPic.bottom},
        {rcPic.right, rcPic.top, rcClient.right, rcPic.bottom},
    };
    for (const RECT& rc : aBand)
        if (rc.right > rc.left && rc.bottom > rc.top) FillRect(hdcWindow, &rc, hbr);
}

} // namespace

int ZoomSurfaceCreate(HWND hwnd, int w, int h) {
    if (!hwnd || w <= 0 || h <= 0) return 0;
    Surface* pSlot = SurfaceOf(hwnd);
    if (pSlot) SurfaceFree(*pSlot);
    for (Surface& s : aSurface)
        if (!s.hdc && !pSlot) pSlot = &s;
    if (!pSlot) return 0;
    HDC hdcWindow = GetDC(hwnd);
    if (!hdcWindow) return 0;
    Surface s = {};
    s.hwnd = hwnd;
    s.w = w;
    s.h = h;
    void* pBits = NULL;
    s.hdc = CreateCompatibleDC(hdcWindow);
    s.hbm = DibCreate(hdcWindow, w, h, &pBits);
    s.pBits = (const uint32_t*)pBits;
    ReleaseDC(hwnd, hdcWindow);
    if (!s.hdc || !s.hbm || !s.pBits) {
        SurfaceFree(s);
        return 0;
    }
    s.hbmOld = SelectObject(s.hdc, s.hbm);
    PatBlt(s.hdc, 0, 0, w, h, WHITENESS);
    // Does this platform keep count of what is drawn? One pixel tells.
    SetBoundsRect(s.hdc, NULL, DCB_RESET | DCB_ENABLE);
    SetPixel(s.hdc, 0, 0, RGB(255, 255, 255));
    RECT rc;
    s.bBoundsWork = (GetBoundsRect(s.hdc, &rc, DCB_RESET) & DCB_SET) != 0;
    SetBoundsRect(s.hdc, NULL, DCB_ENABLE);
    *pSlot = s;
    return 1;
}

void ZoomSurfacesFree() {
    for (Surface& s : aSurface) SurfaceFree(s);
    ScratchFree();
}

HDC ZoomSurfaceAcquire(HWND hwnd) {
    Surface* s = SurfaceOf(hwnd);
    if (!s) return NULL;
    s->nUsers++;
    return s->hdc;
}

int ZoomSurfaceRelease(HWND hwnd, HDC hdc) {
    Surface* s = SurfaceOf(hwnd);
    if (!s || s->hdc != hdc) return 0;
    if (s->nUsers > 0) s->nUsers--;
    SurfaceCollect(*s);
    // Within a held message the copy waits for its end, with the others.
    if (s->nUsers == 0 && nPresentHolds == 0) SurfacePresent(*s);
    return 1;
}

void ZoomPresentHold() {
    nPresentHolds++;
}

void ZoomPresentEnd() {
    if (nPresentHolds > 0) nPresentHolds--;
    // Every held message's end, nested ones too: a modal loop inside the
    // outermost one shows what was drawn before it at its first message.
    for (Surface& s : aSurface)
        if (s.hdc && s.nUsers == 0) SurfacePresent(s);
}

int ZoomPresentCount() {
    return nPresents;
}

int ZoomSurfacePaint(HWND hwnd, HDC hdcPaint, void (*pfnPaint)(HWND hwnd, HDC hdc)) {
    Surface* s = SurfaceOf(hwnd);
    if (!s) return 0;
    s->nUsers++;
    pfnPaint(hwnd, s->hdc);
    s->nUsers--;
    RECT rc;
    SurfaceTakeChanges(*s, &rc); // all of it goes now
    s->pieces.n = 0;
    if (hwnd == RenderMainWindow()) MarginsFill(*s, hdcPaint);
    SurfaceCopy(*s, hdcPaint, RECT{0, 0, s->w, s->h});
    return 1;
}

int ZoomMarkDC(HDC hdc) {
    if (!hdc) return 0;
    for (Surface& s : aSurface)
        if (s.hdc == hdc) {
            SurfaceCollect(s);
            return 1;
        }
    return 0;
}

POINT ZoomOriginOf(HWND hwnd) {
    if (hwnd && hwnd == RenderMainWindow()) return ptZoomOrigin;
    return POINT{0, 0};
}

int ZoomToClient(int v, int nZoomBy) {
    return v * nZoomBy;
}

POINT ZoomToClient(POINT pt, int nZoomBy) {
    return POINT{pt.x * nZoomBy, pt.y * nZoomBy};
}

RECT ZoomToClient(const RECT& rc, int nZoomBy) {
    ZoomRect r = ZoomRectToWindow(nZoomBy, ZoomRect{rc.left, rc.top, rc.right, rc.bottom});
    return RECT{r.left, r.top, r.right, r.bottom};
}

int ZoomToDesign(int v, int nZoomBy) {
    return ZoomUnscale(nZoomBy, v);
}

POINT ZoomToDesign(POINT pt, int nZoomBy) {
    return POINT{ZoomUnscale(nZoomBy, pt.x), ZoomUnscale(nZoomBy, pt.y)};
}

RECT ZoomToDesign(const RECT& rc, int nZoomBy) {
    ZoomRect r = ZoomRectToDesign(nZoomBy, ZoomRect{rc.left, rc.top, rc.right, rc.bottom});
    return RECT{r.left, r.top, r.right, r.bottom};
}

POINT ZoomClientToDesign(HWND hwnd, POINT pt) {
    POINT ptOrigin = ZoomOriginOf(hwnd);
    return ZoomToDesign(POINT{pt.x - ptOrigin.x, pt.y - ptOrigin.y});
}

POINT ZoomDesignToClient(HWND hwnd, POINT pt) {
    POINT ptOrigin = ZoomOriginOf(hwnd);
    POINT ptAt = ZoomToClient(pt);
    return POINT{ptOrigin.x + ptAt.x, ptOrigin.y + ptAt.y};
}

BOOL ZoomBlt(HDC hdcDst, int xDst, int yDst, int w, int h, HDC hdcSrc, int xSrc, int ySrc,
             int nZoomBy) {
    if (nZoomBy <= 1) return BitBlt(hdcDst, xDst, yDst, w, h, hdcSrc, xSrc, ySrc, SRCCOPY);
    int nOldMode = SetStretchBltMode(hdcDst, COLORONCOLOR);
    BOOL bDone =
        StretchBlt(hdcDst, xDst, yDst, w * nZoomBy, h * nZoomBy, hdcSrc, xSrc, ySrc, w, h, SRCCOPY);
    SetStretchBltMode(hdcDst, nOldMode);
    return bDone;
}

BOOL DrawBitmapZoomed(HDC hdc, HBITMAP hbm, int x, int y, int nZoomBy) {
    if (nZoomBy <= 1) return DrawBitmap(hdc, hbm, (short)x, (short)y);
    BITMAP bm;
    if (!hbm || !GetObjectA(hbm, sizeof bm, &bm)) return FALSE;
    HDC hdcMem = CreateCompatibleDC(hdc);
    HGDIOBJ hbmOld = SelectObject(hdcMem, hbm);
    BOOL bDone = ZoomBlt(hdc, x, y, bm.bmWidth, bm.bmHeight, hdcMem, 0, 0, nZoomBy);
    SelectObject(hdcMem, hbmOld);
    DeleteDC(hdcMem);
    return bDone;
}
