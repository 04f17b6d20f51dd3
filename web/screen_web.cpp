// The browser's picture: the game's screens drawn by the portable renderer
// (render/draw.h) into one 640 x 480 buffer, the side panel and the buttons
// that are windows on Windows drawn here in their places, and what changed
// handed to the page's canvas piece by piece.
#include "web/screen_web.h"

#include <emscripten.h>

#include <cstdio>
#include <cstring>
#include <dirent.h>

#include "engine/game.h"
#include "prefs/prefs.h"
#include "render/draw.h"
#include "render/goal.h"
#include "render/helpdoc.h"
#include "render/picture.h"
#include "render/screen.h"
#include "scores/panel.h"

uint32_t aWebScreen[WEB_SCREEN_W * WEB_SCREEN_H];

namespace {

enum {
    MAX_BITMAPS = 256,
    NAME_LEN = 24,
    PIXEL_POOL = 1 << 20, // every bitmap of the game fits in four megabytes
    MAX_FILE = 1 << 18,
    PANEL_INSIDE_W = 217,
    PANEL_INSIDE_H = 414,
};
// Where the side panel's inside begins in the picture: its one-pixel border
// lies around it, from (29, 34) to (248, 450).
constexpr int PANEL_X = 30, PANEL_Y = 35;

struct NamedBitmap {
    char szName[NAME_LEN];
    WebBitmap bm;
};

NamedBitmap aBitmap[MAX_BITMAPS];
int nBitmaps;
uint32_t aPool[PIXEL_POOL];
int nPoolUsed;
uint8_t aFile[MAX_FILE];

// What changed since the last present, as separate pieces: a tick's tiles
// and the credits band go to the canvas as themselves, not as the box around
// them all. Pieces that overlap or lie within PIECE_NEAR pixels merge; when
// the list is full, everything becomes one piece.
enum { MAX_PIECES = 24, PIECE_NEAR = 8 };
PictureRect aPiece[MAX_PIECES];
int nPieces;
uint32_t aCanvas[WEB_SCREEN_W * WEB_SCREEN_H];

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

// Moves what a picture drew since its last mark into the pieces, in the
// screen's coordinates (the panel's picture lies at PANEL_X, PANEL_Y).
void PieceTakeFrom(Picture* pPic) {
    PictureRect rc;
    if (!PictureTakeChanged(pPic, &rc)) return;
    const int dx = pPic->pPixels == aWebScreen ? 0 : PANEL_X;
    const int dy = pPic->pPixels == aWebScreen ? 0 : PANEL_Y;
    PieceAdd(PictureRect{rc.left + dx, rc.top + dy, rc.right + dx, rc.bottom + dy});
}

// The screen, and the side panel's inside over the same pixels.
Picture NewScreenPicture() {
    Picture p = PictureOver(aWebScreen, PictureRect{0, 0, WEB_SCREEN_W, WEB_SCREEN_H});
    p.pfnMark = PieceTakeFrom;
    return p;
}
Picture pic = NewScreenPicture();

Picture PanelPicture() {
    Picture p = PictureOver(aWebScreen + PANEL_Y * WEB_SCREEN_W + PANEL_X,
                            PictureRect{0, 0, PANEL_INSIDE_W, PANEL_INSIDE_H}, WEB_SCREEN_W);
    p.pfnMark = PieceTakeFrom;
    return p;
}

int nChaseTicks, nChaseStep, nChasePrev, nFramedButton;

// The renderer's bitmaps: one for a use by name, and the persistent set.
int LoadByName(const char* szName, PictureBitmap* pBmp) {
    const WebBitmap* p = WebBitmapNamed(szName);
    *pBmp = p ? *p : PictureBitmap{};
    return p != nullptr;
}

void SpritesFill() {
    static const char* const aWord[NUM_COLORS] = {"GREEN",  "RED",   "YELLOW", "BLUE",
                                                  "PURPLE", "WHITE", "DRED",   "LBLUE"};
    char sz[NAME_LEN];
    for (int c = 0; c < NUM_COLORS; c++) {
        for (int f = 0; f < NUM_FRAMES; f++) {
            snprintf(sz, sizeof sz, "%sTILE%d", aWord[c], f);
            LoadByName(sz, &spriteSet.aTileFrame[c][f]);
        }
        snprintf(sz, sizeof sz, "%sTILE", aWord[c]);
        LoadByName(sz, &spriteSet.aFlatTile[c]);
    }
    LoadByName("TILEERASE", &spriteSet.tileErase);
    LoadByName("SMALLTILEERASE", &spriteSet.flatErase);
    LoadByName("PLAYERERASE", &spriteSet.playerErase);
    for (int i = 0; i < NUM_PADDLE_FRAMES; i++) {
        snprintf(sz, sizeof sz, "PADDLE%d", i);
        LoadByName(sz, &spriteSet.aPaddle[i]);
    }
    LoadByName("CREDITS", &spriteSet.credits);
}

// The ring around button nButton (-1: the one framed last), drawn or cleared.
void FrameButtonRing(int nButton, int bOn) {
    if (nButton == -1) nButton = nFramedButton;
    if (nButton < 0 || nButton >= WEB_NUM_BUTTONS) return;
    if (bOn) nFramedButton = nButton;
    const int top = WEB_BUTTON_Y + WEB_BUTTON_STEP_Y * nButton;
    FrameButton(pic, nButton,
                PictureRect{WEB_BUTTON_X - 2, top - 2, WEB_BUTTON_X + WEB_BUTTON_W + 2,
                            top + WEB_BUTTON_H + 2},
                bOn);
    PictureMark(&pic);
}

// The side panel: its picture, then what its controls draw over it: the
// frames around its boxes and the bordered lines of text. Their colours are
// the system's window frame and border colours of the game's reference
// screens.
void PanelPaint() {
    const PictureColor cBorder = PictureRGB(0x9E, 0x9E, 0x9E),
                       cFrame = PictureRGB(0x6A, 0x6A, 0x6A);
    const PictureColor cLineBorder = PictureRGB(0xA6, 0xA6, 0xA6);
    PictureRectangle(&pic, PictureRect{PANEL_X - 1, PANEL_Y - 1, PANEL_X + 218, PANEL_Y + 415},
                     &cBorder, &kPicLightGrey);
    PictureMark(&pic);
    Picture panel = PanelPicture();
    static const PictureRect aFrame[5] = {{9, 12, 209, 106},
                                          {9, 125, 209, 165},
                                          {9, 180, 209, 220},
                                          {9, 236, 209, 277},
                                          {9, 364, 209, 404}};
    for (const PictureRect& rc : aFrame) DrawExtrudedFrame(panel, rc, 5, 1);
    PictureRectangle(&panel, PictureRect{14, 249, 199, 268}, &kPicBlack, &kPicWhite);
    PictureMark(&panel);
    WebPanelLives();
    PictureBitmap bmp;
    if (LoadByName("TITLE", &bmp)) PictureBlit(&panel, 9, 13, bmp);
    DrawExtrudedFrame(panel, PictureRect{9, 12, 209, 106}, 5, 1);
    if (LoadByName(GoalPictureName(GoalKind()), &bmp))
        PictureBlit(&panel, GOAL_PIC_X, GOAL_PIC_Y, bmp);
    DrawExtrudedFrame(panel, PictureRect{GOAL_PIC_X, GOAL_PIC_Y, 204, 351}, 5, 0);
    static const PictureRect aFrameStatic[6] = {{9, 12, 210, 106},  {9, 125, 210, 165},
                                                {9, 180, 210, 220}, {14, 248, 203, 267},
                                                {9, 236, 210, 277}, {9, 364, 210, 404}};
    for (const PictureRect& rc : aFrameStatic) PictureFrame(&panel, rc, cFrame);
    static const PictureRect aLine[3] = {
        {14, 137, 203, 156}, {14, 191, 203, 210}, {14, 376, 203, 395}};
    for (const PictureRect& rc : aLine) PictureRectangle(&panel, rc, &cLineBorder, &kPicWhite);
    PictureMark(&panel);
    WebPanelText();
}

// The portable screen's pictures: the screen, and the panel's inside over
// it. What they change goes to the canvas at the next present.
Picture panelPic;
Picture* WebPictureBegin(int nWhich) {
    if (nWhich == SCREEN_MAIN) return &pic;
    if (nWhich != SCREEN_PANEL) return nullptr;
    panelPic = PanelPicture();
    return &panelPic;
}
void WebPictureEnd(int, Picture*) {}

uint32_t aHelpPixels[WEB_SCREEN_W * 200];
HelpWords helpWords; // the last help picture's words

} // namespace

EM_JS(void, WebPutPixels, (const uint32_t* p, int l, int t, int r, int b),
      { Module.quarrionPut(p, l, t, r, b); });
EM_JS(void, WebTextLine, (int nSlot, const char* sz, int l, int t, int r, int b, int nColor),
      { Module.quarrionText(nSlot, UTF8ToString(sz), l, t, r, b, nColor); });
// The tests' seam: a clock of the page's own (Module.quarrionClock) in place
// of the real one, so that animations follow the ticks played.
EM_JS(double, WebNowMs, (),
      { return Module.quarrionClock ? Module.quarrionClock() : performance.now(); });

uint32_t WebTickCount() {
    return (uint32_t)(uint64_t)WebNowMs();
}

const ScreenPlatform kScreenWeb = {WebPictureBegin, WebPictureEnd, WebTickCount};

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
    // The renderer takes its bitmaps from here.
    pfnPictureLoadBitmap = LoadByName;
    pfnSpritesRefresh = SpritesFill;
    bSpritesStale = 1;
    return nBitmaps;
}

const WebBitmap* WebBitmapNamed(const char* szName) {
    for (int i = 0; i < nBitmaps; i++)
        if (strcmp(aBitmap[i].szName, szName) == 0) return &aBitmap[i].bm;
    return nullptr;
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
    PictureMark(&pic);
}

void WebPaintMain() {
    if (game.bGameRunning) {
        GameScreenPaint(pic, WebTickCount());
        PanelPaint();
    } else {
        TitleScreenPaint(pic);
        for (int i = 0; i < 3; i++) WebTextLine(i, "", 0, 0, 0, 0, 0);
    }
    // The buttons are windows over the right panel, painted after it.
    for (int i = 0; i < WEB_NUM_BUTTONS; i++) WebDrawButton(i, 0);
    if (!game.bGameRunning) FrameButtonRing(-1, 1);
    // The seam under the menu bar, in the picture's top row.
    if (prefs.bUseMenu) PictureLine(&pic, 0, 0, WEB_SCREEN_W, 0, kPicBlack);
    PictureMark(&pic);
}

void WebTitleTick(int bActive) {
    TitleTick(pic, bActive);
    PictureMark(&pic);
}

void WebButtonChaseTick() {
    nChaseTicks += 1;
    if (nChaseTicks < CHASE_TICKS) return;
    nChaseTicks = 0;
    nChaseStep += 1;
    if (nChaseStep >= CHASE_STEPS) nChaseStep = 0;
    if (nChaseStep < WEB_NUM_BUTTONS) {
        FrameButtonRing(nChasePrev, 0);
        FrameButtonRing(nChaseStep, 1);
        nChasePrev = nChaseStep;
    } else if (nChaseStep == WEB_NUM_BUTTONS) {
        FrameButtonRing(nChasePrev, 0);
    }
}

const char* WebHelpPictureWord(int i, int* pOut) {
    if (i < 0 || i >= helpWords.n) return nullptr;
    const HelpWord& word = helpWords.a[i];
    pOut[0] = word.rc.left;
    pOut[1] = word.rc.top;
    pOut[2] = word.rc.right;
    pOut[3] = word.rc.bottom;
    pOut[4] = (int)word.cr;
    pOut[5] = word.nAlign;
    return word.sz;
}

const uint32_t* WebHelpPicture(int nPicture, int* pW, int* pH) {
    int w = 0, h = 0;
    HelpPictureSize(nPicture, &w, &h);
    helpWords.n = 0;
    if (w * h > (int)(sizeof aHelpPixels / 4)) return nullptr;
    Picture help = PictureOver(aHelpPixels, PictureRect{0, 0, w, h});
    PictureFill(&help, PictureRect{0, 0, w, h}, kPicWhite);
    if (!DrawHelpPictureOn(help, nPicture, &helpWords)) return nullptr;
    *pW = w;
    *pH = h;
    return aHelpPixels;
}

void WebPanelLives() {
    Picture panel = PanelPicture();
    const int nIcons = game.nLives < PANEL_MAX_LIVES ? game.nLives : PANEL_MAX_LIVES;
    PictureFill(&panel, PictureRect{15, 250, 198, 267}, kPicWhite);
    PictureBitmap bmp;
    if (LoadByName("LIFE", &bmp))
        for (int i = 0; i < nIcons; i++) PictureBlit(&panel, 18 + 25 * i, 255, bmp);
    PictureMark(&panel);
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
    PictureMark(&pic);
}

// Each changed piece goes to the canvas as its own bytes: R, G, B, A.
int WebPresent() {
    PictureMark(&pic);
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
