// The zoom on the platform's side: the back buffers of the windows the game
// paints itself and the copy of what changed to the screen.
//
// The main window and the side panel keep their pictures at design size (640
// x 480 and the panel's 217 x 414) in a memory context, their back buffer.
// Every drawing routine reaches them through pfnRenderGetDC, which hands out
// the back buffer; when the last user gives it back, the part that changed
// (the bounds the context accumulated) is copied to the window, nZoom times
// larger, pixel for pixel. At zoom 1 the copy is a plain BitBlt.
#pragma once

#include <windows.h>

#include "render/picture.h"
#include "render/zoom.h"

// 1..8: every design pixel is an nZoom x nZoom block of the window.
extern int nZoom;
// Where the design's (0, 0) lies in the main window's client area (not 0, 0
// in full screen, where the picture is centred on black).
extern POINT ptZoomOrigin;

// A 32-bit top-down DIB section of w x h (compatible with hdc), its pixels
// in *ppBits; NULL when none can be made.
HBITMAP DibCreate(HDC hdc, int w, int h, void** ppBits);

// Gives hwnd a back buffer of w x h design pixels (compatible with the
// window's context, cleared to white); 1 if it has one. A second call for the
// same window replaces it.
int ZoomSurfaceCreate(HWND hwnd, int w, int h);
// Frees every back buffer (shutdown, and the tests).
void ZoomSurfacesFree();
// The back buffer of hwnd for drawing, or NULL when hwnd has none. Every
// acquire is matched by a release.
HDC ZoomSurfaceAcquire(HWND hwnd);
// Gives the back buffer back; the last release copies what changed to the
// window. 0 when hdc is not a back buffer (then nothing happened).
int ZoomSurfaceRelease(HWND hwnd, HDC hdc);
// The picture of the back buffer whose context is hdc (its pixels, and what
// of them changed since the last copy), or NULL for any other context.
Picture* ZoomSurfacePictureOf(HDC hdc);
// Notes what was drawn into the back buffer whose context is hdc since the
// last note as one piece of what the next copy takes (any other context does
// nothing; 0 then): after each sprite and each operation of a batch, so the
// title's band and its tiles far apart are copied as themselves and not as
// the large rectangle around them.
int ZoomMarkDC(HDC hdc);
// A message of the main window is being handled: the copies of what it
// draws, to every window with a back buffer, wait for ZoomPresentEnd, which
// makes them together, one context per window, only what changed (and
// nothing while minimized). Outside a held message the last release copies.
void ZoomPresentHold();
void ZoomPresentEnd();
// How many copies to a window have been made (a seam for the tests).
int ZoomPresentCount();
// The paint message of a window with a back buffer: pfnPaint draws the whole
// picture into it, which is then copied whole to hdcPaint (the context of
// BeginPaint), and the main window's margins around the picture go black.
// 0 when hwnd has no back buffer (pfnPaint was not called).
int ZoomSurfacePaint(HWND hwnd, HDC hdcPaint, void (*pfnPaint)(HWND hwnd, HDC hdc));

// The one mapping between design pixels and client pixels at zoom nZoomBy
// (the window's zoom unless told), from the picture's top-left corner:
// lengths, points and rectangles. Back to design pixels a pixel rounds down
// and a rectangle becomes the smallest design rectangle that covers it.
int ZoomToClient(int v, int nZoomBy = nZoom);
POINT ZoomToClient(POINT pt, int nZoomBy = nZoom);
RECT ZoomToClient(const RECT& rc, int nZoomBy = nZoom);
int ZoomToDesign(int v, int nZoomBy = nZoom);
POINT ZoomToDesign(POINT pt, int nZoomBy = nZoom);
RECT ZoomToDesign(const RECT& rc, int nZoomBy = nZoom);

// The top-left of hwnd's picture in its client area and its zoom.
POINT ZoomOriginOf(HWND hwnd);
// A point of hwnd's client area in design pixels, and back.
POINT ZoomClientToDesign(HWND hwnd, POINT pt);
POINT ZoomDesignToClient(HWND hwnd, POINT pt);

// --- The one canvas ---------------------------------------------------------------
// A picture drawn at design size and shown nZoomBy times larger: a memory
// context holding a 32-bit top-down DIB section of the design rectangle rc.
// Its logical coordinates are design coordinates (rc's top-left corner is its
// pixel 0, 0). The back buffers hold one for good; a dialog's painting, the
// help's pictures and the group boxes make one for the moment.
struct DesignCanvas {
    HDC hdc; // where to draw, in design pixels
    HBITMAP hbm;
    HGDIOBJ hbmOld;
    uint32_t* pBits; // its pixels, rc's width to a row, top row first
    RECT rc;         // the design rectangle it holds
};
// Makes *pCanvas for the design rectangle rc, its context compatible with
// hdcLike, filled with hbrFill (white when NULL). 1 when made; else 0 and
// nothing is held.
int DesignCanvasMake(DesignCanvas* pCanvas, HDC hdcLike, RECT rc, HBRUSH hbrFill);
// Copies the design rectangle rc of the canvas (what of it the canvas holds)
// to hdcDst, nZoomBy times larger, the design's (0, 0) at ptAt of hdcDst: at
// zoom 1 a BitBlt, else scaled here, nearest neighbour, a band of rows at a
// time, each band copied 1:1. 0 when nothing could be copied.
int DesignCanvasCopy(const DesignCanvas& canvas, RECT rc, HDC hdcDst, POINT ptAt, int nZoomBy);
// Frees what DesignCanvasMake made (nothing when it made nothing).
void DesignCanvasFree(DesignCanvas* pCanvas);

// Copies w x h design pixels at (xSrc, ySrc) of hdcSrc to (xDst, yDst) of
// hdcDst, nZoomBy times larger, nearest neighbour (a bitmap drawn straight to
// a window; what is drawn at design size goes through a DesignCanvas).
BOOL ZoomBlt(HDC hdcDst, int xDst, int yDst, int w, int h, HDC hdcSrc, int xSrc, int ySrc,
             int nZoomBy);
// The whole bitmap with its top-left corner at (x, y), nZoomBy times larger.
BOOL DrawBitmapZoomed(HDC hdc, HBITMAP hbm, int x, int y, int nZoomBy);
