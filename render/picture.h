// The game's picture: a 32-bit pixel buffer of its own and the few drawing
// operations the game uses, written once for every platform.
//
// A pixel is 0x00RRGGBB, the layout of a 32-bit top-down DIB, so on Windows
// the back buffers' DIB sections can be a picture's pixels as they are. All
// coordinates are design pixels; a picture may hold only part of the design
// (a dialog's painting), its pixel (0, 0) then lying at (xOrigin, yOrigin).
// Every operation clips to the picture and to rcClip, follows the platform's
// own rules of which pixels a shape covers (right and bottom edges left out,
// a line without its last point), and adds what it touched to rcChanged, so
// the platform shows only what changed (a copy adds only the box around the
// pixels it really changed).
//
// Nothing here allocates: bitmaps are decoded into storage the caller owns.
#pragma once

#include <cstddef>
#include <cstdint>

typedef uint32_t PictureColor;

constexpr PictureColor PictureRGB(int r, int g, int b) {
    return PictureColor((r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF));
}

struct PictureRect {
    int left, top, right, bottom;
};

struct PicturePoint {
    int x, y;
};

struct Picture {
    uint32_t* pPixels; // w x h, nStride pixels to a row, top row first
    int w, h, nStride;
    int xOrigin, yOrigin;  // the design point of pixel (0, 0)
    PictureRect rcClip;    // design pixels outside it are never touched
    PictureRect rcChanged; // what was drawn since PictureTakeChanged (empty: nothing)
    // What PictureMark calls (NULL: nothing): the platform's note that what
    // was drawn so far is one piece of what it shows next, so far-apart
    // sprites are shown as themselves and not as the box around them.
    void (*pfnMark)(Picture* pPic);
};

// A picture over pPixels for the design rectangle rc (its width to a row
// unless nStride says more), clipped to rc, nothing changed yet.
Picture PictureOver(uint32_t* pPixels, PictureRect rc, int nStride = 0);
// What was drawn since the last take (1 when anything), and starts afresh.
int PictureTakeChanged(Picture* pPic, PictureRect* prc);
// Ends a piece of drawing (after each sprite): calls pfnMark if set.
void PictureMark(Picture* pPic);
// Adds rc (within the picture and its clip) to what changed: for what the
// platform drew there itself (text).
void PictureNoteChanged(Picture* pPic, PictureRect rc);
// Narrows the clip to rc (within the picture); returns the clip it replaced.
PictureRect PictureClipTo(Picture* pPic, PictureRect rc);
// The pixel at design point (x, y); 0 outside the picture.
PictureColor PicturePixel(const Picture& pic, int x, int y);

// --- Bitmaps ---------------------------------------------------------------------
// A decoded bitmap: w x h pixels, top row first, nStride to a row. A bitmap
// with no pixels (pPixels NULL) draws nothing.
struct PictureBitmap {
    const uint32_t* pPixels;
    int w, h, nStride;
};

// How many pixels a bitmap file (from "BM") or a packed bitmap (the header
// first, as a bitmap resource holds it) decodes to; 0 when it is not one
// this decoder reads: 1, 4, 8, 24 or 32 bits a pixel, uncompressed, top-down
// or bottom-up.
size_t PictureBitmapSize(const uint8_t* pData, size_t cbData);
// Decodes it into pStore (at least PictureBitmapSize pixels) through its
// palette; 1 when done, *pBmp pointing into pStore.
int PictureBitmapDecode(const uint8_t* pData, size_t cbData, uint32_t* pStore, size_t nStore,
                        PictureBitmap* pBmp);
// The part (x, y, w, h) of a bitmap, clipped to it, as a bitmap of its own.
PictureBitmap PictureBitmapPart(const PictureBitmap& bmp, int x, int y, int w, int h);

// --- Copies ------------------------------------------------------------------------
// How a copy combines the bitmap's pixel s with the picture's d.
enum PictureRop {
    PICTURE_COPY,   // s
    PICTURE_AND,    // s & d: where the bitmap is black the picture goes black
    PICTURE_PAINT,  // s | d
    PICTURE_INVERT, // s ^ d
};
// The whole bitmap with its top-left corner at (x, y).
int PictureBlit(Picture* pPic, int x, int y, const PictureBitmap& bmp,
                PictureRop rop = PICTURE_COPY);
// A masked copy: the bitmap's pixels where the mask's are black (0), the
// picture's own where the mask's are white.
int PictureBlitMasked(Picture* pPic, int x, int y, const PictureBitmap& bmp,
                      const PictureBitmap& mask);
// The whole bitmap centred in rc (halves truncated), as the game centres.
int PictureBlitCentered(Picture* pPic, const PictureBitmap& bmp, PictureRect rc);
// The design rectangle rcSrc of another picture to (x, y) of this one.
int PictureCopyFrom(Picture* pPic, int x, int y, const Picture& src, PictureRect rcSrc);

// --- Fills, lines and frames ---------------------------------------------------------
int PictureFill(Picture* pPic, PictureRect rc, PictureColor cr);
// An 8 x 8 brush laid from the design's (0, 0): pixel (x, y) takes
// aPattern[(y & 7) * 8 + (x & 7)], combined with the picture's by rop.
int PictureFillPattern(Picture* pPic, PictureRect rc, const PictureColor aPattern[64],
                       PictureRop rop = PICTURE_COPY);
// A one-pixel pen from (x0, y0) to (x1, y1) without its last point, as the
// platform's lines go (any slope; the game's are level, upright or at 45).
int PictureLine(Picture* pPic, int x0, int y0, int x1, int y1, PictureColor cr);
// The platform's Rectangle: the pen's outline on the rectangle's edges
// (right and bottom in by one) and the brush's fill inside. A NULL colour
// pointer is the null pen or the hollow brush.
int PictureRectangle(Picture* pPic, PictureRect rc, const PictureColor* pcrPen,
                     const PictureColor* pcrBrush);
// A one-pixel frame just inside rc, as FrameRect.
int PictureFrame(Picture* pPic, PictureRect rc, PictureColor cr);
// A closed polygon filled with crBrush and outlined with crPen, for the
// game's shapes: convex, edges level, upright or at 45 degrees (others are
// drawn, their fill's edge then approximate).
int PicturePolygon(Picture* pPic, const PicturePoint* aPt, int nPt, PictureColor crPen,
                   PictureColor crBrush);

// --- Round shapes -----------------------------------------------------------------------
// The platform's Ellipse with a one-pixel pen: the outline through rc's
// edges (right and bottom in by one), crBrush inside it.
int PictureEllipse(Picture* pPic, PictureRect rc, PictureColor crPen, PictureColor crBrush);
// A rectangle with round corners, as the platform's region of one: wCorner
// x hCorner the size of the ellipse that rounds them (an ellipse is one whose
// corners are the whole rectangle). Like the platform's, the region leaves
// out one more column on the right and one more row at the bottom.
struct PictureRoundRect {
    PictureRect rc;
    int wCorner, hCorner;
};
// The union of nShapes such regions filled with crBrush, then framed one
// pixel wide with crFrame: each of its pixels with a side on its edge.
int PictureFillShapes(Picture* pPic, const PictureRoundRect* aShape, int nShapes,
                      PictureColor crBrush, PictureColor crFrame);
// A line of a round pen nWidth pixels wide from (x0, y0) to (x1, y1), its
// ends round (both ends drawn).
int PictureWideLine(Picture* pPic, int x0, int y0, int x1, int y1, int nWidth, PictureColor cr);

// --- Text -------------------------------------------------------------------------------
// Text is the one thing the game does not draw itself: the host draws it
// onto the picture's pixels in its fonts (Windows through GDI, so every text
// pixel is the system's own), through this narrow interface.
struct PictureFont {
    const char* szFace; // the face's name, e.g. "Arial"
    int nHeight;        // the character height in design pixels
    int nWeight;        // 400 regular, 700 bold
};
enum {
    PICTURE_TEXT_LEFT = 0,
    PICTURE_TEXT_CENTER = 1,
    PICTURE_TEXT_RIGHT = 2,
    PICTURE_TEXT_TOP = 0,
    PICTURE_TEXT_VCENTER = 4,
    PICTURE_TEXT_BOTTOM = 8,
    PICTURE_TEXT_WRAP = 16, // breaks lines between words to fit rc's width
};
struct PictureTextHost {
    // The size of szText in the font (with PICTURE_TEXT_WRAP, the height of
    // its lines broken to *pW's width). 1 when measured.
    int (*MeasureText)(const PictureFont& font, const char* szText, int nAlign, int* pW, int* pH);
    // Writes szText in cr, no background, aligned by nAlign in rc and
    // clipped to it; adds what it covered to the picture's rcChanged.
    int (*WriteText)(Picture* pPic, const PictureFont& font, const char* szText, PictureColor cr,
                     PictureRect rc, int nAlign);
};
// The installed text host; the default draws nothing and measures nothing.
extern const PictureTextHost* pPictureText;
void PictureTextInstall(const PictureTextHost* pHostText);
