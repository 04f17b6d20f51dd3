// The window's zoom: every pixel the game draws at (x, y) of its 640 x 480
// picture fills the N x N block at (N x, N y) of the window. The decisions
// here need no window: which zooms fit an area, the steps of Ctrl+Plus and
// Ctrl+Minus, where a picture is centred, and where a dialog template keeps
// its font size.
#pragma once

#include <cstddef>
#include <cstdint>

enum {
    ZOOM_FITS = 0, // the player has not chosen: the largest zoom that fits
    ZOOM_MIN = 1,
    ZOOM_MAX = 8,
    ZOOM_DESIGN_W = 640,
    ZOOM_DESIGN_H = 480,
    ZOOM_DESIGN_DPI = 96, // the dots per inch the design's fonts are sized for
};

// A zoom read from the initialisation file: 1..8, anything else "fits".
int32_t ZoomNormalize(int32_t nRead);

// The largest zoom whose picture, with nExtraW x nExtraH of frame, caption
// and menu bar around it, fits an area of nAreaW x nAreaH; never below 1.
int ZoomLargestFitting(int nAreaW, int nAreaH, int nExtraW, int nExtraH);

// One step of Ctrl+Plus (nDir 1) or Ctrl+Minus (nDir -1) from nZoom, kept
// within 1..nLargest.
int ZoomStep(int nZoom, int nDir, int nLargest);

// The offset that centres an inner extent in an outer one (never negative).
int ZoomCentre(int nOuter, int nInner);

// The one mapping between design pixels and a window's pixels at zoom nZoom:
// design pixel v is the nZoom pixels from v x nZoom, and a window pixel
// belongs to the design pixel that covers it (rounding down, also left of
// the picture, so a click on any pixel of a block lands on its pixel). A
// window rectangle maps to the smallest design rectangle that covers it.
struct ZoomRect {
    int left, top, right, bottom; // right and bottom exclusive
};
inline int ZoomUnscale(int nZoom, int v) {
    return v >= 0 ? v / nZoom : -((-v + nZoom - 1) / nZoom);
}
// A length of the design at nZoom: the one place a length is multiplied by it.
inline int ZoomScale(int nZoom, int v) {
    return v * nZoom;
}
ZoomRect ZoomRectToWindow(int nZoom, ZoomRect rc);
ZoomRect ZoomRectToDesign(int nZoom, ZoomRect rc);

// What changed in a picture since its last copy to the window, as a few
// rectangles rather than the one around all of them.
enum { ZOOM_MAX_PIECES = 24 };
struct ZoomPieces {
    ZoomRect a[ZOOM_MAX_PIECES];
    int n;
};
// Adds rc (empty ones are left out): into a piece it overlaps or lies close
// to (when their union is hardly larger than the two), else as one more; a
// full list becomes its union.
void ZoomPiecesAdd(ZoomPieces* pPieces, ZoomRect rc);

// Pieces copied to a window one after another reach the screen, where the
// platform sends the box around all it was given since it last sent, as
// that one box unless told to send in between; but each send has a price of
// its own. A group is what goes as one box: a piece starts a new group where
// adding it would send more than ZOOM_GROUP_WASTE pixels of the window that
// did not change. A send costs about what copying 2^17 pixels costs (a
// request to the X server and its answer), so at zoom 1 the title's band
// and top row go as one box and its bottom row as another, and from zoom 2
// on the band and each row go alone.
enum { ZOOM_GROUP_WASTE = 1 << 17 };
struct ZoomGroup {
    ZoomRect box;
    int nArea; // the pieces' own area; 0 before the first
};
// rc in design pixels at zoom nZoom: 1 when it starts a new group (then the
// group is rc alone), else 0.
int ZoomGroupAdd(ZoomGroup* pGroup, ZoomRect rc, int nZoom);

// Rows of w x h pixels at pSrc (nSrcStride pixels apart), each pixel made an
// nZoom x nZoom block at pDst (nDstStride apart): the nearest-neighbour copy
// that makes the window's picture, pixel for pixel.
void ZoomScalePixels(const uint32_t* pSrc, int nSrcStride, int w, int h, int nZoom, uint32_t* pDst,
                     int nDstStride);

// The point size that gives a dialog template's font nZoom times its size on
// a screen of the design's dots per inch, on a screen of nDpi (the system
// scales template fonts by the screen's dots per inch). At least 1.
int ZoomDialogPoints(int nPoints, int nZoom, int nDpi);

// The byte offset of the point size in a dialog template (plain or extended)
// that sets its own font, or -1 when it sets none or the template is cut off.
long DialogTemplateFontOffset(const uint8_t* pTemplate, size_t cbTemplate);

// What the zoom needs of a dialog template: its font, its size and every
// control's style, rectangle (in dialog units) and text.
enum { DIALOG_MAX_ITEMS = 80, DIALOG_FACE_LEN = 32 };
struct DialogItemUnits {
    uint32_t dwStyle;
    int16_t x, y, cx, cy;
    char szText[24]; // the start of its text in plain ASCII (an icon's name)
};
struct DialogUnits {
    int nPoints, nWeight, bItalic;
    char szFace[DIALOG_FACE_LEN]; // plain ASCII of the face's name
    int16_t cx, cy;
    int nItems;
    DialogItemUnits aItem[DIALOG_MAX_ITEMS];
};
// Reads a template that sets its own font; 0 when it sets none, holds more
// controls than the table or is cut off.
int DialogTemplateUnits(const uint8_t* pTemplate, size_t cbTemplate, DialogUnits* pUnits);

// A length in dialog units in pixels, for a dialog font whose average
// character is nBase pixels wide (x, nDiv 4) or tall (y, nDiv 8), as the
// platform rounds it.
inline int DialogUnitsToPixels(int v, int nBase, int nDiv) {
    long long p = (long long)v * nBase;
    return (int)(p >= 0 ? (p + nDiv / 2) / nDiv : -((-p + nDiv / 2) / nDiv));
}
