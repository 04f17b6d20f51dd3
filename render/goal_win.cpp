// The goal picture of the side panel on a device context (render/draw.h draws it).
#include "render/render_win.h"

const COLORREF aGoalCellColor[NUM_GOAL_CELL_COLORS] = {
    RGB(127, 0, 0), RGB(255, 255, 0), RGB(255, 0, 0), RGB(0, 255, 255),
    RGB(0, 0, 255), RGB(255, 0, 255), RGB(0, 255, 0), RGB(0, 127, 0),
};

int DrawGoalPictureInto(HDC hdc) {
    if (!hdc) return DrawGoalPictureOn(NULL);
    PictureDC scope;
    Picture* pPic = PictureDCBegin(hdc, &scope);
    const int n = DrawGoalPictureOn(pPic);
    PictureDCEnd(&scope);
    return n;
}

int DrawGoalCells(HDC hdc, const GoalStep& step) {
    OnPicture(hdc, [&](Picture* pPic) { return DrawGoalCells(*pPic, step); });
    return 1;
}
