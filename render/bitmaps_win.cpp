// The bitmap set and the two blits every bitmap of the game goes through.
#include <cstdio>

#include "render/render_win.h"
#include "render/zoom_win.h"

HBITMAP ahTileFrame[NUM_COLORS][NUM_FRAMES];
HBITMAP ahFlatTile[NUM_COLORS];
HBITMAP hTileErase;
HBITMAP hFlatErase;
HBITMAP hPlayerErase;
HBITMAP ahPaddle[NUM_PADDLE_FRAMES];
HBITMAP hCreditsBitmap;

namespace {

HDC hdcSprite;

// --- The sprite sheet ----------------------------------------------------------
// Selecting a bitmap into a context costs Wine a few requests to its server
// each time (it asks after the display's depth), and a tick copies a dozen
// sprites. So the persistent set is copied once into one sheet, kept selected
// in a context of its own, and every sprite of the set is copied from its
// place there. A monochrome bitmap, whose copy takes the target's colours,
// is kept selected in a context of its own instead, as is the credits band.
// Every load or release of a handle of the set drops the sheet; the next
// copy makes it again.

struct SheetEntry {
    HBITMAP hbm;
    HDC hdcOwn; // the context of its own it is kept in, else NULL (on the sheet)
    HGDIOBJ hbmOwnOld;
    int x, y, w, h;
};

enum {
    SHEET_W = 1024,
    MAX_SHEET = NUM_COLORS * NUM_FRAMES + NUM_COLORS + 3 + NUM_PADDLE_FRAMES + 1,
};

struct Sheet {
    int bBuilt; // made (or tried) since the set last changed
    HDC hdc;
    HBITMAP hbm;
    HGDIOBJ hbmOld;
    int n;
    SheetEntry a[MAX_SHEET];
};
Sheet sheet;

void SheetFree() {
    for (int i = 0; i < sheet.n; i++) {
        SheetEntry& e = sheet.a[i];
        if (!e.hdcOwn) continue;
        SelectObject(e.hdcOwn, e.hbmOwnOld);
        DeleteDC(e.hdcOwn);
    }
    if (sheet.hdc) {
        SelectObject(sheet.hdc, sheet.hbmOld);
        DeleteDC(sheet.hdc);
    }
    if (sheet.hbm) DeleteObject(sheet.hbm);
    sheet = Sheet{};
}

// Every handle of the persistent set, and whether it needs a context of its
// own whatever its colours: the credits band copies a window onto its bitmap
// that must not reach a neighbour on the sheet.
template <class F> void ForEachOfTheSet(F f) {
    for (auto& row : ahTileFrame)
        for (HBITMAP hbm : row) f(hbm, false);
    for (HBITMAP hbm : ahFlatTile) f(hbm, false);
    f(hTileErase, false);
    f(hFlatErase, false);
    f(hPlayerErase, false);
    for (HBITMAP hbm : ahPaddle) f(hbm, false);
    f(hCreditsBitmap, true);
}

// Lays the set out in rows of the sheet and copies it there; what cannot be
// placed is copied the plain way.
void SheetBuild() {
    sheet.bBuilt = 1;
    SheetEntry aColour[MAX_SHEET];
    int nColour = 0, x = 0, y = 0, nRowH = 0;
    ForEachOfTheSet([&](HBITMAP hbm, bool bOwn) {
        BITMAP bm;
        if (!hbm || !GetObjectA(hbm, sizeof bm, &bm)) return;
        SheetEntry e = {hbm, NULL, NULL, 0, 0, bm.bmWidth, bm.bmHeight};
        if (bOwn || bm.bmBitsPixel == 1 || bm.bmWidth > SHEET_W) {
            e.hdcOwn = CreateCompatibleDC(NULL);
            if (!e.hdcOwn) return;
            e.hbmOwnOld = SelectObject(e.hdcOwn, hbm);
            sheet.a[sheet.n++] = e;
            return;
        }
        if (x + e.w > SHEET_W) {
            x = 0;
            y += nRowH;
            nRowH = 0;
        }
        e.x = x;
        e.y = y;
        x += e.w;
        if (e.h > nRowH) nRowH = e.h;
        aColour[nColour++] = e;
    });
    if (nColour == 0) return;
    HDC hdcScreen = GetDC(NULL);
    sheet.hdc = CreateCompatibleDC(hdcScreen);
    sheet.hbm = CreateCompatibleBitmap(hdcScreen, SHEET_W, y + nRowH);
    ReleaseDC(NULL, hdcScreen);
    HDC hdcMem = SpriteContext();
    if (!sheet.hdc || !sheet.hbm || !hdcMem) {
        if (sheet.hdc) DeleteDC(sheet.hdc);
        if (sheet.hbm) DeleteObject(sheet.hbm);
        sheet.hdc = NULL;
        sheet.hbm = NULL;
        return;
    }
    sheet.hbmOld = SelectObject(sheet.hdc, sheet.hbm);
    for (int i = 0; i < nColour; i++) {
        const SheetEntry& e = aColour[i];
        HGDIOBJ hbmOld = SelectObject(hdcMem, e.hbm);
        BitBlt(sheet.hdc, e.x, e.y, e.w, e.h, hdcMem, 0, 0, SRCCOPY);
        SelectObject(hdcMem, hbmOld);
        sheet.a[sheet.n++] = e;
    }
}

// The colour words of the resource names, in tile colour order.
const char* const kColorWord[NUM_COLORS] = {"GREEN",  "RED",   "YELLOW", "BLUE",
                                            "PURPLE", "WHITE", "DRED",   "LBLUE"};

// Deletes a handle of the set, if it holds one; returns 1 if it did.
int BitmapDrop(HBITMAP& hbm) {
    if (!hbm) return 0;
    SheetFree(); // it may hold this one
    DeleteObject(hbm);
    hbm = NULL;
    return 1;
}

void BitmapLoadInto(HBITMAP& hbm, const char* szName) {
    BitmapDrop(hbm); // a second load replaces the first without leaking it
    SheetFree();
    hbm = LoadGameBitmap(szName);
}

} // namespace

HBITMAP LoadGameBitmap(const char* szName) {
    return pfnRenderLoadBitmap(szName);
}

int LoadBitmaps() {
    char szName[32];
    for (int f = 0; f < NUM_FRAMES; f++) {
        for (int c = 0; c < NUM_COLORS; c++) {
            snprintf(szName, sizeof szName, "%sTILE%d", kColorWord[c], f);
            BitmapLoadInto(ahTileFrame[c][f], szName);
        }
    }
    BitmapLoadInto(hTileErase, "TILEERASE");
    for (int c = 0; c < NUM_COLORS; c++) {
        snprintf(szName, sizeof szName, "%sTILE", kColorWord[c]);
        BitmapLoadInto(ahFlatTile[c], szName);
    }
    BitmapLoadInto(hFlatErase, "SMALLTILEERASE");
    BitmapLoadInto(hPlayerErase, "PLAYERERASE");
    for (int i = 0; i < NUM_PADDLE_FRAMES; i++) {
        snprintf(szName, sizeof szName, "PADDLE%d", i);
        BitmapLoadInto(ahPaddle[i], szName);
    }
    return 1;
}

int LoadCreditsBitmap() {
    BitmapLoadInto(hCreditsBitmap, "CREDITS");
    return hCreditsBitmap != NULL;
}

int FreeBitmaps() {
    int nFreed = 0;
    for (auto& row : ahTileFrame)
        for (HBITMAP& hbm : row) nFreed += BitmapDrop(hbm);
    for (HBITMAP& hbm : ahFlatTile) nFreed += BitmapDrop(hbm);
    nFreed += BitmapDrop(hTileErase);
    nFreed += BitmapDrop(hFlatErase);
    nFreed += BitmapDrop(hPlayerErase);
    for (HBITMAP& hbm : ahPaddle) nFreed += BitmapDrop(hbm);
    nFreed += BitmapDrop(hCreditsBitmap);
    SheetFree();
    if (hdcSprite) DeleteDC(hdcSprite);
    hdcSprite = NULL;
    return nFreed;
}

HDC SpriteContext() {
    if (!hdcSprite) hdcSprite = CreateCompatibleDC(NULL);
    return hdcSprite;
}

HBITMAP TileFrameBitmap(int nColor, int nFrame) {
    if (nColor < 0 || nColor >= NUM_COLORS || nFrame < 0 || nFrame >= NUM_FRAMES) return NULL;
    return ahTileFrame[nColor][nFrame];
}

HBITMAP FlatTileBitmap(int nColor) {
    if (nColor < 0 || nColor >= NUM_COLORS) return NULL;
    return ahFlatTile[nColor];
}

int SpriteSourceOf(HBITMAP hbm, SpriteSource* pSrc) {
    *pSrc = SpriteSource{};
    if (!hbm) return 0;
    if (!sheet.bBuilt) SheetBuild();
    for (int i = 0; i < sheet.n; i++) {
        const SheetEntry& e = sheet.a[i];
        if (e.hbm != hbm) continue;
        *pSrc = e.hdcOwn ? SpriteSource{e.hdcOwn, 0, 0, e.w, e.h, NULL}
                         : SpriteSource{sheet.hdc, e.x, e.y, e.w, e.h, NULL};
        return 1;
    }
    // Not of the set: selected into the sprite context for this copy.
    BITMAP bm;
    HDC hdcMem = SpriteContext();
    if (!hdcMem || !GetObjectA(hbm, sizeof bm, &bm)) return 0;
    *pSrc = SpriteSource{hdcMem, 0, 0, bm.bmWidth, bm.bmHeight, SelectObject(hdcMem, hbm)};
    return 1;
}

void SpriteSourceDone(SpriteSource* pSrc) {
    if (pSrc->hbmOld) SelectObject(pSrc->hdc, pSrc->hbmOld);
    *pSrc = SpriteSource{};
}

BOOL DrawBitmap(HDC hdc, HBITMAP hbm, short x, short y) {
    // A resource that did not load draws nothing.
    SpriteSource src;
    if (!SpriteSourceOf(hbm, &src)) return TRUE;
    if (GetMapMode(hdc) == MM_TEXT) {
        BitBlt(hdc, x, y, src.w, src.h, src.hdc, src.x, src.y, SRCCOPY);
    } else {
        // Sizes in the target's logical units, the source's origin in its own.
        const int nModeOld = SetMapMode(src.hdc, GetMapMode(hdc));
        POINT ptSize = {src.w, src.h};
        DPtoLP(hdc, &ptSize, 1);
        POINT ptOrigin = {src.x, src.y};
        DPtoLP(src.hdc, &ptOrigin, 1);
        BitBlt(hdc, x, y, ptSize.x, ptSize.y, src.hdc, ptOrigin.x, ptOrigin.y, SRCCOPY);
        SetMapMode(src.hdc, nModeOld);
    }
    SpriteSourceDone(&src);
    ZoomMarkDC(hdc); // a sprite is one piece of the window's next copy
    return TRUE;
}

void DrawBitmapCentered(HDC hdc, HBITMAP hbm, int left, int top, int right, int bottom) {
    SpriteSource src;
    if (!SpriteSourceOf(hbm, &src)) return;
    int x = left + (right - left) / 2 - src.w / 2;
    int y = top + (bottom - top) / 2 - src.h / 2;
    BitBlt(hdc, x, y, src.w, src.h, src.hdc, src.x, src.y, SRCCOPY);
    SpriteSourceDone(&src);
}
