// The help's pictures, drawn with the game's own bitmaps and frames on a
// picture of their own; their words are left to the platform.
#include <cstdio>

#include "render/draw.h"
#include "render/helpdoc.h"
#include "scores/panel.h"

namespace {

constexpr PictureColor kGoalGreen = PictureRGB(0, 127, 0);
constexpr PictureColor kArrowBlue = PictureRGB(0, 0, 255);
constexpr PictureColor kPadBody = PictureRGB(192, 192, 192);
constexpr PictureColor kPadDark = PictureRGB(64, 64, 64);

void AddWord(HelpWords* pWords, PictureRect rc, const char* sz, PictureColor cr, int nAlign) {
    if (pWords->n >= HELP_MAX_WORDS) return;
    HelpWord& word = pWords->a[pWords->n++];
    word.rc = rc;
    snprintf(word.sz, sizeof word.sz, "%s", sz);
    word.cr = cr;
    word.nAlign = nAlign;
}

// The same pixels seen with the design point (x, y) where (0, 0) was, so a
// routine of the playfield or the panel draws in its own coordinates.
Picture ViewMovedTo(const Picture& pic, int x, int y) {
    Picture view = pic;
    view.xOrigin += x;
    view.yOrigin += y;
    view.rcClip = PictureRect{pic.rcClip.left + x, pic.rcClip.top + y, pic.rcClip.right + x,
                              pic.rcClip.bottom + y};
    view.rcChanged = PictureRect{};
    return view;
}

// What the view changed, noted on the picture it shows.
void ViewDone(Picture& pic, const Picture& view, int x, int y) {
    const PictureRect& rc = view.rcChanged;
    PictureNoteChanged(&pic, PictureRect{rc.left - x, rc.top - y, rc.right - x, rc.bottom - y});
}

// The bins as the playfield draws them. Every other pixel of the tiles that
// are no part of the line turns white, so the line stands out of the tiles
// that hold it up.
int DrawBoard(Picture& pic, int nPicture) {
    HelpBoard board;
    if (!HelpBoardOf(nPicture, &board)) return 0;
    const int dx = -(aLaneX[0] - 1), dy = -(aRowY[NUM_ROWS - 1] - 3);
    DrawBinGrid(pic, board.aCell, dx, dy);
    PictureColor aChecker[64];
    for (int i = 0; i < 64; i++) aChecker[i] = (i / 8 + i % 8) % 2 ? kPicWhite : kPicBlack;
    for (int b = 0; b < NUM_LANES; b++)
        for (int r = 0; r < NUM_ROWS; r++) {
            const int k = b * NUM_ROWS + r;
            if (board.aCell[k] == TILE_NONE || board.aLine[k]) continue;
            const int x = aLaneX[b] + dx, y = aRowY[r] + dy;
            PictureFillPattern(&pic, PictureRect{x, y, x + 40, y + 11}, aChecker, PICTURE_PAINT);
        }
    return 1;
}

// The stack before and after the turn key, an arrow between them, the key's
// name above it.
int DrawPaddlePicture(Picture& pic, HelpWords* pWords) {
    HelpPaddle paddle;
    if (!HelpPaddleOf(&paddle)) return 0;
    const int yPaddle = HELP_PADDLE_H - 14;
    DrawPaddleAt(pic, 10, yPaddle, paddle.aBefore, paddle.nHeld);
    DrawPaddleAt(pic, HELP_PADDLE_W - 51, yPaddle, paddle.aAfter, paddle.nHeld);
    const int xFrom = 64, xTo = HELP_PADDLE_W - 64, y = HELP_PADDLE_H / 2;
    PictureWideLine(&pic, xFrom, y, xTo, y, 3, kArrowBlue);
    PictureWideLine(&pic, xTo - 8, y - 7, xTo, y, 3, kArrowBlue);
    PictureWideLine(&pic, xTo, y, xTo - 8, y + 7, 3, kArrowBlue);
    AddWord(pWords, PictureRect{xFrom, y - 28, xTo, y - 6}, "Up", kArrowBlue,
            PICTURE_TEXT_CENTER | PICTURE_TEXT_BOTTOM);
    return 1;
}

// The goal's part of the side panel and its line, drawn in the panel's own
// coordinates.
int DrawGoalPicture(Picture& pic, HelpWords* pWords) {
    HelpGoal goal;
    if (!HelpGoalOf(&goal)) return 0;
    const int xPanel = GOAL_PIC_X, yPanel = GOAL_PIC_Y - 5; // the frame's top face
    Picture view = ViewMovedTo(pic, xPanel, yPanel);
    PictureFill(&view, PictureRect{xPanel, yPanel, xPanel + HELP_GOAL_W, yPanel + HELP_GOAL_H},
                kPicLightGrey);
    PictureBitmap bmp;
    if (pfnPictureLoadBitmap(GoalPictureName(goal.nKind), &bmp))
        PictureBlit(&view, GOAL_PIC_X, GOAL_PIC_Y, bmp);
    GoalStep step = GoalExample(goal.nKind, goal.nPhase);
    step.nColor = goal.nColor;
    DrawGoalCells(view, step);
    DrawExtrudedFrame(view, PictureRect{GOAL_PIC_X, GOAL_PIC_Y, 204, 351}, 5, 0);
    // The goal's line below it, in its frame, as the panel shows it.
    PictureRectangle(&view, PictureRect{9, 364, 210, 404}, &kPicBlack, nullptr);
    DrawExtrudedFrame(view, PictureRect{9, 364, 209, 404}, 5, 1);
    PictureRectangle(&view, PictureRect{14, 376, 203, 395}, &kPicBlack, &kPicWhite);
    ViewDone(pic, view, xPanel, yPanel);
    char sz[PANEL_TEXT_LEN];
    PanelGoalText(aLevelGoal[goal.nLevel].nAmount, goal.nKind, sz, sizeof sz);
    AddWord(pWords, PictureRect{15 - xPanel, 377 - yPanel, 202 - xPanel, 394 - yPanel}, sz,
            kGoalGreen, PICTURE_TEXT_CENTER | PICTURE_TEXT_VCENTER);
    return 1;
}

// --- The gamepad ---------------------------------------------------------------------

// A filled circle about (x, y), outlined in black.
void PadCircle(Picture& pic, int x, int y, int r, PictureColor cr) {
    PictureEllipse(&pic, PictureRect{x - r, y - r, x + r + 1, y + r + 1}, kPicBlack, cr);
}

struct PadButton {
    int x, y;
    PictureColor cr, crText;
    const char* szLetter;
};
const PadButton kPadButtons[] = {
    {270, 56, PictureRGB(255, 215, 0), kPicBlack, "Y"},
    {254, 72, PictureRGB(0, 64, 224), kPicWhite, "X"},
    {286, 72, PictureRGB(208, 0, 0), kPicWhite, "B"},
    {270, 88, PictureRGB(0, 160, 0), kPicWhite, "A"},
};

// What a control does: blue words in rc and a thin blue line from (x0, y0)
// to the control at (x1, y1).
struct PadLabel {
    PictureRect rc;
    int nAlign;
    const char* szText;
    int x0, y0, x1, y1;
};
constexpr int kLeft = PICTURE_TEXT_LEFT | PICTURE_TEXT_VCENTER;
constexpr int kRight = PICTURE_TEXT_RIGHT | PICTURE_TEXT_VCENTER;
const PadLabel kPadLabels[] = {
    {{0, 50, 132, 66}, kRight, "Stick: move", 134, 58, 157, 58},
    {{0, 68, 132, 84}, kRight, "D-pad: move,", 134, 92, 183, 92},
    {{0, 84, 132, 100}, kRight, "up turns,", 134, 92, 183, 92},
    {{0, 100, 132, 116}, kRight, "down drops", 134, 92, 183, 92},
    {{60, 0, 206, 16}, kRight, "Back: menu", 206, 16, 208, 51},
    {{232, 0, HELP_PAD_W, 16}, kLeft, "Start: pause, play on", 232, 16, 232, 51},
    {{316, 64, HELP_PAD_W, 80}, kLeft, "B: turn", 314, 72, 295, 72},
    {{316, 88, HELP_PAD_W, 104}, kLeft, "A: turn", 314, 96, 279, 90},
    {{226, 152, HELP_PAD_W, 168}, kLeft, "X: drop", 226, 160, 252, 81},
};

// The pad from above: the body and its two grips, the left stick, the
// D-pad, Back and Start, and the four face buttons, with what each does in
// play beside it.
int DrawPadPicture(Picture& pic, HelpWords* pWords) {
    const PictureRoundRect aBody[] = {
        {{140, 30, 301, 116}, 60, 60},
        {{140, 70, 201, 156}, 61, 86}, // the grips: ellipses
        {{240, 70, 301, 156}, 61, 86},
    };
    PictureFillShapes(&pic, aBody, 3, kPadBody, kPicBlack);
    PadCircle(pic, 170, 58, 12, kPadDark); // the left stick
    PadCircle(pic, 170, 58, 6, kPadBody);
    PictureFill(&pic, PictureRect{194, 78, 203, 107}, kPadDark); // the D-pad
    PictureFill(&pic, PictureRect{184, 88, 213, 97}, kPadDark);
    PictureFill(&pic, PictureRect{202, 52, 215, 59}, kPadDark); // Back, Start
    PictureFill(&pic, PictureRect{226, 52, 239, 59}, kPadDark);
    for (const PadButton& b : kPadButtons) {
        PadCircle(pic, b.x, b.y, 8, b.cr);
        AddWord(pWords, PictureRect{b.x - 8, b.y - 8, b.x + 9, b.y + 9}, b.szLetter, b.crText,
                PICTURE_TEXT_CENTER | PICTURE_TEXT_VCENTER);
    }
    for (const PadLabel& l : kPadLabels) {
        PictureLine(&pic, l.x0, l.y0, l.x1, l.y1, kArrowBlue);
        AddWord(pWords, l.rc, l.szText, kArrowBlue, l.nAlign);
    }
    return 1;
}

} // namespace

int DrawHelpPictureOn(Picture& pic, int nPicture, HelpWords* pWords) {
    pWords->n = 0;
    switch (HelpPictureKind(nPicture)) {
    case HP_BOARD: return DrawBoard(pic, nPicture);
    case HP_PADDLE: return DrawPaddlePicture(pic, pWords);
    case HP_GOAL: return DrawGoalPicture(pic, pWords);
    case HP_PAD: return DrawPadPicture(pic, pWords);
    default: return 0;
    }
}
