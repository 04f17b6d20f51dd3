// The browser's picture: the screens drawn from the game's bitmaps into one
// 640 x 480 buffer, in the same places and order as the window's drawing.
#include "web/screen_web.h"

#include <emscripten.h>

#include <cstdio>
#include <cstring>
#include <dirent.h>

#include "engine/game.h"
#include "prefs/prefs.h"
#include "render/goal.h"
#include "render/picture.h"
#include "scores/panel.h"

uint32_t aWebScreen[WEB_SCREEN_W * WEB_SCREEN_H];

namespace {
// The picture over the pixels, and the canvas's copy of its changed part.
Picture pic = PictureOver(aWebScreen, PictureRect{0, 0, WEB_SCREEN_W, WEB_SCREEN_H});
uint32_t aCanvas[WEB_SCREEN_W * WEB_SCREEN_H];

// What changed since the last present, as separate pieces: a tick's tiles
// and the credits band go to the canvas as themselves, not as the box around
// them all. Pieces that overlap or lie within PIECE_NEAR pixels merge; when
// the list is full, everything becomes one piece.
enum { MAX_PIECES = 24, PIECE_NEAR = 8 };
PictureRect aPiece[MAX_PIECES];
int nPieces;

bool PiecesNear(const PictureRect& a, const PictureRect& b) {
    return a.left <= b.right + PIECE_NEAR && b.left <= a.right + PIECE_NEAR &&
           a.top <= b.bottom + PIECE_NEAR && b.top <= a.bottom + PIECE_NEAR;
}

PictureRect PieceUnion(const PictureRect& a, const PictureRect& b) {
    return PictureRect{a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                       a.right > b.right ? a.right : b.right,
                       a.bottom > b.bottom ? a.bottom : b.bottom};
}

void PieceAdd(PictureRect rc) {
    for (int i = 0; i < nPieces; i++) {
        if (!PiecesNear(aPiece[i], rc)) continue;
        rc = PieceUnion(aPiece[i], rc);
        aPiece[i] = aPiece[--nPieces];
        i = -1; // the grown piece may reach others now
    }
    if (nPieces == MAX_PIECES) {
        for (int i = 0; i < nPieces; i++) rc = PieceUnion(rc, aPiece[i]);
        nPieces = 0;
    }
    aPiece[nPieces++] = rc;
}

// Moves what the last drawing changed into the pieces.
void PieceTake() {
    PictureRect rc;
    if (PictureTakeChanged(&pic, &rc)) PieceAdd(rc);
}
} // namespace

namespace {

enum {
    MAX_BITMAPS = 256,
    NAME_LEN = 24,
    PIXEL_POOL = 1 << 20, // every bitmap of the game fits in four megabytes
    MAX_FILE = 1 << 18,
    PADDLE_FRAMES = 9,
    PADDLE_ALL_LIT = 8,
    PADDLE_STEP_MS = 266,
    PADDLE_FLASH_MS = 116,
    CREDITS_LAST_OFFSET = 2424,
    CREDITS_STEP = 3,
    CREDITS_BAND_W = 329,
    CREDITS_BAND_H = 28,
    CHASE_TICKS = 11,
    CHASE_STEPS = 8,
};
// Where the side panel lies in the picture.
constexpr int PANEL_X = 29, PANEL_Y = 34;

struct NamedBitmap {
    char szName[NAME_LEN];
    WebBitmap bm;
};

NamedBitmap aBitmap[MAX_BITMAPS];
int nBitmaps;
uint32_t aPool[PIXEL_POOL];
int nPoolUsed;
uint8_t aFile[MAX_FILE];

int nPaddleFrame;
uint32_t dwPaddleFrameTime;
int bPaddleFlash;
uint32_t dwFlashStart;
int bCreditsBandBlank;
int nChaseTicks, nChaseStep, nChasePrev, nFramedButton;

const uint32_t kBlack = PictureRGB(0, 0, 0);
const uint32_t kWhite = PictureRGB(255, 255, 255);

uint32_t LightGrey() {
    return WebRgb(192, 192, 192);
}

int LaneValid(int nLane) {
    return nLane >= 0 && nLane < NUM_LANES;
}

int HeldCount() {
    if (game.nHeld < 0) return 0;
    return game.nHeld > MAX_HELD ? MAX_HELD : game.nHeld;
}

const char* const kColorWord[NUM_COLORS] = {"GREEN",  "RED",   "YELLOW", "BLUE",
                                            "PURPLE", "WHITE", "DRED",   "LBLUE"};

const WebBitmap* TileFrame(int nColor, int nFrame) {
    if (nColor < 0 || nColor >= NUM_COLORS || nFrame < 0 || nFrame >= NUM_FRAMES) return nullptr;
    char sz[NAME_LEN];
    snprintf(sz, sizeof sz, "%sTILE%d", kColorWord[nColor], nFrame);
    return WebBitmapNamed(sz);
}

const WebBitmap* FlatTile(int nColor) {
    if (nColor < 0 || nColor >= NUM_COLORS) return WebBitmapNamed("SMALLTILEERASE");
    char sz[NAME_LEN];
    snprintf(sz, sizeof sz, "%sTILE", kColorWord[nColor]);
    return WebBitmapNamed(sz);
}

int TicksOver(uint32_t dwSince, uint32_t nPeriod) {
    return (uint32_t)(WebTickCount() - dwSince) > nPeriod;
}

void DrawPaddle(int bForce) {
    if (TicksOver(dwPaddleFrameTime, PADDLE_STEP_MS)) {
        dwPaddleFrameTime = WebTickCount();
        nPaddleFrame = nPaddleFrame >= PADDLE_ALL_LIT - 1 ? 0 : nPaddleFrame + 1;
        bForce = 1;
    }
    if (LaneValid(game.nPaddleLane) && (bPaddleFlash || bForce)) {
        char sz[NAME_LEN];
        snprintf(sz, sizeof sz, "PADDLE%d", bPaddleFlash ? PADDLE_ALL_LIT : nPaddleFrame);
        WebBlitNamed(sz, aLaneX[game.nPaddleLane], game.nPaddleY);
    }
    if (bPaddleFlash && TicksOver(dwFlashStart, PADDLE_FLASH_MS)) bPaddleFlash = 0;
}

void PaintBackground(int nLevel) {
    char sz[NAME_LEN];
    snprintf(sz, sizeof sz, "LEVEL%d", nLevel == -1 || !prefs.bPatterns ? 1 : nLevel);
    const WebBitmap* pBm = WebBitmapNamed(sz);
    if (!pBm || pBm->w <= 0 || pBm->h <= 0) return;
    for (int i = 0; i <= WEB_SCREEN_W / pBm->w; i++)
        for (int j = 0; j <= WEB_SCREEN_H / pBm->h; j++) WebBlit(pBm, pBm->w * i, pBm->h * j);
}

void LightGreyRect(int l, int t, int r, int b) {
    WebRectangle(l, t, r, b, kBlack, LightGrey());
}

void RightPanelPaint() {
    LightGreyRect(505, 34, 600, 450);
    WebExtrudedFrame(506, 34, 598, 450, 10, 1);
    for (int i = 0; i < WEB_NUM_BUTTONS; i++) WebDrawButton(i, 0);
}

void TitleBoxPaint(int top, int bottom, const char* szPicture) {
    LightGreyRect(85, top, 420, bottom);
    WebBlitNamed(szPicture, 105, top);
    WebExtrudedFrame(85, top, 419, bottom, 5, 1);
}

void FrameButton(int nButton, int bOn) {
    static const uint32_t aFrame[WEB_NUM_BUTTONS][3] = {{255, 0, 0}, {255, 255, 0}, {0, 255, 0},
                                                        {0, 0, 255}, {0, 255, 255}, {255, 0, 255}};
    if (nButton == -1) nButton = nFramedButton;
    if (nButton < 0 || nButton >= WEB_NUM_BUTTONS) return;
    if (bOn) nFramedButton = nButton;
    const uint32_t c =
        bOn ? WebRgb((int)aFrame[nButton][0], (int)aFrame[nButton][1], (int)aFrame[nButton][2])
            : LightGrey();
    const int l = WEB_BUTTON_X - 2, t = WEB_BUTTON_Y + WEB_BUTTON_STEP_Y * nButton - 2;
    const int r = WEB_BUTTON_X + WEB_BUTTON_W + 2, b = t + WEB_BUTTON_H + 4;
    for (int k = 0; k < 2; k++) {
        WebFill(l + k, t + k, r - k, t + k + 1, c);
        WebFill(l + k, b - k - 1, r - k, b - k, c);
        WebFill(l + k, t + k, l + k + 1, b - k, c);
        WebFill(r - k - 1, t + k, r - k, b - k, c);
    }
}

void PanelPaint() {
    const int x = PANEL_X, y = PANEL_Y;
    WebRectangle(x, y, x + 219, y + 416, kBlack, LightGrey());
    static const int aFrame[5][4] = {{9, 12, 209, 106},
                                     {9, 125, 209, 165},
                                     {9, 180, 209, 220},
                                     {9, 236, 209, 277},
                                     {9, 364, 209, 404}};
    for (const auto& f : aFrame) WebExtrudedFrame(x + f[0], y + f[1], x + f[2], y + f[3], 5, 1);
    WebRectangle(x + 14, y + 249, x + 199, y + 268, kBlack, kWhite);
    WebPanelLives();
    WebBlitNamed("TITLE", x + 9, y + 13);
    WebExtrudedFrame(x + 9, y + 12, x + 209, y + 106, 5, 1);
    WebBlitNamed(GoalPictureName(GoalKind()), x + GOAL_PIC_X, y + GOAL_PIC_Y);
    WebExtrudedFrame(x + GOAL_PIC_X, y + GOAL_PIC_Y, x + 204, y + 351, 5, 0);
    static const int aLine[3][4] = {{14, 137, 203, 156}, {14, 191, 203, 210}, {14, 376, 203, 395}};
    for (const auto& l : aLine)
        WebRectangle(x + l[0], y + l[1], x + l[2], y + l[3], kBlack, kWhite);
    WebPanelText();
}

void GameScreenPaint() {
    bCreditsBandBlank = 0;
    PaintBackground(game.nLevel);
    RightPanelPaint();
    LightGreyRect(29, 34, 248, 450);
    WebExtrudedFrame(29, 34, 247, 450, 10, 0);
    WebRectangle(aLaneX[0] - 1, 301, aLaneX[4] + 42, aRowY[0] + 14, kBlack, kWhite);
    WebDrawBins();
    LightGreyRect(aLaneX[0] - 1, 34, aLaneX[4] + 42, 302);
    WebExtrudedFrame(aLaneX[0] - 1, 34, aLaneX[4] + 41, 450, 10, 0);
    PanelPaint();
    if (game.bPaused) WebShowPauseLogo(1);
    DrawPaddle(1);
}

void TitleScreenPaint() {
    PaintBackground(-1);
    RightPanelPaint();
    LightGreyRect(29, 34, aLaneX[4] + 42, 450);
    WebExtrudedFrame(29, 34, 479, 450, 10, 1);
    TitleBoxPaint(105, 225, "MAINTITLE");
    TitleBoxPaint(270, 390, "MAINCREDITS");
    WebRectangle(90, 230, 424, 260, kBlack, kWhite);
    for (const FallingTile& t : game.aTitleTiles) WebBlit(TileFrame(t.nColor, t.nFrame), t.x, t.y);
    bCreditsBandBlank = 1;
    FrameButton(-1, 1);
}

} // namespace

EM_JS(void, WebPutPixels, (const uint32_t* p, int l, int t, int r, int b),
      { Module.quarrionPut(p, l, t, r, b); });
EM_JS(void, WebTextLine, (int nSlot, const char* sz, int l, int t, int r, int b, int nColor),
      { Module.quarrionText(nSlot, UTF8ToString(sz), l, t, r, b, nColor); });
EM_JS(double, WebNowMs, (), { return performance.now(); });

uint32_t WebRgb(int r, int g, int b) {
    return PictureRGB(r, g, b);
}

uint32_t WebTickCount() {
    return (uint32_t)(uint64_t)WebNowMs();
}

int WebBitmapsLoad(const char* szDir) {
    DIR* pDir = opendir(szDir);
    if (!pDir) return 0;
    while (dirent* pEntry = readdir(pDir)) {
        const char* szName = pEntry->d_name;
        const size_t nLen = strlen(szName);
        if (nLen < 5 || nLen - 4 >= NAME_LEN || strcmp(szName + nLen - 4, ".bmp") != 0) continue;
        if (nBitmaps >= MAX_BITMAPS) break;
        char szPath[256];
        snprintf(szPath, sizeof szPath, "%s/%s", szDir, szName);
        FILE* pFile = fopen(szPath, "rb");
        if (!pFile) continue;
        const int nRead = (int)fread(aFile, 1, sizeof aFile, pFile);
        fclose(pFile);
        NamedBitmap& nb = aBitmap[nBitmaps];
        const size_t nPixels = PictureBitmapSize(aFile, (size_t)nRead);
        if (nPixels == 0 || nPixels > (size_t)(PIXEL_POOL - nPoolUsed) ||
            !PictureBitmapDecode(aFile, (size_t)nRead, aPool + nPoolUsed, nPixels, &nb.bm))
            continue;
        snprintf(nb.szName, sizeof nb.szName, "%.*s", (int)(nLen - 4), szName);
        nPoolUsed += (int)nPixels;
        nBitmaps += 1;
    }
    closedir(pDir);
    return nBitmaps;
}

const WebBitmap* WebBitmapNamed(const char* szName) {
    for (int i = 0; i < nBitmaps; i++)
        if (strcmp(aBitmap[i].szName, szName) == 0) return &aBitmap[i].bm;
    return nullptr;
}

void WebFill(int l, int t, int r, int b, uint32_t c) {
    PictureFill(&pic, PictureRect{l, t, r, b}, c);
    PieceTake();
}

void WebRectangle(int l, int t, int r, int b, uint32_t cPen, uint32_t cBrush) {
    PictureRectangle(&pic, PictureRect{l, t, r, b}, &cPen, &cBrush);
    PieceTake();
}

void WebLine(int x0, int y0, int x1, int y1, uint32_t c) {
    PictureLine(&pic, x0, y0, x1, y1, c);
    PieceTake();
}

void WebBlitPart(const WebBitmap* pBm, int xSrc, int ySrc, int w, int h, int x, int y) {
    if (pBm) PictureBlit(&pic, x, y, PictureBitmapPart(*pBm, xSrc, ySrc, w, h));
    PieceTake();
}

void WebBlit(const WebBitmap* pBm, int x, int y) {
    if (pBm) PictureBlit(&pic, x, y, *pBm);
    PieceTake();
}

void WebBlitNamed(const char* szName, int x, int y) {
    WebBlit(WebBitmapNamed(szName), x, y);
}

// The frames' two slanting faces, grey in black, and their bevel.
void WebExtrudedFrame(int L, int T, int R, int B, int d, int bBevel) {
    const uint32_t cGrey = PictureRGB(128, 128, 128), cShadow = PictureRGB(127, 127, 127);
    const PicturePoint aRight[5] = {{R, T}, {R + d, T - d}, {R + d, B - d - 1}, {R, B - 1}, {R, T}};
    PicturePolygon(&pic, aRight, 5, kBlack, cGrey);
    const PicturePoint aTop[5] = {{L, T}, {L + d, T - d}, {R + d, T - d}, {R, T}, {L, T}};
    PicturePolygon(&pic, aTop, 5, kBlack, cGrey);
    PieceTake();
    if (!bBevel) return;
    const int l = L + 1, t = T + 1, r = R - 1, b = B - 2;
    WebLine(l, b, l, t, kWhite);
    WebLine(l, t, r, t, kWhite);
    WebLine(r, t, r, b, cShadow);
    WebLine(r, b, l, b, cShadow);
}

void WebDrawButton(int nButton, int bPressed) {
    static const char* const aName[WEB_NUM_BUTTONS][2] = {
        {"NEWBTNUP", "NEWBTNDOWN"},     {"OPTIONBTNUP", "OPTIONBTNDOWN"},
        {"SCOREBTNUP", "SCOREBTNDOWN"}, {"WARPBTNUP", "WARPBTNDOWN"},
        {"HELPBTNUP", "HELPBTNDOWN"},   {"QUITBTNUP", "QUITBTNDOWN"}};
    if (nButton < 0 || nButton >= WEB_NUM_BUTTONS) return;
    const WebBitmap* pBm = WebBitmapNamed(aName[nButton][bPressed ? 1 : 0]);
    const int x = WEB_BUTTON_X, y = WEB_BUTTON_Y + WEB_BUTTON_STEP_Y * nButton;
    if (!pBm || pBm->w <= 0 || pBm->h <= 0) return;
    // The bitmap is stretched to the button, nearest neighbour.
    for (int j = 0; j < WEB_BUTTON_H; j++)
        for (int i = 0; i < WEB_BUTTON_W; i++)
            aWebScreen[(y + j) * WEB_SCREEN_W + x + i] =
                pBm->pPixels[(j * pBm->h / WEB_BUTTON_H) * pBm->nStride +
                             i * pBm->w / WEB_BUTTON_W];
    PictureNoteChanged(&pic, PictureRect{x, y, x + WEB_BUTTON_W, y + WEB_BUTTON_H});
    PieceTake();
}

void WebPaintMain() {
    if (game.bGameRunning) {
        GameScreenPaint();
    } else {
        TitleScreenPaint();
        for (int i = 0; i < 3; i++) WebTextLine(i, "", 0, 0, 0, 0, 0);
    }
}

void WebTitleTick(int bActive) {
    if (!bActive) {
        const int bBlank = bCreditsBandBlank && game.nCreditsOffset == 0;
        game.nCreditsOffset = 0;
        if (bBlank) return;
        WebFill(91, 231, 423, 259, kWhite);
        bCreditsBandBlank = 1;
        return;
    }
    if (game.nCreditsOffset < 0 || game.nCreditsOffset > CREDITS_LAST_OFFSET)
        game.nCreditsOffset = 0;
    WebBlitPart(WebBitmapNamed("CREDITS"), game.nCreditsOffset, 0, CREDITS_BAND_W, CREDITS_BAND_H,
                94, 231);
    bCreditsBandBlank = 0;
    game.nCreditsOffset += CREDITS_STEP;
    if (game.nCreditsOffset > CREDITS_LAST_OFFSET + 1) game.nCreditsOffset = 0;
    const int nFirst = game.nCreditsOffset % 2 == 0 ? 0 : NUM_TITLE_TILES / 2;
    for (int i = nFirst; i < nFirst + NUM_TITLE_TILES / 2; i++) {
        FallingTile& t = game.aTitleTiles[i];
        WebBlit(TileFrame(t.nColor, t.nFrame), t.x, t.y);
        t.nFrame = t.nFrame >= NUM_FRAMES - 1 || t.nFrame < 0 ? 0 : t.nFrame + 1;
    }
}

void WebButtonChaseTick() {
    nChaseTicks += 1;
    if (nChaseTicks < CHASE_TICKS) return;
    nChaseTicks = 0;
    nChaseStep += 1;
    if (nChaseStep >= CHASE_STEPS) nChaseStep = 0;
    if (nChaseStep < WEB_NUM_BUTTONS) {
        FrameButton(nChasePrev, 0);
        FrameButton(nChaseStep, 1);
        nChasePrev = nChaseStep;
    } else if (nChaseStep == WEB_NUM_BUTTONS) {
        FrameButton(nChasePrev, 0);
    }
}

void WebDrawBins() {
    for (int b = 0; b < NUM_LANES; b++)
        for (int r = 0; r < NUM_ROWS; r++)
            WebBlit(FlatTile(game.aBinCell[b * NUM_ROWS + r]), aLaneX[b], aRowY[r]);
    const int xLeft = aLaneX[0] - 1, xRight = aLaneX[4] + 42;
    const int yBottom = aRowY[0] + 13, yTop = aRowY[4] - 3;
    for (int r = 0; r < NUM_ROWS; r++) WebLine(xLeft, aRowY[r] + 13, xRight, aRowY[r] + 13, kBlack);
    WebLine(xLeft, yTop, xRight, yTop, kBlack);
    for (int b = 0; b < NUM_LANES; b++)
        WebLine(aLaneX[b] - 1, yBottom, aLaneX[b] - 1, yTop, kBlack);
    WebLine(aLaneX[4] + 41, yBottom, aLaneX[4] + 41, yTop, kBlack);
}

int WebDrawPaddleStack() {
    if (!game.bGameRunning) return 0;
    DrawPaddle(1);
    if (LaneValid(game.nPaddleLane))
        for (int i = 0; i < HeldCount(); i++)
            WebBlit(FlatTile(game.aHeld[i]), aLaneX[game.nPaddleLane], game.nPaddleY - 10 - 10 * i);
    return 1;
}

int WebErasePaddleStack() {
    if (!LaneValid(game.nPaddleLane)) return 0;
    const int x = aLaneX[game.nPaddleLane];
    WebBlitNamed("PLAYERERASE", x, game.nPaddleY);
    for (int i = 0; i < HeldCount(); i++)
        WebBlitNamed("SMALLTILEERASE", x, game.nPaddleY - 10 - 10 * i);
    return 1;
}

int WebPaddleLightTick() {
    DrawPaddle(0);
    return 1;
}

int WebStartPaddleFlash() {
    bPaddleFlash = 1;
    dwFlashStart = WebTickCount();
    return 1;
}

void WebShowPauseLogo(int bOn) {
    const int l = aLaneX[0], t = 35, r = aLaneX[4] + 41, b = 301;
    WebFill(l, t, r, b, LightGrey());
    if (!bOn) return;
    const WebBitmap* pBm = WebBitmapNamed("PAUSEDLOGO");
    if (pBm) WebBlit(pBm, l + (r - l) / 2 - pBm->w / 2, t + (b - t) / 2 - pBm->h / 2);
}

void WebDrawGoalPicture() {
    const int nKind = GoalKind();
    WebBlitNamed(GoalPictureName(nKind), PANEL_X + GOAL_PIC_X, PANEL_Y + GOAL_PIC_Y);
    GoalStep step;
    if (!GoalPictureStep(nKind, &step) || step.nCells == 0) return;
    static const int aCell[8][3] = {{127, 0, 0}, {255, 255, 0}, {255, 0, 0}, {0, 255, 255},
                                    {0, 0, 255}, {255, 0, 255}, {0, 255, 0}, {0, 127, 0}};
    const int* c = aCell[step.nColor & 7];
    for (int i = 0; i < step.nCells; i++) {
        GoalRect rc = GoalCellRect(step.pCells[i].nCol, step.pCells[i].nRow);
        WebRectangle(PANEL_X + rc.left, PANEL_Y + rc.top, PANEL_X + rc.right, PANEL_Y + rc.bottom,
                     kBlack, WebRgb(c[0], c[1], c[2]));
    }
}

void WebPanelLives() {
    const int nIcons = game.nLives < PANEL_MAX_LIVES ? game.nLives : PANEL_MAX_LIVES;
    WebFill(PANEL_X + 15, PANEL_Y + 250, PANEL_X + 198, PANEL_Y + 267, kWhite);
    for (int i = 0; i < nIcons; i++) WebBlitNamed("LIFE", PANEL_X + 18 + 25 * i, PANEL_Y + 255);
}

void WebPanelText() {
    if (!game.bGameRunning) return;
    char sz[PANEL_TEXT_LEN];
    PanelLevelText(game.nLevel, sz, sizeof sz);
    WebTextLine(0, sz, PANEL_X + 15, PANEL_Y + 138, PANEL_X + 202, PANEL_Y + 155, 0x0000FF);
    PanelScoreText(game.lScore, sz, sizeof sz);
    WebTextLine(1, sz, PANEL_X + 15, PANEL_Y + 192, PANEL_X + 202, PANEL_Y + 209, 0xFF0000);
    PanelGoalText(game.nGoalLeft, GoalKind(), sz, sizeof sz);
    WebTextLine(2, sz, PANEL_X + 15, PANEL_Y + 377, PANEL_X + 202, PANEL_Y + 394, 0x007F00);
}

void WebScreenDirtyAll() {
    PictureNoteChanged(&pic, PictureRect{0, 0, WEB_SCREEN_W, WEB_SCREEN_H});
    PieceTake();
}

// Each changed piece goes to the canvas as its own bytes: R, G, B, A.
int WebPresent() {
    PieceTake();
    const int n = nPieces;
    for (int k = 0; k < n; k++) {
        const PictureRect rc = aPiece[k];
        const int w = rc.right - rc.left;
        for (int y = rc.top; y < rc.bottom; y++) {
            const uint32_t* pFrom = aWebScreen + y * WEB_SCREEN_W + rc.left;
            uint32_t* pTo = aCanvas + (y - rc.top) * w;
            for (int x = 0; x < w; x++) {
                const uint32_t v = pFrom[x];
                pTo[x] = 0xFF000000u | (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
            }
        }
        WebPutPixels(aCanvas, rc.left, rc.top, rc.right, rc.bottom);
    }
    nPieces = 0;
    return n > 0;
}
