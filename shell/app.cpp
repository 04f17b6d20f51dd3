// Start-up of the program and its message loop.
#include "shell/app.h"

#include "engine/game.h"
#include "render/render_win.h"
#include "resources/resource.h"

HINSTANCE hInst;
HWND hwndMain;
char szAppCaption[APP_CAPTION_LEN];
char szAppClass[APP_CLASS_LEN];

MainWindowShape MainWindowShapeFor(int nDesktopWidth, int nDesktopHeight, int nCaptionHeight) {
    MainWindowShape shape;
    shape.nWidth = APP_WIDTH;
    if (nDesktopWidth > APP_WIDTH && nDesktopHeight > APP_HEIGHT) {
        shape.dwStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        shape.nHeight = APP_HEIGHT + nCaptionHeight;
    } else {
        shape.dwStyle = WS_POPUP | WS_BORDER | WS_SYSMENU;
        shape.nHeight = APP_HEIGHT;
    }
    return shape;
}

static int AppRegisterClass() {
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = hInst;
    wc.hIcon = LoadIconA(hInst, "MAINICON");
    wc.hCursor = NULL;
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszClassName = szAppClass;
    return RegisterClassA(&wc) != 0;
}

static HWND AppCreateMainWindow() {
    RECT rcDesktop;
    GetWindowRect(GetDesktopWindow(), &rcDesktop);
    MainWindowShape shape =
        MainWindowShapeFor(rcDesktop.right, rcDesktop.bottom, GetSystemMetrics(SM_CYCAPTION));
    return CreateWindowExA(0, szAppClass, szAppCaption, shape.dwStyle, 0, 0, shape.nWidth,
                           shape.nHeight, NULL, NULL, hInst, NULL);
}

static int AppMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}

int AppMain(HINSTANCE hInstance, int nCmdShow) {
    hInst = hInstance;
    HostInstallWin32();
    LoadStringA(hInst, IDS_APPCAPTION, szAppCaption, APP_CAPTION_LEN);
    LoadStringA(hInst, IDS_CLASSNAME, szAppClass, APP_CLASS_LEN);

    HWND hwndRunning = FindWindowA(szAppClass, NULL);
    if (hwndRunning) {
        ShowWindow(hwndRunning, SW_SHOWNORMAL);
        BringWindowToTop(hwndRunning);
        return 0;
    }
    if (!AppRegisterClass()) return 0;

    hwndMain = AppCreateMainWindow();
    if (!hwndMain) return 0;

    LoadBitmaps();
    GameInit(hwndMain);

    ShowWindow(hwndMain, nCmdShow);
    UpdateWindow(hwndMain);
    int nExit = AppMessageLoop();
    FreeBitmaps();
    return nExit;
}
