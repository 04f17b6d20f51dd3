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

// --- The set's pixels -----------------------------------------------------------
// The persistent set is converted to pixels once, at the first copy after it
// loads, so a sprite's copy is a copy of memory and asks the system nothing.
// Every load or release of a handle of the set drops the pixels; the next
// copy makes them again.

struct SetEntry {
    HBITMAP hbm;
    PictureBitmap bmp;
};

enum {
    MAX_SET = NUM_COLORS * NUM_FRAMES + NUM_COLORS + 3 + NUM_PADDLE_FRAMES + 1,
    SET_PIXELS = 640 * 1024,  // the set's pixels (about 330,000 at the game's sizes)
    LOOSE_PIXELS = 640 * 480, // one bitmap of no set, converted for its copy
};

struct SetPixels {
    int bBuilt; // made (or tried) since the set last changed
    int n;
    SetEntry a[MAX_SET];
};
SetPixels set;
uint32_t aSetStore[SET_PIXELS];
uint32_t aLooseStore[LOOSE_PIXELS];

void SetFree() {
    set = SetPixels{};
}

// Every handle of the persistent set.
template <class F> void ForEachOfTheSet(F f) {
    for (auto& row : ahTileFrame)
        for (HBITMAP hbm : row) f(hbm);
    for (HBITMAP hbm : ahFlatTile) f(hbm);
    f(hTileErase);
    f(hFlatErase);
    f(hPlayerErase);
    for (HBITMAP hbm : ahPaddle) f(hbm);
    f(hCreditsBitmap);
}

void SetBuild() {
    set.bBuilt = 1;
    size_t nUsed = 0;
    ForEachOfTheSet([&](HBITMAP hbm) {
        PictureBitmap bmp;
        if (!hbm || set.n >= MAX_SET ||
            !PictureBitmapOfHandle(hbm, aSetStore + nUsed, SET_PIXELS - nUsed, &bmp))
            return;
        nUsed += (size_t)bmp.w * bmp.h;
        set.a[set.n++] = SetEntry{hbm, bmp};
    });
}

// The colour words of the resource names, in tile colour order.
const char* const kColorWord[NUM_COLORS] = {"GREEN",  "RED",   "YELLOW", "BLUE",
                                            "PURPLE", "WHITE", "DRED",   "LBLUE"};

// Deletes a handle of the set, if it holds one; returns 1 if it did.
int BitmapDrop(HBITMAP& hbm) {
    if (!hbm) return 0;
    SetFree(); // it may hold this one
    DeleteObject(hbm);
    hbm = NULL;
    return 1;
}

void BitmapLoadInto(HBITMAP& hbm, const char* szName) {
    BitmapDrop(hbm); // a second load replaces the first without leaking it
    SetFree();
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
    SetFree();
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

int PictureBitmapOf(HBITMAP hbm, PictureBitmap* pBmp) {
    *pBmp = PictureBitmap{};
    if (!hbm) return 0;
    if (!set.bBuilt) SetBuild();
    for (int i = 0; i < set.n; i++)
        if (set.a[i].hbm == hbm) {
            *pBmp = set.a[i].bmp;
            return 1;
        }
    return PictureBitmapOfHandle(hbm, aLooseStore, LOOSE_PIXELS, pBmp);
}

int SpriteSourceOf(HBITMAP hbm, SpriteSource* pSrc) {
    *pSrc = SpriteSource{};
    BITMAP bm;
    HDC hdcMem = SpriteContext();
    if (!hbm || !hdcMem || !GetObjectA(hbm, sizeof bm, &bm)) return 0;
    *pSrc = SpriteSource{hdcMem, 0, 0, bm.bmWidth, bm.bmHeight, SelectObject(hdcMem, hbm)};
    return 1;
}

void SpriteSourceDone(SpriteSource* pSrc) {
    if (pSrc->hbmOld) SelectObject(pSrc->hdc, pSrc->hbmOld);
    *pSrc = SpriteSource{};
}

// The system's copy, for a context that is not in the picture's terms (a
// mapping mode of its own) or a bitmap too large to convert.
static void DrawBitmapBySystem(HDC hdc, HBITMAP hbm, int x, int y) {
    SpriteSource src;
    if (!SpriteSourceOf(hbm, &src)) return;
    POINT ptSize = {src.w, src.h};
    if (GetMapMode(hdc) != MM_TEXT) {
        // Sizes in the target's logical units, the source's origin in its own.
        const int nModeOld = SetMapMode(src.hdc, GetMapMode(hdc));
        DPtoLP(hdc, &ptSize, 1);
        BitBlt(hdc, x, y, ptSize.x, ptSize.y, src.hdc, 0, 0, SRCCOPY);
        SetMapMode(src.hdc, nModeOld);
    } else {
        BitBlt(hdc, x, y, src.w, src.h, src.hdc, 0, 0, SRCCOPY);
    }
    SpriteSourceDone(&src);
}

BOOL DrawBitmap(HDC hdc, HBITMAP hbm, short x, short y) {
    // A resource that did not load draws nothing.
    if (!hbm) return TRUE;
    PictureBitmap bmp;
    if (GetMapMode(hdc) != MM_TEXT || !PictureBitmapOf(hbm, &bmp)) {
        DrawBitmapBySystem(hdc, hbm, x, y);
    } else {
        PictureDC scope;
        Picture* pPic = PictureDCBegin(hdc, &scope);
        if (pPic) PictureBlit(pPic, x, y, bmp);
        PictureDCEnd(&scope);
    }
    ZoomMarkDC(hdc); // a sprite is one piece of the window's next copy
    return TRUE;
}

void DrawBitmapCentered(HDC hdc, HBITMAP hbm, int left, int top, int right, int bottom) {
    PictureBitmap bmp;
    if (!PictureBitmapOf(hbm, &bmp)) return;
    PictureDC scope;
    Picture* pPic = PictureDCBegin(hdc, &scope);
    if (pPic) PictureBlitCentered(pPic, bmp, PictureRect{left, top, right, bottom});
    PictureDCEnd(&scope);
}
