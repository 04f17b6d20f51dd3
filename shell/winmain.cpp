#include "shell/app.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    return AppMain(hInstance, nCmdShow);
}
