// The picture on Windows (render/picture_win.h).
#include "render/picture_win.h"

#include <cstring>

#include "render/render_win.h"
#include "render/zoom_win.h"

namespace {

// The contexts whose pixels are being drawn on, by the pixels' address, so
// the text host writes through the context that owns them.
enum { MAX_OPEN = 8 };
struct Open {
    const uint32_t* pPixels;
    HDC hdc;
};
Open aOpen[MAX_OPEN];

void OpenNote(const uint32_t* pPixels, HDC hdc) {
    for (Open& o : aOpen)
        if (!o.pPixels) {
            o = Open{pPixels, hdc};
            return;
        }
}
void OpenDrop(const uint32_t* pPixels) {
    for (Open& o : aOpen)
        if (o.pPixels == pPixels) {
            o = Open{};
            return;
        }
}
HDC OpenContextOf(const uint32_t* pPixels) {
    for (const Open& o : aOpen)
        if (o.pPixels && o.pPixels == pPixels) return o.hdc;
    return NULL;
}

// Where the context's pixel (0, 0) lies in its logical coordinates.
POINT LogicalOrigin(HDC hdc) {
    POINT ptWindow = {0, 0}, ptViewport = {0, 0};
    GetWindowOrgEx(hdc, &ptWindow);
    GetViewportOrgEx(hdc, &ptViewport);
    return POINT{ptWindow.x - ptViewport.x, ptWindow.y - ptViewport.y};
}

// The picture of a memory context holding a 32-bit top-down DIB section,
// drawn on in place; 0 when hdc is no such context.
int InPlace(HDC hdc, Picture* pPic) {
    if (GetMapMode(hdc) != MM_TEXT) return 0;
    HGDIOBJ hbm = GetCurrentObject(hdc, OBJ_BITMAP);
    DIBSECTION ds;
    if (!hbm || GetObjectA(hbm, sizeof ds, &ds) != sizeof ds) return 0;
    if (ds.dsBm.bmBitsPixel != 32 || !ds.dsBm.bmBits || ds.dsBmih.biHeight >= 0 ||
        ds.dsBmih.biCompression != BI_RGB)
        return 0;
    RECT rcClip;
    const int nRegion = GetClipBox(hdc, &rcClip);
    if (nRegion != SIMPLEREGION && nRegion != NULLREGION) return 0;
    const POINT pt = LogicalOrigin(hdc);
    *pPic = PictureOver((uint32_t*)ds.dsBm.bmBits,
                        PictureRect{pt.x, pt.y, pt.x + ds.dsBm.bmWidth, pt.y + ds.dsBm.bmHeight},
                        ds.dsBm.bmWidthBytes / 4);
    PictureClipTo(pPic, nRegion == NULLREGION
                            ? PictureRect{0, 0, 0, 0}
                            : PictureRect{rcClip.left, rcClip.top, rcClip.right, rcClip.bottom});
    GdiFlush(); // what the system drew there is in the pixels before they are touched
    return 1;
}

} // namespace

Picture* PictureDCBegin(HDC hdc, PictureDC* pScope) {
    return PictureDCBeginAs(hdc, pScope, 1);
}

Picture* PictureDCBeginAs(HDC hdc, PictureDC* pScope, int bCopy) {
    *pScope = PictureDC{};
    if (!hdc) return NULL;
    pScope->hdc = hdc;
    // A back buffer: its own picture, which keeps count of what changed.
    pScope->pTarget = ZoomSurfacePictureOf(hdc);
    if (pScope->pTarget) {
        GdiFlush();
        return pScope->pTarget;
    }
    if (InPlace(hdc, &pScope->pic)) {
        pScope->pTarget = &pScope->pic;
        OpenNote(pScope->pic.pPixels, hdc);
        return pScope->pTarget;
    }
    // Anything else: a copy of its clip box.
    if (!bCopy) return NULL;
    RECT rc;
    if (GetClipBox(hdc, &rc) == ERROR || rc.right <= rc.left || rc.bottom <= rc.top) return NULL;
    void* pBits = NULL;
    pScope->hdcCopy = CreateCompatibleDC(hdc);
    pScope->hbmCopy = DibCreate(hdc, rc.right - rc.left, rc.bottom - rc.top, &pBits);
    if (!pScope->hdcCopy || !pScope->hbmCopy || !pBits) {
        PictureDCEnd(pScope);
        return NULL;
    }
    pScope->hbmCopyOld = SelectObject(pScope->hdcCopy, pScope->hbmCopy);
    SetViewportOrgEx(pScope->hdcCopy, -rc.left, -rc.top, NULL);
    BitBlt(pScope->hdcCopy, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, hdc, rc.left,
           rc.top, SRCCOPY);
    GdiFlush();
    pScope->pic = PictureOver((uint32_t*)pBits, PictureRect{rc.left, rc.top, rc.right, rc.bottom});
    pScope->pTarget = &pScope->pic;
    OpenNote(pScope->pic.pPixels, pScope->hdcCopy);
    return pScope->pTarget;
}

void PictureDCEnd(PictureDC* pScope) {
    if (pScope->pTarget == &pScope->pic) OpenDrop(pScope->pic.pPixels);
    if (pScope->hdcCopy) {
        PictureRect rc;
        if (pScope->hbmCopy && PictureTakeChanged(&pScope->pic, &rc))
            BitBlt(pScope->hdc, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                   pScope->hdcCopy, rc.left, rc.top, SRCCOPY);
        if (pScope->hbmCopyOld) SelectObject(pScope->hdcCopy, pScope->hbmCopyOld);
        DeleteDC(pScope->hdcCopy);
    }
    if (pScope->hbmCopy) DeleteObject(pScope->hbmCopy);
    *pScope = PictureDC{};
}

int PictureBitmapOfHandle(HBITMAP hbm, uint32_t* pStore, size_t nStore, PictureBitmap* pBmp) {
    *pBmp = PictureBitmap{};
    BITMAP bm;
    if (!hbm || !GetObjectA(hbm, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return 0;
    if ((size_t)bm.bmWidth * bm.bmHeight > nStore) return 0;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    HDC hdc = SpriteContext();
    if (!hdc || GetDIBits(hdc, hbm, 0, bm.bmHeight, pStore, &bmi, DIB_RGB_COLORS) != bm.bmHeight)
        return 0;
    for (size_t i = 0; i < (size_t)bm.bmWidth * bm.bmHeight; i++) pStore[i] &= 0xFFFFFF;
    *pBmp = PictureBitmap{pStore, bm.bmWidth, bm.bmHeight, bm.bmWidth};
    return 1;
}

// --- Text through GDI ------------------------------------------------------------------------

namespace {

UINT DrawTextFormat(int nAlign) {
    UINT u = DT_NOPREFIX;
    if (nAlign & PICTURE_TEXT_CENTER) u |= DT_CENTER;
    if (nAlign & PICTURE_TEXT_RIGHT) u |= DT_RIGHT;
    if (nAlign & PICTURE_TEXT_WRAP)
        u |= DT_WORDBREAK;
    else
        u |= DT_SINGLELINE;
    if (nAlign & PICTURE_TEXT_VCENTER) u |= DT_VCENTER;
    if (nAlign & PICTURE_TEXT_BOTTOM) u |= DT_BOTTOM;
    return u;
}

HFONT FontMake(const PictureFont& font) {
    return CreateFontA(-font.nHeight, 0, 0, 0, font.nWeight, 0, 0, 0, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, font.szFace);
}

int TextMeasure(const PictureFont& font, const char* szText, int nAlign, int* pW, int* pH) {
    HDC hdc = SpriteContext();
    HFONT hfont = FontMake(font);
    if (!hdc || !hfont) return 0;
    HGDIOBJ hfontOld = SelectObject(hdc, hfont);
    RECT rc = {0, 0, *pW > 0 ? *pW : 0, 0};
    DrawTextA(hdc, szText, -1, &rc, DrawTextFormat(nAlign) | DT_CALCRECT);
    SelectObject(hdc, hfontOld);
    DeleteObject(hfont);
    *pW = rc.right - rc.left;
    *pH = rc.bottom - rc.top;
    return 1;
}

int TextDraw(Picture* pPic, const PictureFont& font, const char* szText, PictureColor cr,
             PictureRect rcText, int nAlign) {
    HDC hdc = OpenContextOf(pPic->pPixels);
    if (!hdc) return 0;
    HFONT hfont = FontMake(font);
    if (!hfont) return 0;
    HGDIOBJ hfontOld = SelectObject(hdc, hfont);
    const int nModeOld = SetBkMode(hdc, TRANSPARENT);
    const COLORREF crOld = SetTextColor(hdc, RGB((cr >> 16) & 0xFF, (cr >> 8) & 0xFF, cr & 0xFF));
    RECT rc = {rcText.left, rcText.top, rcText.right, rcText.bottom};
    DrawTextA(hdc, szText, -1, &rc, DrawTextFormat(nAlign));
    SetTextColor(hdc, crOld);
    SetBkMode(hdc, nModeOld);
    SelectObject(hdc, hfontOld);
    DeleteObject(hfont);
    GdiFlush();
    // What the text covered lies within its rectangle.
    PictureNoteChanged(pPic, rcText);
    return 1;
}

} // namespace

const PictureTextHost kPictureTextWin32 = {TextMeasure, TextDraw};
