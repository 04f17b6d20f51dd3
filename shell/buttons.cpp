// The command buttons and their drawing.
#include "shell/buttons.h"

#include "engine/host.h"
#include "render/render_win.h"
#include "render/zoom_win.h"
#include "shell/app.h"

namespace {

struct ButtonPictures {
    const char* szUp;
    const char* szDown;
};

const ButtonPictures kPictures[NUM_BUTTONS] = {
    {"NEWBTNUP", "NEWBTNDOWN"},   {"OPTIONBTNUP", "OPTIONBTNDOWN"}, {"SCOREBTNUP", "SCOREBTNDOWN"},
    {"WARPBTNUP", "WARPBTNDOWN"}, {"HELPBTNUP", "HELPBTNDOWN"},     {"QUITBTNUP", "QUITBTNDOWN"},
};

} // namespace

int ButtonsCreate(HWND hwndMainWnd) {
    int nMade = 0;
    for (int i = 0; i < NUM_BUTTONS; i++) {
        ahwndButton[i] =
            CreateWindowExA(0, "button", "Button", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, BUTTON_X,
                            BUTTON_Y + BUTTON_STEP_Y * i, BUTTON_W, BUTTON_H, hwndMainWnd,
                            (HMENU)(INT_PTR)(BUTTON_FIRST_ID + i), hInst, NULL);
        if (ahwndButton[i]) nMade++;
    }
    return nMade == NUM_BUTTONS;
}

const char* ButtonBitmapName(int nId, int bPressed) {
    int i = nId - BUTTON_FIRST_ID;
    if (i < 0 || i >= NUM_BUTTONS) return NULL;
    return bPressed ? kPictures[i].szDown : kPictures[i].szUp;
}

int DrawButton(HDC hdc, int nId, UINT itemState) {
    // The platform redraws a button as it goes down and as it comes up, so
    // the click sounds on the press only.
    int bPressed = (itemState & ODS_SELECTED) != 0;
    const char* szName = ButtonBitmapName(nId, bPressed);
    HBITMAP hbm = szName ? LoadGameBitmap(szName) : NULL;
    if (bPressed && pHost) pHost->PlayGameSound("BUTTONCLICK", 1);
    if (hbm) {
        DrawBitmapZoomed(hdc, hbm, 0, 0, nZoom);
        DeleteObject(hbm);
    }
    return 1;
}
