// The help's pictures, drawn with the game's own bitmaps and frames.
#include "render/goal.h"
#include "render/helpdoc.h"
#include "render/render_win.h"
#include "render/zoom_win.h"
#include "scores/panel.h"

namespace {

const COLORREF kPanelGrey = RGB(192, 192, 192);
const COLORREF kGoalGreen = RGB(0, 127, 0);
const COLORREF kArrowBlue = RGB(0, 0, 255);

// A picture's line of text: drawn after its shapes, at the zoom, so that it
// stays sharp; its rectangle is in design pixels from the picture's corner.
struct PictureText {
    RECT rc;
    char sz[PANEL_TEXT_LEN];
    COLORREF cr;
    UINT uFormat;
};

// Every other pixel of the tiles that are no part of the line turned white,
// so the line stands out of the tiles that hold it up.
void DrawSupportFaded(HDC hdc, const HelpBoard& board, int dx, int dy) {
    static const WORD kChecker[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    HBITMAP hbmChecker = CreateBitmap(8, 8, 1, 1, kChecker);
    HBRUSH hbrChecker = CreatePatternBrush(hbmChecker);
    HGDIOBJ hbrOld = SelectObject(hdc, hbrChecker);
    COLORREF crTextOld = SetTextColor(hdc, RGB(0, 0, 0));
    COLORREF crBkOld = SetBkColor(hdc, RGB(255, 255, 255));
    for (int b = 0; b < NUM_LANES; b++)
        for (int r = 0; r < NUM_ROWS; r++) {
            int k = b * NUM_ROWS + r;
            if (board.aCell[k] == TILE_NONE || board.aLine[k]) continue;
            PatBlt(hdc, aLaneX[b] + dx, aRowY[r] + dy, 40, 11, 0x00FA0089); // D | P
        }
    SetBkColor(hdc, crBkOld);
    SetTextColor(hdc, crTextOld);
    SelectObject(hdc, hbrOld);
    DeleteObject(hbrChecker);
    DeleteObject(hbmChecker);
}

// The bins as the playfield draws them, their top-left corner at (x, y).
void DrawBoard(HDC hdc, int nPicture, int x, int y) {
    HelpBoard board;
    if (!HelpBoardOf(nPicture, &board)) return;
    const int dx = x - (aLaneX[0] - 1), dy = y - (aRowY[NUM_ROWS - 1] - 3);
    HGDIOBJ hpenOld = SelectObject(hdc, GetStockObject(BLACK_PEN));
    DrawBinGrid(hdc, board.aCell, dx, dy);
    SelectObject(hdc, hpenOld);
    DrawSupportFaded(hdc, board, dx, dy);
}

// The paddle with its stack, as the playfield draws it, the paddle's top-left
// corner at (x, yPaddle).
void DrawStack(HDC hdc, const TileColor* aHeld, int nHeld, int x, int yPaddle) {
    DrawBitmap(hdc, ahPaddle[PADDLE_ALL_LIT], (short)x, (short)yPaddle);
    for (int i = 0; i < nHeld; i++)
        DrawBitmap(hdc, FlatTileBitmap(aHeld[i]), (short)x, (short)(yPaddle - 10 - 10 * i));
}

// An arrow from (x0, y) to (x1, y); the key's name goes above it.
void DrawKeyArrow(HDC hdc, int x0, int x1, int y) {
    HPEN hpen = CreatePen(PS_SOLID, 3, kArrowBlue);
    HGDIOBJ hpenOld = SelectObject(hdc, hpen);
    MoveToEx(hdc, x0, y, NULL);
    LineTo(hdc, x1, y);
    MoveToEx(hdc, x1 - 8, y - 7, NULL);
    LineTo(hdc, x1, y);
    LineTo(hdc, x1 - 8, y + 7);
    SelectObject(hdc, hpenOld);
    DeleteObject(hpen);
}

int DrawPaddlePicture(HDC hdc, int x, int y, PictureText* pText) {
    HelpPaddle paddle;
    if (!HelpPaddleOf(&paddle)) return 0;
    const int yPaddle = y + HELP_PADDLE_H - 14;
    DrawStack(hdc, paddle.aBefore, paddle.nHeld, x + 10, yPaddle);
    DrawStack(hdc, paddle.aAfter, paddle.nHeld, x + HELP_PADDLE_W - 51, yPaddle);
    const int xFrom = 64, xTo = HELP_PADDLE_W - 64, yArrow = HELP_PADDLE_H / 2;
    DrawKeyArrow(hdc, x + xFrom, x + xTo, y + yArrow);
    *pText = PictureText{{xFrom, yArrow - 28, xTo, yArrow - 6},
                         "Up",
                         kArrowBlue,
                         DT_CENTER | DT_SINGLELINE | DT_BOTTOM};
    return 1;
}

// The goal's part of the side panel, drawn in the panel's own coordinates.
int DrawGoalPicture(HDC hdc, int x, int y, PictureText* pText) {
    HelpGoal goal;
    if (!HelpGoalOf(&goal)) return 0;
    const int xPanel = GOAL_PIC_X, yPanel = GOAL_PIC_Y - 5; // the frame's top face
    POINT ptOld;
    SetViewportOrgEx(hdc, x - xPanel, y - yPanel, &ptOld);

    HBRUSH hbrGrey = CreateSolidBrush(kPanelGrey);
    RECT rcAll = {xPanel, yPanel, xPanel + HELP_GOAL_W, yPanel + HELP_GOAL_H};
    FillRect(hdc, &rcAll, hbrGrey);
    DeleteObject(hbrGrey);

    HBITMAP hbm = LoadGameBitmap(GoalPictureName(goal.nKind));
    if (hbm) {
        DrawBitmap(hdc, hbm, GOAL_PIC_X, GOAL_PIC_Y);
        DeleteObject(hbm);
    }
    GoalStep step = GoalExample(goal.nKind, goal.nPhase);
    step.nColor = goal.nColor;
    DrawGoalCells(hdc, step);
    DrawExtrudedFrame(hdc, RECT{GOAL_PIC_X, GOAL_PIC_Y, 204, 351}, 5, 0);

    // The goal's line below it, in its frame, as the panel shows it.
    HGDIOBJ hpenOld = SelectObject(hdc, GetStockObject(BLACK_PEN));
    HGDIOBJ hbrOld = SelectObject(hdc, GetStockObject(NULL_BRUSH));
    Rectangle(hdc, 9, 364, 210, 404);
    DrawExtrudedFrame(hdc, RECT{9, 364, 209, 404}, 5, 1);
    SelectObject(hdc, GetStockObject(WHITE_BRUSH));
    Rectangle(hdc, 14, 376, 203, 395);
    SelectObject(hdc, hbrOld);
    SelectObject(hdc, hpenOld);
    *pText = PictureText{{15 - xPanel, 377 - yPanel, 202 - xPanel, 394 - yPanel},
                         "",
                         kGoalGreen,
                         DT_CENTER | DT_VCENTER | DT_SINGLELINE};
    PanelGoalText(aLevelGoal[goal.nLevel].nAmount, goal.nKind, pText->sz, sizeof pText->sz);

    SetViewportOrgEx(hdc, ptOld.x, ptOld.y, NULL);
    return 1;
}

// The shapes of picture nPicture with its top-left corner at (x, y); its text
// goes to *pText (none when its string is empty).
int DrawPictureShapes(HDC hdc, int nPicture, int x, int y, PictureText* pText) {
    *pText = PictureText{};
    switch (HelpPictureKind(nPicture)) {
    case HP_BOARD: DrawBoard(hdc, nPicture, x, y); return 1;
    case HP_PADDLE: DrawPaddlePicture(hdc, x, y, pText); return 1;
    case HP_GOAL: DrawGoalPicture(hdc, x, y, pText); return 1;
    default: return 0;
    }
}

// --- The gamepad ------------------------------------------------------------------

const COLORREF kPadBody = RGB(192, 192, 192);
const COLORREF kPadDark = RGB(64, 64, 64);

// A filled circle about (x, y), outlined in black.
void PadCircle(HDC hdc, int x, int y, int r, COLORREF cr) {
    HBRUSH hbr = CreateSolidBrush(cr);
    HGDIOBJ hbrOld = SelectObject(hdc, hbr);
    HGDIOBJ hpenOld = SelectObject(hdc, GetStockObject(BLACK_PEN));
    Ellipse(hdc, x - r, y - r, x + r + 1, y + r + 1);
    SelectObject(hdc, hpenOld);
    SelectObject(hdc, hbrOld);
    DeleteObject(hbr);
}

// The pad's picture is drawn in two passes: its shapes and lines at design
// size (made larger with the rest of the picture), then its words at the
// zoom, in the page's font, so they stay sharp.
struct PadPass {
    int bShapes;
    int bWords;
    int nZoomBy;
};

// Words in the design's rectangle rc, nZoomBy times larger.
void PadWords(HDC hdc, const PadPass& pass, RECT rc, UINT uFormat, COLORREF cr, const char* sz) {
    if (!pass.bWords) return;
    RECT rcAt = ZoomToClient(rc, pass.nZoomBy);
    COLORREF crOld = SetTextColor(hdc, cr);
    DrawTextA(hdc, sz, -1, &rcAt, uFormat);
    SetTextColor(hdc, crOld);
}

// A face button: its colour and its letter.
void PadFaceButton(HDC hdc, const PadPass& pass, int x, int y, COLORREF cr, COLORREF crText,
                   const char* szLetter) {
    if (pass.bShapes) PadCircle(hdc, x, y, 8, cr);
    PadWords(hdc, pass, RECT{x - 8, y - 8, x + 9, y + 9}, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
             crText, szLetter);
}

// What a control does: blue text in rc and a thin blue line from (x0, y0) to
// the control at (x1, y1).
void PadLabel(HDC hdc, const PadPass& pass, RECT rc, UINT uAlign, const char* szText, int x0,
              int y0, int x1, int y1) {
    if (pass.bShapes) {
        HPEN hpen = CreatePen(PS_SOLID, 1, kArrowBlue);
        HGDIOBJ hpenOld = SelectObject(hdc, hpen);
        MoveToEx(hdc, x0, y0, NULL);
        LineTo(hdc, x1, y1);
        SelectObject(hdc, hpenOld);
        DeleteObject(hpen);
    }
    PadWords(hdc, pass, rc, uAlign, kArrowBlue, szText);
}

// The pad from above, drawn with its origin at (x, y): the body and its two
// grips, the left stick, the D-pad, Back and Start, and the four face
// buttons, with what each does in play beside it.
void DrawPadPicture(HDC hdc, int x, int y, const PadPass& pass) {
    POINT ptOld;
    OffsetViewportOrgEx(hdc, x, y, &ptOld);
    int nBkOld = SetBkMode(hdc, TRANSPARENT);

    if (pass.bShapes) {
        HRGN hrgnBody = CreateRoundRectRgn(140, 30, 301, 116, 60, 60);
        HRGN hrgnGrip = CreateEllipticRgn(140, 70, 201, 156);
        CombineRgn(hrgnBody, hrgnBody, hrgnGrip, RGN_OR);
        DeleteObject(hrgnGrip);
        hrgnGrip = CreateEllipticRgn(240, 70, 301, 156);
        CombineRgn(hrgnBody, hrgnBody, hrgnGrip, RGN_OR);
        DeleteObject(hrgnGrip);
        HBRUSH hbrBody = CreateSolidBrush(kPadBody);
        FillRgn(hdc, hrgnBody, hbrBody);
        FrameRgn(hdc, hrgnBody, (HBRUSH)GetStockObject(BLACK_BRUSH), 1, 1);
        DeleteObject(hbrBody);
        DeleteObject(hrgnBody);

        PadCircle(hdc, 170, 58, 12, kPadDark); // the left stick
        PadCircle(hdc, 170, 58, 6, kPadBody);
        HBRUSH hbrDark = CreateSolidBrush(kPadDark);
        RECT rcUpright = {194, 78, 203, 107}, rcAcross = {184, 88, 213, 97};
        FillRect(hdc, &rcUpright, hbrDark);
        FillRect(hdc, &rcAcross, hbrDark);
        RECT rcBack = {202, 52, 215, 59}, rcStart = {226, 52, 239, 59};
        FillRect(hdc, &rcBack, hbrDark);
        FillRect(hdc, &rcStart, hbrDark);
        DeleteObject(hbrDark);
    }
    PadFaceButton(hdc, pass, 270, 56, RGB(255, 215, 0), RGB(0, 0, 0), "Y");
    PadFaceButton(hdc, pass, 254, 72, RGB(0, 64, 224), RGB(255, 255, 255), "X");
    PadFaceButton(hdc, pass, 286, 72, RGB(208, 0, 0), RGB(255, 255, 255), "B");
    PadFaceButton(hdc, pass, 270, 88, RGB(0, 160, 0), RGB(255, 255, 255), "A");

    const UINT uLeft = DT_LEFT | DT_SINGLELINE | DT_VCENTER;
    const UINT uRight = DT_RIGHT | DT_SINGLELINE | DT_VCENTER;
    PadLabel(hdc, pass, RECT{0, 50, 132, 66}, uRight, "Stick: move", 134, 58, 157, 58);
    PadLabel(hdc, pass, RECT{0, 68, 132, 84}, uRight, "D-pad: move,", 134, 92, 183, 92);
    PadLabel(hdc, pass, RECT{0, 84, 132, 100}, uRight, "up turns,", 134, 92, 183, 92);
    PadLabel(hdc, pass, RECT{0, 100, 132, 116}, uRight, "down drops", 134, 92, 183, 92);
    PadLabel(hdc, pass, RECT{60, 0, 206, 16}, uRight, "Back: menu", 206, 16, 208, 51);
    PadLabel(hdc, pass, RECT{232, 0, HELP_PAD_W, 16}, uLeft, "Start: pause, play on", 232, 16, 232,
             51);
    PadLabel(hdc, pass, RECT{316, 64, HELP_PAD_W, 80}, uLeft, "B: turn", 314, 72, 295, 72);
    PadLabel(hdc, pass, RECT{316, 88, HELP_PAD_W, 104}, uLeft, "A: turn", 314, 96, 279, 90);
    PadLabel(hdc, pass, RECT{226, 152, HELP_PAD_W, 168}, uLeft, "X: drop", 226, 160, 252, 81);

    SetBkMode(hdc, nBkOld);
    SetViewportOrgEx(hdc, ptOld.x, ptOld.y, NULL);
}

// The pad's shapes at design size, nZoomBy times larger, then its words.
// Without a font, as the other pictures, it has no words.
int DrawPadZoomed(HDC hdc, int x, int y, HFONT hfontText, int nZoomBy) {
    const int bWords = hfontText != NULL;
    HGDIOBJ hfontOld = bWords ? SelectObject(hdc, hfontText) : NULL;
    DesignCanvas canvas;
    if (nZoomBy == 1) {
        DrawPadPicture(hdc, x, y, PadPass{1, bWords, 1});
    } else if (DesignCanvasMake(&canvas, hdc, RECT{0, 0, HELP_PAD_W, HELP_PAD_H}, NULL)) {
        DrawPadPicture(canvas.hdc, 0, 0, PadPass{1, 0, nZoomBy});
        DesignCanvasCopy(canvas, canvas.rc, hdc, POINT{x, y}, nZoomBy);
        DesignCanvasFree(&canvas);
        if (bWords) DrawPadPicture(hdc, x, y, PadPass{0, 1, nZoomBy});
    }
    if (bWords) SelectObject(hdc, hfontOld);
    return 1;
}

} // namespace

int DrawHelpPicture(HDC hdc, int nPicture, int x, int y, HFONT hfontText, int nZoomBy) {
    if (nZoomBy < 1) nZoomBy = 1;
    if (HelpPictureKind(nPicture) == HP_PAD) return DrawPadZoomed(hdc, x, y, hfontText, nZoomBy);
    PictureText text;
    if (nZoomBy == 1) {
        if (!DrawPictureShapes(hdc, nPicture, x, y, &text)) return 0;
    } else {
        // The shapes at design size on the page's white, nZoomBy times larger.
        int w = 0, h = 0;
        HelpPictureSize(nPicture, &w, &h);
        DesignCanvas canvas;
        if (!DesignCanvasMake(&canvas, hdc, RECT{0, 0, w, h}, NULL)) return 0;
        const int bDrawn = DrawPictureShapes(canvas.hdc, nPicture, 0, 0, &text);
        if (bDrawn) DesignCanvasCopy(canvas, canvas.rc, hdc, POINT{x, y}, nZoomBy);
        DesignCanvasFree(&canvas);
        if (!bDrawn) return 0;
    }
    if (text.sz[0] && hfontText) {
        RECT rc = ZoomToClient(text.rc, nZoomBy);
        OffsetRect(&rc, x, y);
        HGDIOBJ hfontOld = SelectObject(hdc, hfontText);
        COLORREF crOld = SetTextColor(hdc, text.cr);
        int nBkOld = SetBkMode(hdc, TRANSPARENT);
        DrawTextA(hdc, text.sz, -1, &rc, text.uFormat);
        SetBkMode(hdc, nBkOld);
        SetTextColor(hdc, crOld);
        SelectObject(hdc, hfontOld);
    }
    return 1;
}
