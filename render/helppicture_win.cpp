// The help's pictures on a device context: their shapes drawn by the
// portable routine at design size, made larger, then their words in the
// page's font at the zoom, so they stay sharp.
#include "render/helpdoc.h"
#include "render/render_win.h"
#include "render/zoom_win.h"

namespace {

UINT WordFormat(int nAlign) {
    UINT u = DT_SINGLELINE;
    if (nAlign & PICTURE_TEXT_CENTER) u |= DT_CENTER;
    if (nAlign & PICTURE_TEXT_RIGHT) u |= DT_RIGHT;
    if (nAlign & PICTURE_TEXT_VCENTER) u |= DT_VCENTER;
    if (nAlign & PICTURE_TEXT_BOTTOM) u |= DT_BOTTOM;
    return u;
}

// The words, nZoomBy times their design rectangles, the picture's corner at (x, y).
void WriteWords(HDC hdc, const HelpWords& words, int x, int y, HFONT hfontText, int nZoomBy) {
    HGDIOBJ hfontOld = SelectObject(hdc, hfontText);
    COLORREF crOld = GetTextColor(hdc);
    int nBkOld = SetBkMode(hdc, TRANSPARENT);
    for (int i = 0; i < words.n; i++) {
        const HelpWord& word = words.a[i];
        RECT rc =
            ZoomToClient(RECT{word.rc.left, word.rc.top, word.rc.right, word.rc.bottom}, nZoomBy);
        OffsetRect(&rc, x, y);
        SetTextColor(hdc, RGB(word.cr >> 16 & 0xFF, word.cr >> 8 & 0xFF, word.cr & 0xFF));
        DrawTextA(hdc, word.sz, -1, &rc, WordFormat(word.nAlign));
    }
    SetBkMode(hdc, nBkOld);
    SetTextColor(hdc, crOld);
    SelectObject(hdc, hfontOld);
}

} // namespace

int DrawHelpPicture(HDC hdc, int nPicture, int x, int y, HFONT hfontText, int nZoomBy) {
    if (nZoomBy < 1) nZoomBy = 1;
    int w = 0, h = 0;
    HelpPictureSize(nPicture, &w, &h);
    // The shapes at design size on the page's white, nZoomBy times larger.
    DesignCanvas canvas;
    if (!DesignCanvasMake(&canvas, hdc, RECT{0, 0, w, h}, NULL)) return 0;
    HelpWords words;
    const int bDrawn = OnPicture(
        canvas.hdc, [&](Picture* pPic) { return DrawHelpPictureOn(*pPic, nPicture, &words); });
    if (bDrawn) DesignCanvasCopy(canvas, canvas.rc, hdc, POINT{x, y}, nZoomBy);
    DesignCanvasFree(&canvas);
    if (!bDrawn) return 0;
    // Without a font, as in the tests of the shapes, there are no words.
    if (hfontText) WriteWords(hdc, words, x, y, hfontText, nZoomBy);
    return 1;
}
