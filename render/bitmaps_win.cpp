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

// The colour words of the resource names, in tile colour order.
const char* const kColorWord[NUM_COLORS] = {"GREEN",  "RED",   "YELLOW", "BLUE",
                                            "PURPLE", "WHITE", "DRED",   "LBLUE"};

// Deletes a handle of the set, if it holds one; returns 1 if it did.
int BitmapDrop(HBITMAP& hbm) {
    if (!hbm) return 0;
    DeleteObject(hbm);
    hbm = NULL;
    return 1;
}

void BitmapLoadInto(HBITMAP& hbm, const char* szName) {
    BitmapDrop(hbm); // a second load replaces the first without leaking it
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

BOOL DrawBitmap(HDC hdc, HBITMAP hbm, short x, short y) {
    BITMAP bm;
    // A resource that did not load draws nothing.
    if (!hbm || !GetObjectA(hbm, sizeof bm, &bm)) return TRUE;
    HDC hdcMem = SpriteContext();
    if (!hdcMem) return TRUE;
    HGDIOBJ hbmOld = SelectObject(hdcMem, hbm);
    SetMapMode(hdcMem, GetMapMode(hdc));
    POINT ptSize = {bm.bmWidth, bm.bmHeight};
    DPtoLP(hdc, &ptSize, 1);
    POINT ptOrigin = {0, 0};
    DPtoLP(hdcMem, &ptOrigin, 1);
    BitBlt(hdc, x, y, ptSize.x, ptSize.y, hdcMem, ptOrigin.x, ptOrigin.y, SRCCOPY);
    SelectObject(hdcMem, hbmOld);
    SetMapMode(hdcMem, MM_TEXT);
    ZoomMarkDC(hdc); // a sprite is one piece of the window's next copy
    return TRUE;
}

void DrawBitmapCentered(HDC hdc, HBITMAP hbm, int left, int top, int right, int bottom) {
    BITMAP bm;
    if (!hbm || !GetObjectA(hbm, sizeof bm, &bm)) return;
    int x = left + (right - left) / 2 - bm.bmWidth / 2;
    int y = top + (bottom - top) / 2 - bm.bmHeight / 2;
    HDC hdcMem = SpriteContext();
    if (!hdcMem) return;
    HGDIOBJ hbmOld = SelectObject(hdcMem, hbm);
    BitBlt(hdc, x, y, bm.bmWidth, bm.bmHeight, hdcMem, 0, 0, SRCCOPY);
    SelectObject(hdcMem, hbmOld);
}
