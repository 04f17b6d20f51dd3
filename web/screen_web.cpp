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
#include "scores/panel.h"

uint32_t aWebScreen[WEB_SCREEN_W * WEB_SCREEN_H];

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

// The changed rectangle since the last present.
int dirtyL = WEB_SCREEN_W, dirtyT = WEB_SCREEN_H, dirtyR, dirtyB;

int nPaddleFrame;
uint32_t dwPaddleFrameTime;
int bPaddleFlash;
uint32_t dwFlashStart;
int bCreditsBandBlank;
int nChaseTicks, nChaseStep, nChasePrev, nFramedButton;

const uint32_t kBlack = 0xFF000000u;
const uint32_t kWhite = 0xFFFFFFFFu;

uint32_t LightGrey() {
    return WebRgb(192, 192, 192);
}

void Dirty(int l, int t, int r, int b) {
    if (l < 0) l = 0;
    if (t < 0) t = 0;
    if (r > WEB_SCREEN_W) r = WEB_SCREEN_W;
    if (b > WEB_SCREEN_H) b = WEB_SCREEN_H;
    if (l >= r || t >= b) return;
    if (l < dirtyL) dirtyL = l;
    if (t < dirtyT) dirtyT = t;
    if (r > dirtyR) dirtyR = r;
    if (b > dirtyB) dirtyB = b;
}

uint32_t ReadLE(const uint8_t* p, int n) {
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; i--) v = (v << 8) | p[i];
    return v;
}

// Fills the inside of a convex four-cornered shape (and its outline) the way
// the frames' polygons are drawn: grey inside a black pen.
void Quad(const int ax[4], const int ay[4], uint32_t cFill) {
    int minY = ay[0], maxY = ay[0];
    for (int i = 1; i < 4; i++) {
        if (ay[i] < minY) minY = ay[i];
        if (ay[i] > maxY) maxY = ay[i];
    }
    for (int y = minY; y <= maxY; y++) {
        double xl = 1e9, xr = -1e9;
        for (int i = 0; i < 4; i++) {
            int j = (i + 1) % 4;
            int y0 = ay[i], y1 = ay[j];
            if ((y < y0 && y < y1) || (y > y0 && y > y1)) continue;
            if (y0 == y1) {
                xl = ax[i] < xl ? ax[i] : xl;
                xl = ax[j] < xl ? ax[j] : xl;
                xr = ax[i] > xr ? ax[i] : xr;
                xr = ax[j] > xr ? ax[j] : xr;
                continue;
            }
            double x = ax[i] + (double)(ax[j] - ax[i]) * (y - y0) / (y1 - y0);
            if (x < xl) xl = x;
            if (x > xr) xr = x;
        }
        if (xl > xr) continue;
        WebFill((int)(xl + 0.5), y, (int)(xr + 0.5) + 1, y + 1, cFill);
    }
    for (int i = 0; i < 4; i++) {
        int j = (i + 1) % 4;
        int x0 = ax[i], y0 = ay[i], x1 = ax[j], y1 = ay[j];
        int n = (x1 - x0 < 0 ? x0 - x1 : x1 - x0);
        int m = (y1 - y0 < 0 ? y0 - y1 : y1 - y0);
        if (m > n) n = m;
        for (int k = 0; k <= n; k++) {
            int x = n ? x0 + (x1 - x0) * k / n : x0, y = n ? y0 + (y1 - y0) * k / n : y0;
            WebFill(x, y, x + 1, y + 1, kBlack);
        }
    }
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
    return 0xFF000000u | (uint32_t)b << 16 | (uint32_t)g << 8 | (uint32_t)r;
}

uint32_t WebTickCount() {
    return (uint32_t)(uint64_t)WebNowMs();
}

int WebBmpDecode(const uint8_t* p, int n, uint32_t* pOut, int nRoom, int* pW, int* pH) {
    if (n < 54 || p[0] != 'B' || p[1] != 'M') return 0;
    const uint32_t nOffset = ReadLE(p + 10, 4), nHeader = ReadLE(p + 14, 4);
    const int w = (int)ReadLE(p + 18, 4);
    int h = (int)ReadLE(p + 22, 4);
    const int nBits = (int)ReadLE(p + 28, 2), nCompression = (int)ReadLE(p + 30, 4);
    const bool bTopDown = h < 0;
    if (bTopDown) h = -h;
    if (w <= 0 || h <= 0 || w * h > nRoom || nCompression != 0) return 0;
    if (nBits != 1 && nBits != 4 && nBits != 8 && nBits != 24 && nBits != 32) return 0;
    const int nRow = ((w * nBits + 31) / 32) * 4;
    if ((int64_t)nOffset + (int64_t)nRow * h > n) return 0;
    uint32_t aPalette[256] = {};
    const uint8_t* pPal = p + 14 + nHeader;
    int nColours = (int)ReadLE(p + 46, 4);
    if (nBits <= 8 && nColours == 0) nColours = 1 << nBits;
    for (int i = 0; i < nColours && i < 256 && pPal + 4 * i + 3 < p + n; i++)
        aPalette[i] = WebRgb(pPal[4 * i + 2], pPal[4 * i + 1], pPal[4 * i]);
    for (int y = 0; y < h; y++) {
        const uint8_t* pRow = p + nOffset + (size_t)nRow * (bTopDown ? y : h - 1 - y);
        uint32_t* pDst = pOut + (size_t)y * w;
        for (int x = 0; x < w; x++) {
            switch (nBits) {
            case 1: pDst[x] = aPalette[(pRow[x / 8] >> (7 - x % 8)) & 1]; break;
            case 4: pDst[x] = aPalette[(pRow[x / 2] >> (x % 2 ? 0 : 4)) & 15]; break;
            case 8: pDst[x] = aPalette[pRow[x]]; break;
            case 24: pDst[x] = WebRgb(pRow[3 * x + 2], pRow[3 * x + 1], pRow[3 * x]); break;
            default: pDst[x] = WebRgb(pRow[4 * x + 2], pRow[4 * x + 1], pRow[4 * x]); break;
            }
        }
    }
    *pW = w;
    *pH = h;
    return 1;
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
        int w = 0, h = 0;
        if (!WebBmpDecode(aFile, nRead, aPool + nPoolUsed, PIXEL_POOL - nPoolUsed, &w, &h))
            continue;
        snprintf(nb.szName, sizeof nb.szName, "%.*s", (int)(nLen - 4), szName);
        nb.bm = WebBitmap{w, h, aPool + nPoolUsed};
        nPoolUsed += w * h;
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
    if (l < 0) l = 0;
    if (t < 0) t = 0;
    if (r > WEB_SCREEN_W) r = WEB_SCREEN_W;
    if (b > WEB_SCREEN_H) b = WEB_SCREEN_H;
    if (l >= r || t >= b) return;
    for (int y = t; y < b; y++)
        for (int x = l; x < r; x++) aWebScreen[y * WEB_SCREEN_W + x] = c;
    Dirty(l, t, r, b);
}

void WebRectangle(int l, int t, int r, int b, uint32_t cPen, uint32_t cBrush) {
    WebFill(l, t, r, b, cPen);
    WebFill(l + 1, t + 1, r - 1, b - 1, cBrush);
}

void WebLine(int x0, int y0, int x1, int y1, uint32_t c) {
    if (y0 == y1)
        WebFill(x0 < x1 ? x0 : x1 + 1, y0, x0 < x1 ? x1 : x0 + 1, y0 + 1, c);
    else if (x0 == x1)
        WebFill(x0, y0 < y1 ? y0 : y1 + 1, x0 + 1, y0 < y1 ? y1 : y0 + 1, c);
}

void WebBlitPart(const WebBitmap* pBm, int xSrc, int ySrc, int w, int h, int x, int y) {
    if (!pBm) return;
    if (xSrc < 0 || ySrc < 0) return;
    if (xSrc + w > pBm->w) w = pBm->w - xSrc;
    if (ySrc + h > pBm->h) h = pBm->h - ySrc;
    for (int j = 0; j < h; j++) {
        const int yy = y + j;
        if (yy < 0 || yy >= WEB_SCREEN_H) continue;
        for (int i = 0; i < w; i++) {
            const int xx = x + i;
            if (xx < 0 || xx >= WEB_SCREEN_W) continue;
            aWebScreen[yy * WEB_SCREEN_W + xx] = pBm->p[(ySrc + j) * pBm->w + xSrc + i];
        }
    }
    Dirty(x, y, x + w, y + h);
}

void WebBlit(const WebBitmap* pBm, int x, int y) {
    if (pBm) WebBlitPart(pBm, 0, 0, pBm->w, pBm->h, x, y);
}

void WebBlitNamed(const char* szName, int x, int y) {
    WebBlit(WebBitmapNamed(szName), x, y);
}

void WebExtrudedFrame(int L, int T, int R, int B, int d, int bBevel) {
    const uint32_t cGrey = WebRgb(128, 128, 128);
    const int axRight[4] = {R, R + d, R + d, R}, ayRight[4] = {T, T - d, B - d - 1, B - 1};
    Quad(axRight, ayRight, cGrey);
    const int axTop[4] = {L, L + d, R + d, R}, ayTop[4] = {T, T - d, T - d, T};
    Quad(axTop, ayTop, cGrey);
    if (!bBevel) return;
    const int l = L + 1, t = T + 1, r = R - 1, b = B - 2;
    const uint32_t cShadow = WebRgb(127, 127, 127);
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
    if (!pBm) return;
    // The bitmap is stretched to the button, nearest neighbour.
    for (int j = 0; j < WEB_BUTTON_H; j++)
        for (int i = 0; i < WEB_BUTTON_W; i++)
            aWebScreen[(y + j) * WEB_SCREEN_W + x + i] =
                pBm->p[(j * pBm->h / WEB_BUTTON_H) * pBm->w + i * pBm->w / WEB_BUTTON_W];
    Dirty(x, y, x + WEB_BUTTON_W, y + WEB_BUTTON_H);
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
    Dirty(0, 0, WEB_SCREEN_W, WEB_SCREEN_H);
}

int WebPresent() {
    if (dirtyL >= dirtyR || dirtyT >= dirtyB) return 0;
    WebPutPixels(aWebScreen, dirtyL, dirtyT, dirtyR, dirtyB);
    dirtyL = WEB_SCREEN_W;
    dirtyT = WEB_SCREEN_H;
    dirtyR = dirtyB = 0;
    return 1;
}
