#include "render/zoom.h"

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
