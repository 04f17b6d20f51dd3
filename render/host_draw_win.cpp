// The drawing operations of the engine's host interface.
#include "shell/host_win.h"

int HostBeginDrawing() {
    return 0;
}
int HostEndDrawing() {
    return 0;
}
int HostDrawBins() {
    return 0;
}
int HostDrawPaddleStack() {
    return 0;
}
int HostErasePaddleStack() {
    return 0;
}
int HostStartPaddleFlash() {
    return 0;
}
int HostPaddleLightTick() {
    return 0;
}
int HostDrawTileFrame(int, int, int, int) {
    return 0;
}
int HostDrawTileErase(int, int) {
    return 0;
}
int HostDrawFlatTile(int, int, int) {
    return 0;
}
int HostDrawGoalPicture() {
    return 0;
}
int HostShowPauseLogo(int) {
    return 0;
}
int HostBlankRect(int, int, int, int) {
    return 0;
}
int HostLoadCreditsBitmap() {
    return 0;
}
