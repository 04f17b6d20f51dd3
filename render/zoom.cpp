#include "render/zoom.h"

#include <cstring>

int32_t ZoomNormalize(int32_t nRead) {
    return nRead >= ZOOM_MIN && nRead <= ZOOM_MAX ? nRead : ZOOM_FITS;
}

int ZoomLargestFitting(int nAreaW, int nAreaH, int nExtraW, int nExtraH) {
    int nZoom = ZOOM_MIN;
    while (nZoom < ZOOM_MAX && ZOOM_DESIGN_W * (nZoom + 1) + nExtraW <= nAreaW &&
           ZOOM_DESIGN_H * (nZoom + 1) + nExtraH <= nAreaH)
        nZoom++;
    return nZoom;
}

int ZoomStep(int nZoom, int nDir, int nLargest) {
    if (nLargest < ZOOM_MIN) nLargest = ZOOM_MIN;
    if (nLargest > ZOOM_MAX) nLargest = ZOOM_MAX;
    int nNext = nZoom + (nDir > 0 ? 1 : -1);
    if (nNext < ZOOM_MIN) nNext = ZOOM_MIN;
    if (nNext > nLargest) nNext = nLargest;
    return nNext;
}

int ZoomCentre(int nOuter, int nInner) {
    return nOuter > nInner ? (nOuter - nInner) / 2 : 0;
}

ZoomRect ZoomRectToWindow(int nZoom, ZoomRect rc) {
    return ZoomRect{rc.left * nZoom, rc.top * nZoom, rc.right * nZoom, rc.bottom * nZoom};
}

ZoomRect ZoomRectToDesign(int nZoom, ZoomRect rc) {
    // The right and bottom edges round up: the design pixel of the last
    // window pixel inside, plus one.
    return ZoomRect{ZoomUnscale(nZoom, rc.left), ZoomUnscale(nZoom, rc.top),
                    ZoomUnscale(nZoom, rc.right - 1) + 1, ZoomUnscale(nZoom, rc.bottom - 1) + 1};
}

namespace {

int Area(const ZoomRect& rc) {
    return (rc.right - rc.left) * (rc.bottom - rc.top);
}

ZoomRect Union(const ZoomRect& a, const ZoomRect& b) {
    return ZoomRect{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                    a.right > b.right ? a.right : b.right,
                    a.bottom > b.bottom ? a.bottom : b.bottom};
}

} // namespace

void ZoomPiecesAdd(ZoomPieces* pPieces, ZoomRect rc) {
    if (rc.right <= rc.left || rc.bottom <= rc.top) return;
    ZoomPieces& p = *pPieces;
    for (int i = 0; i < p.n; i++) {
        ZoomRect rcUnion = Union(p.a[i], rc);
        if (Area(rcUnion) <= (Area(p.a[i]) + Area(rc)) * 5 / 4) {
            p.a[i] = rcUnion;
            return;
        }
    }
    if (p.n < ZOOM_MAX_PIECES) {
        p.a[p.n++] = rc;
        return;
    }
    for (int i = 1; i < p.n; i++) p.a[0] = Union(p.a[0], p.a[i]);
    p.a[0] = Union(p.a[0], rc);
    p.n = 1;
}

int ZoomGroupAdd(ZoomGroup* pGroup, ZoomRect rc, int nZoom) {
    ZoomGroup& g = *pGroup;
    const int nArea = Area(rc);
    const long long nWaste = (long long)(Area(Union(g.box, rc)) - g.nArea - nArea) * nZoom * nZoom;
    if (g.nArea > 0 && nWaste <= ZOOM_GROUP_WASTE) {
        g.box = Union(g.box, rc);
        g.nArea += nArea;
        return 0;
    }
    g.box = rc;
    g.nArea = nArea;
    return 1;
}

void ZoomScalePixels(const uint32_t* pSrc, int nSrcStride, int w, int h, int nZoom, uint32_t* pDst,
                     int nDstStride) {
    if (w <= 0 || h <= 0 || nZoom < 1) return;
    // Every window row is written from its design row, one load to a design
    // pixel and its block of stores (no copy of a window row: that costs a
    // load for every store, and the runtime's copy under Wine is a slow one).
    for (int y = 0; y < h; y++, pSrc += nSrcStride)
        for (int k = 0; k < nZoom; k++, pDst += nDstStride) {
            uint32_t* p = pDst;
            switch (nZoom) {
            case 2:
                for (int x = 0; x < w; x++, p += 2) p[0] = p[1] = pSrc[x];
                break;
            case 3:
                for (int x = 0; x < w; x++, p += 3) p[0] = p[1] = p[2] = pSrc[x];
                break;
            default:
                for (int x = 0; x < w; x++) {
                    const uint32_t v = pSrc[x];
                    for (int j = 0; j < nZoom; j++) *p++ = v;
                }
            }
        }
}

int ZoomDialogPoints(int nPoints, int nZoom, int nDpi) {
    if (nDpi <= 0) nDpi = ZOOM_DESIGN_DPI;
    int nScaled = (nPoints * nZoom * ZOOM_DESIGN_DPI + nDpi / 2) / nDpi;
    return nScaled < 1 ? 1 : nScaled;
}

namespace {

// Steps over a menu, class or title field: 0xFFFF and an ordinal, or a
// string of 16-bit characters ending in 0. Returns 0 when it runs off the end.
int SkipSzOrOrd(const uint8_t* p, size_t cb, size_t* pPos) {
    if (*pPos + 2 > cb) return 0;
    unsigned w = p[*pPos] | (unsigned)p[*pPos + 1] << 8;
    if (w == 0xFFFF) {
        *pPos += 4;
        return *pPos <= cb;
    }
    for (;;) {
        if (*pPos + 2 > cb) return 0;
        unsigned c = p[*pPos] | (unsigned)p[*pPos + 1] << 8;
        *pPos += 2;
        if (c == 0) return 1;
    }
}

uint32_t Dword(const uint8_t* p) {
    return p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

} // namespace

long DialogTemplateFontOffset(const uint8_t* pTemplate, size_t cbTemplate) {
    const uint32_t DS_SETFONT_BIT = 0x40;
    if (!pTemplate || cbTemplate < 18) return -1;
    size_t pos;
    uint32_t dwStyle;
    // An extended template starts with version 1 and the signature 0xFFFF.
    int bExtended =
        pTemplate[0] == 1 && pTemplate[1] == 0 && pTemplate[2] == 0xFF && pTemplate[3] == 0xFF;
    if (bExtended) {
        if (cbTemplate < 26) return -1;
        dwStyle = Dword(pTemplate + 12);
        pos = 26;
    } else {
        dwStyle = Dword(pTemplate);
        pos = 18;
    }
    if (!(dwStyle & DS_SETFONT_BIT)) return -1;
    for (int i = 0; i < 3; i++) // menu, class, title
        if (!SkipSzOrOrd(pTemplate, cbTemplate, &pos)) return -1;
    return pos + 2 <= cbTemplate ? (long)pos : -1;
}

namespace {

uint16_t Word(const uint8_t* p) {
    return (uint16_t)(p[0] | p[1] << 8);
}

// A 16-bit string at *pPos in plain ASCII (others as '?'), stepped over.
int ReadSz(const uint8_t* p, size_t cb, size_t* pPos, char* sz, int cch) {
    int n = 0;
    for (;;) {
        if (*pPos + 2 > cb) return 0;
        unsigned c = Word(p + *pPos);
        *pPos += 2;
        if (c == 0) break;
        if (n < cch - 1) sz[n++] = (char)(c < 128 ? c : '?');
    }
    sz[n] = '\0';
    return 1;
}

} // namespace

int DialogTemplateUnits(const uint8_t* pTemplate, size_t cbTemplate, DialogUnits* pUnits) {
    *pUnits = DialogUnits{};
    long nFont = DialogTemplateFontOffset(pTemplate, cbTemplate);
    if (nFont < 0) return 0;
    const uint8_t* p = pTemplate;
    const int bExtended = p[2] == 0xFF && p[3] == 0xFF;
    const size_t nHead = bExtended ? 16 : 8; // up to the count of controls
    pUnits->nItems = Word(p + nHead);
    pUnits->cx = (int16_t)Word(p + nHead + 6);
    pUnits->cy = (int16_t)Word(p + nHead + 8);
    if (pUnits->nItems > DIALOG_MAX_ITEMS) return 0;
    size_t pos = (size_t)nFont;
    pUnits->nPoints = Word(p + pos);
    pos += 2;
    pUnits->nWeight = 400; // FW_NORMAL
    if (bExtended) {
        if (pos + 4 > cbTemplate) return 0;
        pUnits->nWeight = Word(p + pos);
        pUnits->bItalic = p[pos + 2] != 0;
        pos += 4;
    }
    if (!ReadSz(p, cbTemplate, &pos, pUnits->szFace, DIALOG_FACE_LEN)) return 0;
    for (int i = 0; i < pUnits->nItems; i++) {
        pos = (pos + 3) & ~(size_t)3;
        DialogItemUnits& item = pUnits->aItem[i];
        const size_t nFixed = bExtended ? 24 : 18;
        if (pos + nFixed > cbTemplate) return 0;
        item.dwStyle = Dword(p + pos + (bExtended ? 8 : 0));
        const uint8_t* pRect = p + pos + (bExtended ? 12 : 8);
        item.x = (int16_t)Word(pRect);
        item.y = (int16_t)Word(pRect + 2);
        item.cx = (int16_t)Word(pRect + 4);
        item.cy = (int16_t)Word(pRect + 6);
        pos += nFixed;
        if (!SkipSzOrOrd(p, cbTemplate, &pos)) return 0;
        if (pos + 2 > cbTemplate) return 0;
        if (Word(p + pos) == 0xFFFF) {
            if (!SkipSzOrOrd(p, cbTemplate, &pos)) return 0;
        } else if (!ReadSz(p, cbTemplate, &pos, item.szText, (int)sizeof item.szText)) {
            return 0;
        }
        if (pos + 2 > cbTemplate) return 0;
        // The creation data: an extended template counts the bytes after the
        // count, a plain one counts the count itself.
        const size_t cbData = Word(p + pos);
        pos += bExtended ? 2 + cbData : (cbData ? cbData : 2);
    }
    return 1;
}
