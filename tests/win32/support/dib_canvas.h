// A drawing surface whose every pixel a test can read: a 32-bit top-down DIB
// section selected into a memory device context.
//
//   DibCanvas canvas(640, 480, RGB(1, 2, 3));   // filled with a marker colour
//   SomeDrawing(canvas.Dc());
//   EXPECT_EQ(canvas.At(10, 20), RGB(255, 255, 255));
//   canvas.SavePng("Z:\\...\\shot.png");
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class DibCanvas {
  public:
    DibCanvas(int w, int h, COLORREF crFill = RGB(0, 0, 0));
    ~DibCanvas();
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    HDC Dc() const { return hdc; }
    int W() const { return nW; }
    int H() const { return nH; }

    // The pixel at (x, y) as a COLORREF; CLR_INVALID outside.
    COLORREF At(int x, int y) const;
    void Fill(COLORREF cr);
    // The pixels as 0x00RRGGBB, rows top first.
    const uint32_t* Pixels() const { return pBits; }
    std::vector<uint32_t> Snapshot() const { return {pBits, pBits + size_t(nW) * size_t(nH)}; }
    // How many pixels differ from a snapshot; the bounding box of them in *pBox
    // (right and bottom exclusive; empty when none).
    int CountChanged(const std::vector<uint32_t>& before, RECT* pBox = nullptr) const;
    bool SavePng(const std::string& sPath) const;

  private:
    int nW, nH;
    HDC hdc = NULL;
    HBITMAP hbm = NULL;
    HGDIOBJ hbmOld = NULL;
    uint32_t* pBits = nullptr;
};

inline uint32_t RgbOf(COLORREF cr) {
    return (uint32_t(GetRValue(cr)) << 16) | (uint32_t(GetGValue(cr)) << 8) | GetBValue(cr);
}
inline COLORREF ColorOf(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The pixels of a bitmap as 0x00RRGGBB, rows top first (empty if hbm is not
// a bitmap). Width and height go to *pW and *pH.
std::vector<uint32_t> BitmapPixels(HBITMAP hbm, int* pW, int* pH);

// Whether the canvas shows bitmap hbm with its top-left corner at (x, y)
// (the part of it that lies on the canvas). On a mismatch *psWhy tells the
// first differing pixel.
bool CanvasShowsBitmap(const DibCanvas& canvas, HBITMAP hbm, int x, int y,
                       std::string* psWhy = nullptr);

// A file name under the screenshots folder (a Wine path).
std::string ScreenshotPath(const char* szFile);
