// The game's picture and its drawing operations (render/picture.h).
#include "render/picture.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace {

int Min(int a, int b) {
    return a < b ? a : b;
}
int Max(int a, int b) {
    return a > b ? a : b;
}
int Abs(int a) {
    return a < 0 ? -a : a;
}

bool RectEmpty(const PictureRect& rc) {
    return rc.right <= rc.left || rc.bottom <= rc.top;
}

PictureRect Intersect(const PictureRect& a, const PictureRect& b) {
    return PictureRect{Max(a.left, b.left), Max(a.top, b.top), Min(a.right, b.right),
                       Min(a.bottom, b.bottom)};
}

// The design rectangle the picture holds.
PictureRect Extent(const Picture& pic) {
    return PictureRect{pic.xOrigin, pic.yOrigin, pic.xOrigin + pic.w, pic.yOrigin + pic.h};
}

// rc within what may be drawn; empty when none of it may.
PictureRect Drawable(const Picture& pic, PictureRect rc) {
    return Intersect(Intersect(rc, Extent(pic)), pic.rcClip);
}

void NoteChanged(Picture* pPic, const PictureRect& rc) {
    if (RectEmpty(rc)) return;
    PictureRect& c = pPic->rcChanged;
    if (RectEmpty(c)) {
        c = rc;
        return;
    }
    c = PictureRect{Min(c.left, rc.left), Min(c.top, rc.top), Max(c.right, rc.right),
                    Max(c.bottom, rc.bottom)};
}

// The box around the pixels a copy really changed. A sprite drawn again
// over itself, or a tile's next turn that differs from the last only in
// part, then sends only what a viewer could see change: at a large zoom the
// pixels sent are what the platform's copies cost.
struct Differ {
    PictureRect rc = {0, 0, 0, 0};
    void Pixel(int x, int y) { Span(x, x + 1, y); }
    void Span(int x0, int x1, int y) {
        if (RectEmpty(rc)) {
            rc = PictureRect{x0, y, x1, y + 1};
            return;
        }
        rc =
            PictureRect{Min(rc.left, x0), Min(rc.top, y), Max(rc.right, x1), Max(rc.bottom, y + 1)};
    }
    // A row about to become pNew's w pixels, its first at (x, y).
    void Row(const uint32_t* pNew, const uint32_t* pOld, int w, int x, int y) {
        int i0 = 0, i1 = w;
        while (i0 < w && pNew[i0] == pOld[i0]) i0++;
        if (i0 == w) return;
        while (pNew[i1 - 1] == pOld[i1 - 1]) i1--;
        Span(x + i0, x + i1, y);
    }
};

uint32_t* PixelAt(Picture* pPic, int x, int y) {
    return pPic->pPixels + (ptrdiff_t)(y - pPic->yOrigin) * pPic->nStride + (x - pPic->xOrigin);
}

// One pixel, if it may be drawn (the lines' and outlines' step; what it
// changed is noted by the caller).
void Plot(Picture* pPic, const PictureRect& rcOk, int x, int y, PictureColor cr) {
    if (x < rcOk.left || x >= rcOk.right || y < rcOk.top || y >= rcOk.bottom) return;
    *PixelAt(pPic, x, y) = cr;
}

PictureColor Combine(PictureRop rop, uint32_t s, uint32_t d) {
    switch (rop) {
    case PICTURE_AND: return s & d;
    case PICTURE_PAINT: return s | d;
    case PICTURE_INVERT: return (s ^ d) & 0xFFFFFF;
    default: return s;
    }
}

// --- The bitmap decoder ---------------------------------------------------------------

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

struct BmpLayout {
    const uint8_t* pPalette; // 4 bytes an entry: blue, green, red, unused
    int nColors;
    const uint8_t* pBits;
    int w, h, nBits;
    bool bTopDown;
    size_t nRowBytes;
};

// Reads the headers; false when it is no bitmap this decoder takes.
bool BmpRead(const uint8_t* pData, size_t cbData, BmpLayout* pL) {
    size_t nOffBits = 0;
    if (cbData >= 14 && pData[0] == 'B' && pData[1] == 'M') {
        nOffBits = Le32(pData + 10);
        pData += 14;
        cbData -= 14;
        if (nOffBits < 14) return false;
        nOffBits -= 14;
    }
    if (cbData < 40) return false;
    const uint32_t cbHeader = Le32(pData);
    if (cbHeader < 40 || cbHeader > cbData) return false;
    const int32_t w = (int32_t)Le32(pData + 4), hRaw = (int32_t)Le32(pData + 8);
    const int nBits = Le16(pData + 14);
    const uint32_t uCompression = Le32(pData + 16);
    uint32_t nUsed = Le32(pData + 32);
    if (w <= 0 || w > 32768 || hRaw == 0 || hRaw < -32768 || hRaw > 32768) return false;
    if (uCompression != 0 && !(uCompression == 3 && nBits == 32)) return false;
    if (nBits != 1 && nBits != 4 && nBits != 8 && nBits != 24 && nBits != 32) return false;
    const int nColors = nBits <= 8 ? (nUsed && nUsed < (1u << nBits) ? (int)nUsed : 1 << nBits) : 0;
    size_t nPaletteAt = cbHeader + (uCompression == 3 && cbHeader == 40 ? 12 : 0);
    if (nPaletteAt + (size_t)nColors * 4 > cbData) return false;
    BmpLayout l = {};
    l.pPalette = pData + nPaletteAt;
    l.nColors = nColors;
    l.w = w;
    l.h = hRaw < 0 ? -hRaw : hRaw;
    l.bTopDown = hRaw < 0;
    l.nBits = nBits;
    l.nRowBytes = ((size_t)w * nBits + 31) / 32 * 4;
    const size_t nBitsAt = nOffBits ? nOffBits : nPaletteAt + (size_t)nColors * 4;
    if (nBitsAt > cbData || l.nRowBytes * l.h > cbData - nBitsAt) return false;
    l.pBits = pData + nBitsAt;
    *pL = l;
    return true;
}

uint32_t PaletteColor(const BmpLayout& l, int i) {
    if (i >= l.nColors) return 0;
    const uint8_t* p = l.pPalette + 4 * i;
    return PictureRGB(p[2], p[1], p[0]);
}

} // namespace

// --- The picture -----------------------------------------------------------------------

Picture PictureOver(uint32_t* pPixels, PictureRect rc, int nStride) {
    Picture pic = {};
    pic.pPixels = pPixels;
    pic.w = Max(rc.right - rc.left, 0);
    pic.h = Max(rc.bottom - rc.top, 0);
    pic.nStride = nStride > pic.w ? nStride : pic.w;
    pic.xOrigin = rc.left;
    pic.yOrigin = rc.top;
    pic.rcClip = rc;
    return pic;
}

int PictureTakeChanged(Picture* pPic, PictureRect* prc) {
    *prc = pPic->rcChanged;
    pPic->rcChanged = PictureRect{0, 0, 0, 0};
    return !RectEmpty(*prc);
}

void PictureMark(Picture* pPic) {
    if (pPic->pfnMark) pPic->pfnMark(pPic);
}

void PictureNoteChanged(Picture* pPic, PictureRect rc) {
    NoteChanged(pPic, Drawable(*pPic, rc));
}

PictureRect PictureClipTo(Picture* pPic, PictureRect rc) {
    const PictureRect rcOld = pPic->rcClip;
    pPic->rcClip = Intersect(rc, Extent(*pPic));
    return rcOld;
}

PictureColor PicturePixel(const Picture& pic, int x, int y) {
    if (x < pic.xOrigin || y < pic.yOrigin || x >= pic.xOrigin + pic.w || y >= pic.yOrigin + pic.h)
        return 0;
    return pic.pPixels[(size_t)(y - pic.yOrigin) * pic.nStride + (x - pic.xOrigin)];
}

// --- Bitmaps ---------------------------------------------------------------------------

size_t PictureBitmapSize(const uint8_t* pData, size_t cbData) {
    BmpLayout l;
    if (!pData || !BmpRead(pData, cbData, &l)) return 0;
    return (size_t)l.w * l.h;
}

int PictureBitmapDecode(const uint8_t* pData, size_t cbData, uint32_t* pStore, size_t nStore,
                        PictureBitmap* pBmp) {
    *pBmp = PictureBitmap{};
    BmpLayout l;
    if (!pData || !pStore || !BmpRead(pData, cbData, &l) || nStore < (size_t)l.w * l.h) return 0;
    for (int y = 0; y < l.h; y++) {
        const uint8_t* pRow = l.pBits + l.nRowBytes * (l.bTopDown ? y : l.h - 1 - y);
        uint32_t* pOut = pStore + (size_t)y * l.w;
        for (int x = 0; x < l.w; x++) {
            switch (l.nBits) {
            case 1: pOut[x] = PaletteColor(l, (pRow[x >> 3] >> (7 - (x & 7))) & 1); break;
            case 4: pOut[x] = PaletteColor(l, (pRow[x >> 1] >> (x & 1 ? 0 : 4)) & 15); break;
            case 8: pOut[x] = PaletteColor(l, pRow[x]); break;
            case 24: pOut[x] = PictureRGB(pRow[3 * x + 2], pRow[3 * x + 1], pRow[3 * x]); break;
            default: pOut[x] = Le32(pRow + 4 * x) & 0xFFFFFF; break;
            }
        }
    }
    *pBmp = PictureBitmap{pStore, l.w, l.h, l.w};
    return 1;
}

PictureBitmap PictureBitmapPart(const PictureBitmap& bmp, int x, int y, int w, int h) {
    const int x0 = Max(x, 0), y0 = Max(y, 0);
    const int x1 = Min(x + w, bmp.w), y1 = Min(y + h, bmp.h);
    if (!bmp.pPixels || x1 <= x0 || y1 <= y0) return PictureBitmap{};
    return PictureBitmap{bmp.pPixels + (size_t)y0 * bmp.nStride + x0, x1 - x0, y1 - y0,
                         bmp.nStride};
}

// --- Copies ------------------------------------------------------------------------------

int PictureBlit(Picture* pPic, int x, int y, const PictureBitmap& bmp, PictureRop rop) {
    if (!bmp.pPixels) return 0;
    const PictureRect rc = Drawable(*pPic, PictureRect{x, y, x + bmp.w, y + bmp.h});
    if (RectEmpty(rc)) return 1;
    const int w = rc.right - rc.left;
    Differ diff;
    for (int yy = rc.top; yy < rc.bottom; yy++) {
        const uint32_t* pSrc = bmp.pPixels + (size_t)(yy - y) * bmp.nStride + (rc.left - x);
        uint32_t* pDst = PixelAt(pPic, rc.left, yy);
        if (rop == PICTURE_COPY) {
            diff.Row(pSrc, pDst, w, rc.left, yy);
            memcpy(pDst, pSrc, (size_t)w * 4);
        } else {
            for (int i = 0; i < w; i++) {
                const uint32_t v = Combine(rop, pSrc[i], pDst[i]);
                if (v != pDst[i]) diff.Pixel(rc.left + i, yy);
                pDst[i] = v;
            }
        }
    }
    NoteChanged(pPic, diff.rc);
    return 1;
}

int PictureBlitMasked(Picture* pPic, int x, int y, const PictureBitmap& bmp,
                      const PictureBitmap& mask) {
    if (!bmp.pPixels || !mask.pPixels) return 0;
    const PictureRect rc =
        Drawable(*pPic, PictureRect{x, y, x + Min(bmp.w, mask.w), y + Min(bmp.h, mask.h)});
    if (RectEmpty(rc)) return 1;
    Differ diff;
    for (int yy = rc.top; yy < rc.bottom; yy++) {
        const uint32_t* pSrc = bmp.pPixels + (size_t)(yy - y) * bmp.nStride + (rc.left - x);
        const uint32_t* pMask = mask.pPixels + (size_t)(yy - y) * mask.nStride + (rc.left - x);
        uint32_t* pDst = PixelAt(pPic, rc.left, yy);
        for (int i = 0; i < rc.right - rc.left; i++)
            if ((pMask[i] & 0xFFFFFF) == 0 && pDst[i] != pSrc[i]) {
                diff.Pixel(rc.left + i, yy);
                pDst[i] = pSrc[i];
            }
    }
    NoteChanged(pPic, diff.rc);
    return 1;
}

int PictureBlitCentered(Picture* pPic, const PictureBitmap& bmp, PictureRect rc) {
    const int x = rc.left + (rc.right - rc.left) / 2 - bmp.w / 2;
    const int y = rc.top + (rc.bottom - rc.top) / 2 - bmp.h / 2;
    return PictureBlit(pPic, x, y, bmp);
}

int PictureCopyFrom(Picture* pPic, int x, int y, const Picture& src, PictureRect rcSrc) {
    rcSrc = Intersect(rcSrc, Extent(src));
    if (RectEmpty(rcSrc)) return 0;
    const PictureBitmap bmp = {src.pPixels + (size_t)(rcSrc.top - src.yOrigin) * src.nStride +
                                   (rcSrc.left - src.xOrigin),
                               rcSrc.right - rcSrc.left, rcSrc.bottom - rcSrc.top, src.nStride};
    return PictureBlit(pPic, x, y, bmp);
}

// --- Fills, lines and frames ----------------------------------------------------------------

int PictureFill(Picture* pPic, PictureRect rc, PictureColor cr) {
    rc = Drawable(*pPic, rc);
    if (RectEmpty(rc)) return 1;
    for (int y = rc.top; y < rc.bottom; y++) {
        uint32_t* p = PixelAt(pPic, rc.left, y);
        for (int x = 0; x < rc.right - rc.left; x++) p[x] = cr;
    }
    NoteChanged(pPic, rc);
    return 1;
}

int PictureFillPattern(Picture* pPic, PictureRect rc, const PictureColor aPattern[64],
                       PictureRop rop) {
    rc = Drawable(*pPic, rc);
    if (RectEmpty(rc)) return 1;
    for (int y = rc.top; y < rc.bottom; y++) {
        uint32_t* p = PixelAt(pPic, rc.left, y);
        const PictureColor* pRow = aPattern + (y & 7) * 8;
        for (int x = rc.left; x < rc.right; x++, p++) *p = Combine(rop, pRow[x & 7], *p);
    }
    NoteChanged(pPic, rc);
    return 1;
}

int PictureLine(Picture* pPic, int x0, int y0, int x1, int y1, PictureColor cr) {
    const PictureRect rcOk = Drawable(*pPic, Extent(*pPic));
    const int dx = Abs(x1 - x0), dy = Abs(y1 - y0);
    const int sx = x1 > x0 ? 1 : -1, sy = y1 > y0 ? 1 : -1;
    const int n = Max(dx, dy);
    int x = x0, y = y0, err = (dx > dy ? dx : -dy) / 2;
    for (int i = 0; i < n; i++) {
        Plot(pPic, rcOk, x, y, cr);
        const int e = err;
        if (e > -dx) {
            err -= dy;
            x += sx;
        }
        if (e < dy) {
            err += dx;
            y += sy;
        }
    }
    if (n > 0)
        NoteChanged(pPic, Intersect(rcOk, PictureRect{Min(x0, x1), Min(y0, y1), Max(x0, x1) + 1,
                                                      Max(y0, y1) + 1}));
    return 1;
}

int PictureRectangle(Picture* pPic, PictureRect rc, const PictureColor* pcrPen,
                     const PictureColor* pcrBrush) {
    if (rc.right < rc.left) {
        const int t = rc.left;
        rc.left = rc.right;
        rc.right = t;
    }
    if (rc.bottom < rc.top) {
        const int t = rc.top;
        rc.top = rc.bottom;
        rc.bottom = t;
    }
    // The null pen leaves the fill one pixel short on the right and bottom.
    if (!pcrPen) {
        if (pcrBrush)
            PictureFill(pPic, PictureRect{rc.left, rc.top, rc.right - 1, rc.bottom - 1}, *pcrBrush);
        return 1;
    }
    if (rc.right - rc.left < 2 || rc.bottom - rc.top < 2) return 1;
    if (pcrBrush)
        PictureFill(pPic, PictureRect{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1},
                    *pcrBrush);
    return PictureFrame(pPic, rc, *pcrPen);
}

int PictureFrame(Picture* pPic, PictureRect rc, PictureColor cr) {
    if (RectEmpty(rc)) return 1;
    PictureFill(pPic, PictureRect{rc.left, rc.top, rc.right, rc.top + 1}, cr);
    PictureFill(pPic, PictureRect{rc.left, rc.bottom - 1, rc.right, rc.bottom}, cr);
    PictureFill(pPic, PictureRect{rc.left, rc.top, rc.left + 1, rc.bottom}, cr);
    PictureFill(pPic, PictureRect{rc.right - 1, rc.top, rc.right, rc.bottom}, cr);
    return 1;
}

int PicturePolygon(Picture* pPic, const PicturePoint* aPt, int nPt, PictureColor crPen,
                   PictureColor crBrush) {
    if (nPt < 2) return 0;
    int yMin = aPt[0].y, yMax = aPt[0].y;
    for (int i = 1; i < nPt; i++) {
        yMin = Min(yMin, aPt[i].y);
        yMax = Max(yMax, aPt[i].y);
    }
    // The fill: on each row, what lies between the outline's leftmost and
    // rightmost pixels there (the outline then covers its own).
    for (int y = yMin + 1; y < yMax; y++) {
        int xLeft = 1 << 30, xRight = -(1 << 30);
        for (int i = 0; i < nPt; i++) {
            const PicturePoint a = aPt[i], b = aPt[(i + 1) % nPt];
            if ((y < a.y && y < b.y) || (y > a.y && y > b.y)) continue;
            if (a.y == b.y) {
                xLeft = Min(xLeft, Min(a.x, b.x));
                xRight = Max(xRight, Max(a.x, b.x));
                continue;
            }
            const int x = a.x + (int)((long long)(b.x - a.x) * (y - a.y) / (b.y - a.y));
            xLeft = Min(xLeft, x);
            xRight = Max(xRight, x);
        }
        if (xRight - xLeft > 1)
            PictureFill(pPic, PictureRect{xLeft + 1, y, xRight, y + 1}, crBrush);
    }
    for (int i = 0; i < nPt; i++) {
        const PicturePoint a = aPt[i], b = aPt[(i + 1) % nPt];
        PictureLine(pPic, a.x, a.y, b.x, b.y, crPen);
    }
    return 1;
}

// --- Round shapes ------------------------------------------------------------------------------

namespace {

enum { MAX_ROUND_ROWS = 512, MAX_SHAPES = 4 };

// The outline of the ellipse whose pixels fill the box [0, a] x [0, b]
// (both ends in), as the platform traces it: the integer ellipse that steps
// x, y or both by the sign of its error, from the middle rows out to the
// top and bottom, four quadrants at once.
template <class F> void EllipsePoints(int a, int b, F plot) {
    long long aa = a, bb = b, b1 = b & 1;
    long long dx = 4 * (1 - aa) * bb * bb, dy = 4 * (b1 + 1) * aa * aa;
    long long err = dx + dy + b1 * aa * aa;
    int x0 = 0, x1 = a, y0 = (b + 1) / 2, y1 = y0 - (int)b1;
    const long long a8 = 8 * aa * aa, b8 = 8 * bb * bb;
    do {
        plot(x1, y0);
        plot(x0, y0);
        plot(x0, y1);
        plot(x1, y1);
        const long long e2 = 2 * err;
        if (e2 <= dy) {
            y0++;
            y1--;
            err += dy += a8;
        }
        if (e2 >= dx || 2 * err > dy) {
            x0++;
            x1--;
            err += dx += b8;
        }
    } while (x0 <= x1);
    while (y0 - y1 < b) { // a very flat ellipse: its tips
        plot(x0 - 1, y0);
        plot(x1 + 1, y0++);
        plot(x0 - 1, y1);
        plot(x1 + 1, y1--);
    }
}

// How far in from the box's left edge the ellipse's outline starts, row by
// row (anInset[0 .. b]).
void EllipseInsets(int a, int b, int* anInset) {
    for (int y = 0; y <= b; y++) anInset[y] = a;
    EllipsePoints(a, b, [&](int x, int y) {
        if (y >= 0 && y <= b) anInset[y] = Min(anInset[y], Max(x, 0));
    });
}

// A round rectangle's region ready to be asked row by row.
struct RoundRows {
    int left, top, right, bottom; // the pixels it covers at most, right and bottom left out
    int b;                        // the corners' ellipse's last row (-1: square corners)
    int anInset[MAX_ROUND_ROWS];
};

void RoundRowsOf(const PictureRoundRect& s, RoundRows* p) {
    PictureRect rc = s.rc;
    if (rc.right < rc.left) std::swap(rc.left, rc.right);
    if (rc.bottom < rc.top) std::swap(rc.top, rc.bottom);
    p->left = rc.left;
    p->top = rc.top;
    p->right = rc.right - 1;
    p->bottom = rc.bottom - 1;
    const int w = Min(p->right - p->left, Abs(s.wCorner));
    const int h = Min(Min(p->bottom - p->top, Abs(s.hCorner)), (int)MAX_ROUND_ROWS);
    p->b = -1;
    if (w < 2 || h < 2) return;
    p->b = h - 1;
    EllipseInsets(w - 1, h - 1, p->anInset);
}

// Row y's pixels [*pxLeft, *pxRight) of the region; 0 when it has none there.
int RoundRowSpan(const RoundRows& r, int y, int* pxLeft, int* pxRight) {
    if (y < r.top || y >= r.bottom) return 0;
    int nInset = 0;
    if (r.b >= 0) {
        const int k = y - r.top, kUp = r.bottom - 1 - y;
        if (k <= r.b / 2)
            nInset = r.anInset[k];
        else if (kUp <= r.b / 2)
            nInset = r.anInset[r.b - kUp];
    }
    *pxLeft = r.left + nInset;
    *pxRight = r.right - nInset;
    return *pxRight > *pxLeft;
}

bool InShapes(const RoundRows* aRows, int nShapes, int x, int y) {
    for (int i = 0; i < nShapes; i++) {
        int xLeft = 0, xRight = 0;
        if (RoundRowSpan(aRows[i], y, &xLeft, &xRight) && x >= xLeft && x < xRight) return true;
    }
    return false;
}

} // namespace

int PictureEllipse(Picture* pPic, PictureRect rc, PictureColor crPen, PictureColor crBrush) {
    if (rc.right < rc.left) std::swap(rc.left, rc.right);
    if (rc.bottom < rc.top) std::swap(rc.top, rc.bottom);
    const int a = rc.right - 1 - rc.left, b = rc.bottom - 1 - rc.top;
    if (a < 1 || b < 1 || b >= MAX_ROUND_ROWS) return PictureRectangle(pPic, rc, &crPen, &crBrush);
    int anInset[MAX_ROUND_ROWS];
    EllipseInsets(a, b, anInset);
    for (int k = 0; k <= b; k++)
        PictureFill(pPic,
                    PictureRect{rc.left + anInset[k] + 1, rc.top + k, rc.left + a - anInset[k],
                                rc.top + k + 1},
                    crBrush);
    const PictureRect rcOk = Drawable(*pPic, Extent(*pPic));
    EllipsePoints(a, b, [&](int x, int y) { Plot(pPic, rcOk, rc.left + x, rc.top + y, crPen); });
    NoteChanged(pPic,
                Intersect(rcOk, PictureRect{rc.left, rc.top, rc.left + a + 1, rc.top + b + 1}));
    return 1;
}

int PictureFillShapes(Picture* pPic, const PictureRoundRect* aShape, int nShapes,
                      PictureColor crBrush, PictureColor crFrame) {
    if (nShapes < 1 || nShapes > MAX_SHAPES) return 0;
    RoundRows aRows[MAX_SHAPES];
    PictureRect rcAll = {1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
    for (int i = 0; i < nShapes; i++) {
        RoundRowsOf(aShape[i], &aRows[i]);
        rcAll = PictureRect{Min(rcAll.left, aRows[i].left), Min(rcAll.top, aRows[i].top),
                            Max(rcAll.right, aRows[i].right), Max(rcAll.bottom, aRows[i].bottom)};
    }
    const PictureRect rcOk = Drawable(*pPic, rcAll);
    if (RectEmpty(rcOk)) return 1;
    for (int y = rcOk.top; y < rcOk.bottom; y++)
        for (int x = rcOk.left; x < rcOk.right; x++) {
            if (!InShapes(aRows, nShapes, x, y)) continue;
            const bool bEdge =
                !InShapes(aRows, nShapes, x - 1, y) || !InShapes(aRows, nShapes, x + 1, y) ||
                !InShapes(aRows, nShapes, x, y - 1) || !InShapes(aRows, nShapes, x, y + 1);
            *PixelAt(pPic, x, y) = bEdge ? crFrame : crBrush;
        }
    NoteChanged(pPic, rcOk);
    return 1;
}

int PictureWideLine(Picture* pPic, int x0, int y0, int x1, int y1, int nWidth, PictureColor cr) {
    if (nWidth <= 1) {
        PictureLine(pPic, x0, y0, x1, y1, cr);
        return PictureFill(pPic, PictureRect{x1, y1, x1 + 1, y1 + 1}, cr);
    }
    // The pen's round tip at both ends: the platform's elliptic region about
    // the point, half the width to the left and top, the rest beyond.
    const int nLow = nWidth / 2, nHigh = (nWidth + 1) / 2 + 1;
    for (const PicturePoint pt : {PicturePoint{x0, y0}, PicturePoint{x1, y1}}) {
        const PictureRoundRect tip = {
            {pt.x - nLow, pt.y - nLow, pt.x + nHigh, pt.y + nHigh}, nLow + nHigh, nLow + nHigh};
        PictureFillShapes(pPic, &tip, 1, cr, cr);
    }
    const int dx = x1 - x0, dy = y1 - y0;
    if (dy == 0) // level and upright lines: a rectangle the width across
        return PictureFill(
            pPic, PictureRect{Min(x0, x1), y0 - nLow, Max(x0, x1), y0 - nLow + nWidth}, cr);
    if (dx == 0)
        return PictureFill(
            pPic, PictureRect{x0 - nLow, Min(y0, y1), x0 - nLow + nWidth, Max(y0, y1)}, cr);
    // A slant: the quadrilateral of the line moved out to either side by
    // the width's share across each axis, rounded to whole pixels (one side
    // gets the larger half); a row covers the pixels from its left edge up
    // to, not including, its right edge.
    const double fLen = std::sqrt(double(dx) * dx + double(dy) * dy);
    const double fWidthX = nWidth * Abs(dy) / fLen, fWidthY = nWidth * Abs(dx) / fLen;
    PicturePoint narrow = {(int)std::lround(fWidthX / 2), (int)std::lround(fWidthY / 2)};
    PicturePoint wide = {(int)std::lround((fWidthX + 1) / 2), (int)std::lround((fWidthY + 1) / 2)};
    if (dx < 0) {
        narrow.y = -narrow.y;
        wide.y = -wide.y;
    }
    if (dy < 0) {
        std::swap(narrow, wide);
        narrow.x = -narrow.x;
        wide.x = -wide.x;
    }
    const PicturePoint aPt[4] = {{x0 - narrow.x, y0 + narrow.y},
                                 {x0 + wide.x, y0 - wide.y},
                                 {x1 + wide.x, y1 - wide.y},
                                 {x1 - narrow.x, y1 + narrow.y}};
    int yTop = aPt[0].y, yBottom = aPt[0].y;
    for (const PicturePoint& pt : aPt) {
        yTop = Min(yTop, pt.y);
        yBottom = Max(yBottom, pt.y);
    }
    for (int y = yTop; y < yBottom; y++) {
        double fLeft = 1e9, fRight = -1e9;
        for (int i = 0; i < 4; i++) {
            const PicturePoint a = aPt[i], b = aPt[(i + 1) % 4];
            if (a.y == b.y || y < Min(a.y, b.y) || y >= Max(a.y, b.y)) continue;
            const double fX = a.x + double(b.x - a.x) * (y - a.y) / (b.y - a.y);
            fLeft = fLeft < fX ? fLeft : fX;
            fRight = fRight > fX ? fRight : fX;
        }
        if (fRight > fLeft)
            PictureFill(pPic, PictureRect{(int)std::ceil(fLeft), y, (int)std::ceil(fRight), y + 1},
                        cr);
    }
    return 1;
}

// --- Text --------------------------------------------------------------------------------------

namespace {

int NoMeasure(const PictureFont&, const char*, int, int* pW, int* pH) {
    *pW = 0;
    *pH = 0;
    return 0;
}
int NoDraw(Picture*, const PictureFont&, const char*, PictureColor, PictureRect, int) {
    return 0;
}
const PictureTextHost kNoText = {NoMeasure, NoDraw};

} // namespace

const PictureTextHost* pPictureText = &kNoText;

void PictureTextInstall(const PictureTextHost* pHostText) {
    pPictureText = pHostText ? pHostText : &kNoText;
}
