#include "render/zoom_win.h"

#include <cstring>

#include "render/render_win.h"

int nZoom = 1;
POINT ptZoomOrigin = {0, 0};

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

namespace {

struct Surface {
    HWND hwnd;
    DesignCanvas canvas; // the picture, from the design's (0, 0)
    Picture pic;         // the same pixels, as the game's routines draw on them
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

// The scaled rows of a canvas's copy at a zoom: a band of the target's
// pixels that goes to it 1:1, so nothing on the way has to stretch.
enum { SCRATCH_DESIGN_ROWS = 64 }; // a tile or the credits band in one copy
HDC hdcScratch;
HBITMAP hbmScratch;
HGDIOBJ hbmScratchOld;
uint32_t* pScratch;
int nScratchW, nScratchH;

void ScratchFree() {
    if (hdcScratch) {
        SelectObject(hdcScratch, hbmScratchOld);
        DeleteDC(hdcScratch);
    }
    if (hbmScratch) DeleteObject(hbmScratch);
    hdcScratch = NULL;
    hbmScratch = NULL;
    pScratch = NULL;
    nScratchW = nScratchH = 0;
}

// A band of at least w x h pixels (and as wide as the picture and as deep as
// its band at the zoom, so it is made once), compatible with hdc; 0 without
// one.
int ScratchEnsure(HDC hdc, int w, int h) {
    if (hdcScratch && nScratchW >= w && nScratchH >= h) return 1;
    ScratchFree();
    if (w < ZOOM_DESIGN_W * nZoom) w = ZOOM_DESIGN_W * nZoom;
    if (h < SCRATCH_DESIGN_ROWS * nZoom) h = SCRATCH_DESIGN_ROWS * nZoom;
    void* pBits = NULL;
    hdcScratch = CreateCompatibleDC(hdc);
    hbmScratch = DibCreate(hdc, w, h, &pBits);
    if (!hdcScratch || !hbmScratch || !pBits) {
        ScratchFree();
        return 0;
    }
    hbmScratchOld = SelectObject(hdcScratch, hbmScratch);
    pScratch = (uint32_t*)pBits;
    nScratchW = w;
    nScratchH = h;
    return 1;
}

Surface* SurfaceOf(HWND hwnd) {
    if (!hwnd) return NULL;
    for (Surface& s : aSurface)
        if (s.hwnd == hwnd && s.canvas.hdc) return &s;
    return NULL;
}

void SurfaceFree(Surface& s) {
    DesignCanvasFree(&s.canvas);
    s = Surface{};
}

// Copies the design rectangle rc of the surface to hdcWindow.
void SurfaceCopy(const Surface& s, HDC hdcWindow, RECT rc) {
    DesignCanvasCopy(s.canvas, rc, hdcWindow, ZoomOriginOf(s.hwnd), nZoom);
}

// What changed since the last look: what the routines drew on the picture
// and what the system drew on its context (the whole picture where the
// platform does not keep count of that).
int SurfaceTakeChanges(Surface& s, RECT* prc) {
    PictureRect rcPic;
    const int bPic = PictureTakeChanged(&s.pic, &rcPic);
    if (!s.bBoundsWork) {
        *prc = s.canvas.rc;
        return 1;
    }
    RECT rcGdi;
    UINT uFlags = GetBoundsRect(s.canvas.hdc, &rcGdi, DCB_RESET);
    SetBoundsRect(s.canvas.hdc, NULL, DCB_ENABLE);
    const int bGdi = (uFlags & DCB_SET) && !IsRectEmpty(&rcGdi);
    const RECT rcOfPic = {rcPic.left, rcPic.top, rcPic.right, rcPic.bottom};
    if (bPic && bGdi)
        UnionRect(prc, &rcGdi, &rcOfPic);
    else
        *prc = bPic ? rcOfPic : rcGdi;
    return bPic || bGdi;
}

// Adds what was drawn since the last look to the surface's pieces.
void SurfaceCollect(Surface& s) {
    RECT rc;
    if (SurfaceTakeChanges(s, &rc))
        ZoomPiecesAdd(&s.pieces, ZoomRect{rc.left, rc.top, rc.right, rc.bottom});
}

// A sprite drawn on a surface's picture: one piece of its next copy.
void SurfaceMark(Picture* pPic) {
    for (Surface& s : aSurface)
        if (s.canvas.hdc && &s.pic == pPic) SurfaceCollect(s);
}

// Sends what was copied to the windows so far to the screen before more is
// copied. Wine keeps a window's pixels and sends the box around all that
// changed since it last sent, which it does when the thread waits for
// messages or looks at the keyboard with no input waiting (its GdiFlush does
// nothing): the title's band and its tiles on two sides of the screen would
// otherwise go as the box around them, most of the window, every tick. The
// cheapest such look is at the state of a key nobody presses, which Wine
// answers from what it already knows; Windows shows what is copied at once
// and answers the look for next to nothing.
void ScreenFlushCopies() {
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
            if (ZoomGroupAdd(&group, rc, nZoom) && i > 0) ScreenFlushCopies();
            SurfaceCopy(s, hdcWindow, RECT{rc.left, rc.top, rc.right, rc.bottom});
        }
        ReleaseDC(s.hwnd, hdcWindow);
        nPresents++;
        s.pieces.n = 0; // without a context they wait for the next copy
    }
}

// Drops the pieces that a paint through hdcPaint has copied: those wholly
// inside its clip box (what lies under a child window is never seen). The
// rest wait for the next copy.
void PiecesDropPainted(Surface& s, HDC hdcPaint) {
    RECT rcClip;
    const int nRegion = GetClipBox(hdcPaint, &rcClip);
    if (nRegion != SIMPLEREGION && nRegion != COMPLEXREGION) return;
    const POINT pt = ZoomOriginOf(s.hwnd);
    OffsetRect(&rcClip, -pt.x, -pt.y);
    // The design pixels whose every window pixel lies inside.
    const RECT rcIn = {-ZoomToDesign(-rcClip.left), -ZoomToDesign(-rcClip.top),
                       ZoomToDesign(rcClip.right), ZoomToDesign(rcClip.bottom)};
    int nKept = 0;
    for (int i = 0; i < s.pieces.n; i++) {
        const ZoomRect& rc = s.pieces.a[i];
        if (rc.left >= rcIn.left && rc.top >= rcIn.top && rc.right <= rcIn.right &&
            rc.bottom <= rcIn.bottom)
            continue;
        s.pieces.a[nKept++] = rc;
    }
    s.pieces.n = nKept;
}

// The main window's client area outside its picture, in black.
void MarginsFill(const Surface& s, HDC hdcWindow) {
    RECT rcClient;
    if (!GetClientRect(s.hwnd, &rcClient)) return;
    POINT pt = ZoomOriginOf(s.hwnd);
    RECT rcPic = ZoomToClient(s.canvas.rc);
    OffsetRect(&rcPic, pt.x, pt.y);
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
        if (!s.canvas.hdc && !pSlot) pSlot = &s;
    if (!pSlot) return 0;
    HDC hdcWindow = GetDC(hwnd);
    if (!hdcWindow) return 0;
    Surface s = {};
    s.hwnd = hwnd;
    const int bMade = DesignCanvasMake(&s.canvas, hdcWindow, RECT{0, 0, w, h}, NULL);
    ReleaseDC(hwnd, hdcWindow);
    if (!bMade) return 0;
    s.pic = PictureOver(s.canvas.pBits, PictureRect{0, 0, w, h});
    s.pic.pfnMark = SurfaceMark;
    HDC hdc = s.canvas.hdc;
    // Does this platform keep count of what is drawn? One pixel tells.
    SetBoundsRect(hdc, NULL, DCB_RESET | DCB_ENABLE);
    SetPixel(hdc, 0, 0, RGB(255, 255, 255));
    RECT rc;
    s.bBoundsWork = (GetBoundsRect(hdc, &rc, DCB_RESET) & DCB_SET) != 0;
    SetBoundsRect(hdc, NULL, DCB_ENABLE);
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
    return s->canvas.hdc;
}

int ZoomSurfaceRelease(HWND hwnd, HDC hdc) {
    Surface* s = SurfaceOf(hwnd);
    if (!s || s->canvas.hdc != hdc) return 0;
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
        if (s.canvas.hdc && s.nUsers == 0) SurfacePresent(s);
}

int ZoomPresentCount() {
    return nPresents;
}

int ZoomSurfacePaint(HWND hwnd, HDC hdcPaint, void (*pfnPaint)(HWND hwnd, HDC hdc)) {
    Surface* s = SurfaceOf(hwnd);
    if (!s) return 0;
    SurfaceCollect(*s); // what was drawn before, as pieces of their own
    s->nUsers++;
    pfnPaint(hwnd, s->canvas.hdc);
    s->nUsers--;
    RECT rc;
    SurfaceTakeChanges(*s, &rc); // the paint's own drawing goes now
    if (hwnd == RenderMainWindow()) MarginsFill(*s, hdcPaint);
    SurfaceCopy(*s, hdcPaint, s->canvas.rc);
    // It reaches the screen only through the update region: what was drawn
    // before it outside that goes with the next copy.
    PiecesDropPainted(*s, hdcPaint);
    return 1;
}

Picture* ZoomSurfacePictureOf(HDC hdc) {
    if (!hdc) return NULL;
    for (Surface& s : aSurface)
        if (s.canvas.hdc == hdc) return &s.pic;
    return NULL;
}

int ZoomMarkDC(HDC hdc) {
    if (!hdc) return 0;
    for (Surface& s : aSurface)
        if (s.canvas.hdc == hdc) {
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
    return ZoomScale(nZoomBy, v);
}

POINT ZoomToClient(POINT pt, int nZoomBy) {
    return POINT{ZoomScale(nZoomBy, pt.x), ZoomScale(nZoomBy, pt.y)};
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

int DesignCanvasMake(DesignCanvas* pCanvas, HDC hdcLike, RECT rc, HBRUSH hbrFill) {
    *pCanvas = DesignCanvas{};
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0) return 0;
    DesignCanvas c = {};
    void* pBits = NULL;
    c.hdc = CreateCompatibleDC(hdcLike);
    c.hbm = DibCreate(hdcLike, w, h, &pBits);
    if (!c.hdc || !c.hbm || !pBits) {
        if (c.hdc) DeleteDC(c.hdc);
        if (c.hbm) DeleteObject(c.hbm);
        return 0;
    }
    c.pBits = (uint32_t*)pBits;
    c.rc = rc;
    c.hbmOld = SelectObject(c.hdc, c.hbm);
    if (hbrFill) {
        RECT rcAll = {0, 0, w, h};
        FillRect(c.hdc, &rcAll, hbrFill);
    } else {
        PatBlt(c.hdc, 0, 0, w, h, WHITENESS);
    }
    SetViewportOrgEx(c.hdc, -rc.left, -rc.top, NULL);
    *pCanvas = c;
    return 1;
}

int DesignCanvasCopy(const DesignCanvas& c, RECT rc, HDC hdcDst, POINT ptAt, int nZoomBy) {
    if (!c.hdc || !hdcDst || nZoomBy < 1 || nZoomBy > ZOOM_MAX) return 0;
    if (!IntersectRect(&rc, &rc, &c.rc)) return 0;
    const int w = rc.right - rc.left;
    if (nZoomBy == 1)
        return BitBlt(hdcDst, ptAt.x + rc.left, ptAt.y + rc.top, w, rc.bottom - rc.top, c.hdc,
                      rc.left, rc.top, SRCCOPY) != 0;
    // Short of memory for the band, the system stretches instead.
    if (!ScratchEnsure(hdcDst, w * nZoomBy, SCRATCH_DESIGN_ROWS * nZoomBy))
        return ZoomBlt(hdcDst, ptAt.x + ZoomToClient(rc.left, nZoomBy),
                       ptAt.y + ZoomToClient(rc.top, nZoomBy), w, rc.bottom - rc.top, c.hdc,
                       rc.left, rc.top, nZoomBy) != 0;
    const int nStride = c.rc.right - c.rc.left;
    const int nBand = SCRATCH_DESIGN_ROWS;
    for (int y = rc.top; y < rc.bottom; y += nBand) {
        const int y1 = y + nBand < rc.bottom ? y + nBand : rc.bottom;
        GdiFlush(); // the drawing and the last band's copy done before the pixels are touched
        ZoomScalePixels(c.pBits + (size_t)(y - c.rc.top) * nStride + (rc.left - c.rc.left), nStride,
                        w, y1 - y, nZoomBy, pScratch, nScratchW);
        BitBlt(hdcDst, ptAt.x + ZoomToClient(rc.left, nZoomBy), ptAt.y + ZoomToClient(y, nZoomBy),
               ZoomToClient(w, nZoomBy), ZoomToClient(y1 - y, nZoomBy), hdcScratch, 0, 0, SRCCOPY);
    }
    return 1;
}

void DesignCanvasFree(DesignCanvas* pCanvas) {
    if (pCanvas->hdc) {
        SelectObject(pCanvas->hdc, pCanvas->hbmOld);
        DeleteDC(pCanvas->hdc);
    }
    if (pCanvas->hbm) DeleteObject(pCanvas->hbm);
    *pCanvas = DesignCanvas{};
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
    SpriteSource src;
    if (!SpriteSourceOf(hbm, &src)) return FALSE;
    BOOL bDone = ZoomBlt(hdc, x, y, src.w, src.h, src.hdc, src.x, src.y, nZoomBy);
    SpriteSourceDone(&src);
    return bDone;
}
