// The goal picture of the side panel, one example of the pattern per step.
#include "render/goal.h"
#include "render/render_win.h"

const COLORREF aGoalCellColor[NUM_GOAL_CELL_COLORS] = {
    RGB(127, 0, 0), RGB(255, 255, 0), RGB(255, 0, 0), RGB(0, 255, 255),
    RGB(0, 0, 255), RGB(255, 0, 255), RGB(0, 255, 0), RGB(0, 127, 0),
};

int DrawGoalPictureInto(HDC hdc) {
    const int nKind = GoalKind();
    // The plain picture, which also wipes the previous example.
    HBITMAP hbm = LoadGameBitmap(GoalPictureName(nKind));
    if (hbm) {
        if (hdc) DrawBitmap(hdc, hbm, GOAL_PIC_X, GOAL_PIC_Y);
        DeleteObject(hbm);
    }
    GoalStep step;
    if (!GoalPictureStep(nKind, &step)) return 1;
    if (!hdc || step.nCells == 0) return 1;

    return DrawGoalCells(hdc, step);
}

int DrawGoalCells(HDC hdc, const GoalStep& step) {
    const PictureColor crCell = PictureColorOf(aGoalCellColor[step.nColor & 7]);
    OnPicture(hdc, [&](Picture* pPic) {
        for (int i = 0; i < step.nCells; i++) {
            GoalRect rc = GoalCellRect(step.pCells[i].nCol, step.pCells[i].nRow);
            PictureRectangle(pPic, PictureRect{rc.left, rc.top, rc.right, rc.bottom}, &kPicBlack,
                             &crCell);
        }
        return 1;
    });
    return 1;
}

int DrawGoalPicture() {
    HWND hwndPanel = (HWND)game.hwndPanel;
    HDC hdc = hwndPanel ? pfnRenderGetDC(hwndPanel) : NULL;
    // Without the panel the step is still taken, so the phase and the shared
    // random sequence move on as they would with it.
    DrawGoalPictureInto(hdc);
    if (hdc) pfnRenderReleaseDC(hwndPanel, hdc);
    return 1;
}
