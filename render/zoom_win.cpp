#include "render/zoom_win.h"

#include "render/render_win.h"

int nZoom = 1;
POINT ptZoomOrigin = {0, 0};

namespace {

enum { MAX_DIRTY = 24 };

struct Surface {
    HWND hwnd;
    HDC hdc;
    HBITMAP hbm;
    HGDIOBJ hbmOld;
    int w, h;
    int nUsers;
    int bBoundsWork; // this platform accumulates bounds on memory contexts
    // What changed since the last copy, a few rectangles rather than one
    // that spans the lanes from a tile in the first to one in the last.
    RECT aDirty[MAX_DIRTY];
    int nDirty;
};

enum { MAX_SURFACES = 4 };
Surface aSurface[MAX_SURFACES];

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

// Copies the design rectangle rc of the surface to hdcWindow.
void SurfaceCopy(const Surface& s, HDC hdcWindow, RECT rc) {
    if (rc.left < 0) rc.left = 0;
    if (rc.top < 0) rc.top = 0;
    if (rc.right > s.w) rc.right = s.w;
    if (rc.bottom > s.h) rc.bottom = s.h;
    if (rc.right <= rc.left || rc.bottom <= rc.top) return;
    POINT ptOrigin = ZoomOriginOf(s.hwnd);
    ZoomBlt(hdcWindow, ptOrigin.x + rc.left * nZoom, ptOrigin.y + rc.top * nZoom,
            rc.right - rc.left, rc.bottom - rc.top, s.hdc, rc.left, rc.top, nZoom);
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

int Area(const RECT& rc) {
    return (rc.right - rc.left) * (rc.bottom - rc.top);
}

// Adds what was drawn since the last look to the surface's rectangles: into
// one it overlaps or lies close to (when their union is hardly larger than
// the two), else as one more; a full list becomes its union.
void SurfaceCollect(Surface& s) {
    RECT rc;
    if (!SurfaceTakeChanges(s, &rc)) return;
    for (int i = 0; i < s.nDirty; i++) {
        RECT rcUnion;
        UnionRect(&rcUnion, &s.aDirty[i], &rc);
        if (Area(rcUnion) <= (Area(s.aDirty[i]) + Area(rc)) * 5 / 4) {
            s.aDirty[i] = rcUnion;
            return;
        }
    }
    if (s.nDirty < MAX_DIRTY) {
        s.aDirty[s.nDirty++] = rc;
        return;
    }
    for (int i = 1; i < s.nDirty; i++) UnionRect(&s.aDirty[0], &s.aDirty[0], &s.aDirty[i]);
    UnionRect(&s.aDirty[0], &s.aDirty[0], &rc);
    s.nDirty = 1;
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
    s.hdc = CreateCompatibleDC(hdcWindow);
    s.hbm = CreateCompatibleBitmap(hdcWindow, w, h);
    ReleaseDC(hwnd, hdcWindow);
    if (!s.hdc || !s.hbm) {
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
    if (s->nUsers > 0 || s->nDirty == 0) return 1;
    // The main window's copies leave its children alone (it clips them, and
    // so does this context); the panel's own controls are frames and lines
    // the copy must show through, as its drawing always did.
    HDC hdcWindow =
        GetDCEx(hwnd, NULL,
                DCX_CACHE | DCX_CLIPSIBLINGS | (hwnd == RenderMainWindow() ? DCX_CLIPCHILDREN : 0));
    if (hdcWindow) {
        for (int i = 0; i < s->nDirty; i++) SurfaceCopy(*s, hdcWindow, s->aDirty[i]);
        ReleaseDC(hwnd, hdcWindow);
    }
    s->nDirty = 0;
    return 1;
}

int ZoomSurfacePaint(HWND hwnd, HDC hdcPaint, void (*pfnPaint)(HWND hwnd, HDC hdc)) {
    Surface* s = SurfaceOf(hwnd);
    if (!s) return 0;
    s->nUsers++;
    pfnPaint(hwnd, s->hdc);
    s->nUsers--;
    RECT rc;
    SurfaceTakeChanges(*s, &rc); // all of it goes now
    s->nDirty = 0;
    if (hwnd == RenderMainWindow()) MarginsFill(*s, hdcPaint);
    SurfaceCopy(*s, hdcPaint, RECT{0, 0, s->w, s->h});
    return 1;
}

int ZoomSurfaceMark(HWND hwnd) {
    Surface* s = SurfaceOf(hwnd);
    if (!s) return 0;
    SurfaceCollect(*s);
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

POINT ZoomClientToDesign(HWND hwnd, POINT pt) {
    POINT ptOrigin = ZoomOriginOf(hwnd);
    return POINT{ZoomUnscale(nZoom, pt.x - ptOrigin.x), ZoomUnscale(nZoom, pt.y - ptOrigin.y)};
}

POINT ZoomDesignToClient(HWND hwnd, POINT pt) {
    POINT ptOrigin = ZoomOriginOf(hwnd);
    return POINT{ptOrigin.x + pt.x * nZoom, ptOrigin.y + pt.y * nZoom};
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
