// The picture on Windows: a device context's pixels as a Picture, and a
// bitmap's pixels as a PictureBitmap.
//
// The back buffers are 32-bit top-down DIB sections, so their pixels are
// drawn on in place (no call to the system at all). Any other 32-bit
// top-down DIB section in a memory context is too. Anything else (a
// window's own context, a clipped paint, another depth) is copied into a
// picture of its clip box first and what changed is copied back at the end,
// so the routines draw the same pixels on every context.
#pragma once

#include <windows.h>

#include "render/picture.h"

struct PictureDC {
    Picture pic;
    Picture* pTarget; // what to draw on: pic, or a back buffer's own picture
    HDC hdc;
    // The copy of a context that cannot be drawn on in place.
    HDC hdcCopy;
    HBITMAP hbmCopy;
    HGDIOBJ hbmCopyOld;
};

// The picture behind hdc for one routine's drawing; NULL when none can be
// had (no context, or no memory for the copy). Every begin is matched by
// PictureDCEnd, which copies back what the copy's picture changed.
Picture* PictureDCBegin(HDC hdc, PictureDC* pScope);
void PictureDCEnd(PictureDC* pScope);

// The pixels of a bitmap (any depth, through the system's conversion) into
// pStore, at most nStore of them; 1 when done, *pBmp pointing into pStore.
int PictureBitmapOfHandle(HBITMAP hbm, uint32_t* pStore, size_t nStore, PictureBitmap* pBmp);

// A COLORREF as the picture's colour, and back.
inline PictureColor PictureColorOf(COLORREF cr) {
    return PictureRGB(GetRValue(cr), GetGValue(cr), GetBValue(cr));
}

// The Win32 text host: GDI onto the picture's own DIB section.
extern const PictureTextHost kPictureTextWin32;
