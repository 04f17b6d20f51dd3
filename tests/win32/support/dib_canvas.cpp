#include "tests/win32/support/dib_canvas.h"

#include <cstdio>

#include "tests/win32/support/png_write.h"

DibCanvas::DibCanvas(int w, int h, COLORREF crFill) : nW(w), nH(h) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* pv = nullptr;
    hbm = CreateDIBSection(NULL, &bi, DIB_RGB_COLORS, &pv, NULL, 0);
    pBits = static_cast<uint32_t*>(pv);
    hdc = CreateCompatibleDC(NULL);
    hbmOld = SelectObject(hdc, hbm);
    Fill(crFill);
}

DibCanvas::~DibCanvas() {
    SelectObject(hdc, hbmOld);
    DeleteDC(hdc);
    DeleteObject(hbm);
}

COLORREF DibCanvas::At(int x, int y) const {
    if (x < 0 || y < 0 || x >= nW || y >= nH) return CLR_INVALID;
    GdiFlush();
    return ColorOf(pBits[size_t(y) * size_t(nW) + size_t(x)] & 0xFFFFFF);
}

void DibCanvas::Fill(COLORREF cr) {
    GdiFlush();
    const uint32_t v = RgbOf(cr);
    for (size_t i = 0; i < size_t(nW) * size_t(nH); i++) pBits[i] = v;
}

int DibCanvas::CountChanged(const std::vector<uint32_t>& before, RECT* pBox) const {
    GdiFlush();
    int n = 0;
    RECT box = {nW, nH, 0, 0};
    for (int y = 0; y < nH; y++) {
        for (int x = 0; x < nW; x++) {
            size_t i = size_t(y) * size_t(nW) + size_t(x);
            if ((pBits[i] & 0xFFFFFF) == (before[i] & 0xFFFFFF)) continue;
            n++;
            if (x < box.left) box.left = x;
            if (y < box.top) box.top = y;
            if (x + 1 > box.right) box.right = x + 1;
            if (y + 1 > box.bottom) box.bottom = y + 1;
        }
    }
    if (pBox) *pBox = n ? box : RECT{0, 0, 0, 0};
    return n;
}

bool DibCanvas::SavePng(const std::string& sPath) const {
    GdiFlush();
    std::vector<uint32_t> px(size_t(nW) * size_t(nH));
    for (size_t i = 0; i < px.size(); i++) px[i] = pBits[i] & 0xFFFFFF;
    return PngWrite(sPath.c_str(), px.data(), nW, nH);
}

std::vector<uint32_t> BitmapPixels(HBITMAP hbm, int* pW, int* pH) {
    BITMAP bm;
    if (!hbm || !GetObjectA(hbm, sizeof bm, &bm)) return {};
    // Drawn onto a canvas the way the game draws it, so colour conversion
    // (a 1-bit bitmap takes the text and background colours) is the same.
    DibCanvas canvas(bm.bmWidth, bm.bmHeight);
    HDC hdcMem = CreateCompatibleDC(canvas.Dc());
    HGDIOBJ hOld = SelectObject(hdcMem, hbm);
    BitBlt(canvas.Dc(), 0, 0, bm.bmWidth, bm.bmHeight, hdcMem, 0, 0, SRCCOPY);
    SelectObject(hdcMem, hOld);
    DeleteDC(hdcMem);
    if (pW) *pW = bm.bmWidth;
    if (pH) *pH = bm.bmHeight;
    std::vector<uint32_t> px = canvas.Snapshot();
    for (uint32_t& v : px) v &= 0xFFFFFF;
    return px;
}

bool CanvasShowsBitmap(const DibCanvas& canvas, HBITMAP hbm, int x, int y, std::string* psWhy) {
    int w = 0, h = 0;
    std::vector<uint32_t> px = BitmapPixels(hbm, &w, &h);
    if (px.empty()) {
        if (psWhy) *psWhy = "not a bitmap";
        return false;
    }
    for (int j = 0; j < h; j++) {
        for (int i = 0; i < w; i++) {
            COLORREF crCanvas = canvas.At(x + i, y + j);
            if (crCanvas == CLR_INVALID) continue;
            uint32_t want = px[size_t(j) * size_t(w) + size_t(i)];
            if (RgbOf(crCanvas) == want) continue;
            if (psWhy) {
                char sz[160];
                snprintf(sz, sizeof sz, "pixel (%d, %d) of the bitmap at (%d, %d): %06X, want %06X",
                         i, j, x + i, y + j, (unsigned)RgbOf(crCanvas), (unsigned)want);
                *psWhy = sz;
            }
            return false;
        }
    }
    return true;
}

std::string ScreenshotPath(const char* szFile) {
    return std::string(QUARRION_SCREENSHOT_DIR_W) + "\\" + szFile;
}
