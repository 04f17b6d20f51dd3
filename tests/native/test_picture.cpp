// The picture's operations: which pixels each covers, clipping, what it
// notes as changed, and the bitmap decoder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/picture.h"

namespace {

const PictureColor kBg = 0x010203, kInk = 0xFF0000, kFill = 0x00FF00;

// A 16 x 12 picture of the design rectangle (100, 50)-(116, 62), as text:
// '.' background, 'o' ink (pen), '+' fill, '?' anything else.
struct Canvas {
    std::vector<uint32_t> px = std::vector<uint32_t>(16 * 12, kBg);
    Picture pic = PictureOver(px.data(), PictureRect{100, 50, 116, 62});
    std::string Row(int y) const {
        std::string s;
        for (int x = 100; x < 116; x++) {
            PictureColor c = PicturePixel(pic, x, y);
            s += c == kBg ? '.' : c == kInk ? 'o' : c == kFill ? '+' : '?';
        }
        return s;
    }
};

std::string Text(const PictureRect& rc) {
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "-" + std::to_string(rc.right) +
           "," + std::to_string(rc.bottom);
}

TEST(Picture, ShapesCoverThePlatformsPixels) {
    const PictureColor crPen = kInk, crBrush = kFill;
    struct Case {
        const char* szWhat;
        void (*pfnDraw)(Picture* p, const PictureColor* pPen, const PictureColor* pBrush);
        int y;                 // the row looked at
        const char* szRow;     // how it looks
        PictureRect rcChanged; // what the picture notes
    } const aCases[] = {
        {"a line leaves out its last point",
         [](Picture* p, const PictureColor*, const PictureColor*) {
             PictureLine(p, 102, 52, 108, 52, kInk);
         },
         52,
         "..oooooo........",
         {102, 52, 109, 53}},
        {"a slant at 45 degrees",
         [](Picture* p, const PictureColor*, const PictureColor*) {
             PictureLine(p, 104, 56, 108, 52, kInk);
         },
         54,
         "......o.........",
         {104, 52, 109, 57}},
        {"a rectangle: outline in, fill inside",
         [](Picture* p, const PictureColor* pPen, const PictureColor* pBrush) {
             PictureRectangle(p, PictureRect{101, 51, 106, 55}, pPen, pBrush);
         },
         52,
         ".o+++o..........",
         {101, 51, 106, 55}},
        {"the null pen fills one short",
         [](Picture* p, const PictureColor*, const PictureColor* pBrush) {
             PictureRectangle(p, PictureRect{101, 51, 106, 55}, nullptr, pBrush);
         },
         53,
         ".++++...........",
         {101, 51, 105, 54}},
        {"clipped by the picture's edge",
         [](Picture* p, const PictureColor*, const PictureColor*) {
             PictureFill(p, PictureRect{90, 40, 103, 52}, kInk);
         },
         51,
         "ooo.............",
         {100, 50, 103, 52}},
        {"a frame inside its rectangle",
         [](Picture* p, const PictureColor*, const PictureColor*) {
             PictureFrame(p, PictureRect{110, 50, 116, 56}, kInk);
         },
         53,
         "..........o....o",
         {110, 50, 116, 56}},
        {"a slanted polygon: filled, then outlined",
         [](Picture* p, const PictureColor* pPen, const PictureColor* pBrush) {
             const PicturePoint a[5] = {{102, 58}, {105, 55}, {112, 55}, {109, 58}, {102, 58}};
             PicturePolygon(p, a, 5, *pPen, *pBrush);
         },
         56,
         "....o++++++o....",
         {102, 55, 113, 59}},
    };
    for (const Case& c : aCases) {
        Canvas cv;
        c.pfnDraw(&cv.pic, &crPen, &crBrush);
        EXPECT_EQ(cv.Row(c.y), c.szRow) << c.szWhat;
        PictureRect rc;
        PictureTakeChanged(&cv.pic, &rc);
        EXPECT_EQ(Text(rc), Text(c.rcChanged)) << c.szWhat;
    }
}

TEST(Picture, CopiesClipAndCombine) {
    const uint32_t aSrc[6] = {0x000000, 0xFFFFFF, 0x0F0F0F, 0x00FF00, 0xF0F0F0, 0x123456};
    const PictureBitmap bmp = {aSrc, 3, 2, 3};
    struct Case {
        PictureRop rop;
        int x, y;
        PictureColor crAt; // the pixel at (101, 51) afterwards
    } const aCases[] = {
        {PICTURE_COPY, 100, 50, 0xF0F0F0},  {PICTURE_AND, 100, 50, kBg & 0xF0F0F0},
        {PICTURE_PAINT, 100, 50, 0xF1F2F3}, {PICTURE_INVERT, 100, 50, kBg ^ 0xF0F0F0},
        {PICTURE_COPY, 99, 50, 0x123456},   {PICTURE_COPY, 114, 60, kBg},
    };
    for (const Case& c : aCases) {
        Canvas cv;
        EXPECT_EQ(PictureBlit(&cv.pic, c.x, c.y, bmp, c.rop), 1);
        EXPECT_EQ(PicturePixel(cv.pic, 101, 51), c.crAt) << c.rop << " at " << c.x;
    }
    // A masked copy takes the bitmap where the mask is black.
    const uint32_t aMask[6] = {0, 0xFFFFFF, 0, 0xFFFFFF, 0, 0xFFFFFF};
    Canvas cv;
    PictureBlitMasked(&cv.pic, 100, 50, bmp, PictureBitmap{aMask, 3, 2, 3});
    EXPECT_EQ(cv.Row(50), "?.?.............");
    EXPECT_EQ(cv.Row(51), ".?..............");
    // A part of a bitmap, centred.
    Canvas cc;
    PictureBlitCentered(&cc.pic, PictureBitmapPart(bmp, 1, 0, 2, 2), PictureRect{100, 50, 106, 52});
    EXPECT_EQ(PicturePixel(cc.pic, 102, 50), 0xFFFFFFu);
    EXPECT_EQ(PicturePixel(cc.pic, 103, 51), 0x123456u);
}

// A copy notes only the box around the pixels it really changed, so the
// platform sends no more than a viewer could see change; a sprite drawn
// again over itself notes nothing. A box one pixel short would leave a
// changed pixel unsent.
TEST(Picture, CopiesNoteOnlyWhatTheyChanged) {
    struct Case {
        std::vector<int> aInk; // the bitmap's pixels (index y * 4 + x) that differ
        PictureRop rop;
        bool bMasked;
        const char* szChanged; // blitted at (102, 50)
    } const aCases[] = {
        {{6}, PICTURE_COPY, false, "104,51-105,52"},
        {{11}, PICTURE_COPY, false, "105,52-106,53"},
        {{0, 11}, PICTURE_PAINT, false, "102,50-106,53"},
        {{3}, PICTURE_COPY, true, "105,50-106,51"},
    };
    const uint32_t aMask[12] = {};
    for (const Case& c : aCases) {
        std::vector<uint32_t> aSrc(12, kBg);
        for (int i : c.aInk) aSrc[(size_t)i] = kInk;
        const PictureBitmap bmp = {aSrc.data(), 4, 3, 4};
        Canvas cv;
        for (const char* szWant : {c.szChanged, "0,0-0,0"}) {
            if (c.bMasked)
                PictureBlitMasked(&cv.pic, 102, 50, bmp, PictureBitmap{aMask, 4, 3, 4});
            else
                PictureBlit(&cv.pic, 102, 50, bmp, c.rop);
            PictureRect rc;
            PictureTakeChanged(&cv.pic, &rc);
            EXPECT_EQ(Text(rc), szWant) << c.szChanged;
        }
    }
}

// A bitmap file of w x h at nBits, its pixels the palette's indices i % 2
// (or the colours themselves at 24 bits), bottom-up as files are.
std::vector<uint8_t> BmpFile(int nBits, int w, int h, const uint32_t aPalette[2]) {
    const int nColors = nBits <= 8 ? 1 << nBits : 0;
    const size_t nRow = (size_t(w) * nBits + 31) / 32 * 4;
    const size_t nOff = 14 + 40 + 4 * size_t(nColors);
    std::vector<uint8_t> b(nOff + nRow * h);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; i++) b[at + i] = uint8_t(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put(10, uint32_t(nOff), 4);
    put(14, 40, 4);
    put(18, uint32_t(w), 4);
    put(22, uint32_t(h), 4);
    put(26, 1, 2);
    put(28, uint32_t(nBits), 2);
    for (int i = 0; i < nColors; i++) put(54 + 4 * size_t(i), i < 2 ? aPalette[i] : 0x777777, 4);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const int v = (x + y) % 2;
            uint8_t* pRow = b.data() + nOff + nRow * (h - 1 - y);
            if (nBits == 1) pRow[x / 8] |= uint8_t(v << (7 - x % 8));
            if (nBits == 4) pRow[x / 2] |= uint8_t(v << (x % 2 ? 0 : 4));
            if (nBits == 8) pRow[x] = uint8_t(v);
            if (nBits == 24) put(size_t(pRow - b.data()) + 3 * size_t(x), aPalette[v], 3);
        }
    return b;
}

TEST(Picture, BitmapsDecodeThroughTheirPalette) {
    // Stored blue, green, red: as a little-endian word, the picture's order.
    const uint32_t aPalette[2] = {0x0000FF, 0xFFFF00};
    for (int nBits : {1, 4, 8, 24}) {
        std::vector<uint8_t> file = BmpFile(nBits, 11, 4, aPalette);
        ASSERT_EQ(PictureBitmapSize(file.data(), file.size()), 44u) << nBits;
        std::vector<uint32_t> store(44);
        PictureBitmap bmp;
        ASSERT_EQ(PictureBitmapDecode(file.data(), file.size(), store.data(), 44, &bmp), 1);
        const uint32_t aWant[4][2] = {
            {0, 0x0000FF}, {10, 0x0000FF}, {11, 0xFFFF00}, {34, 0x0000FF}};
        for (const auto& w : aWant)
            EXPECT_EQ(bmp.pPixels[w[0]], w[1]) << nBits << " bits, " << w[0];
        // As a resource holds it: the header first, no file header.
        EXPECT_EQ(PictureBitmapSize(file.data() + 14, file.size() - 14), 44u) << nBits;
        // Cut short, or too little room, it is refused.
        EXPECT_EQ(PictureBitmapSize(file.data(), file.size() - 1), 0u) << nBits;
        EXPECT_EQ(PictureBitmapDecode(file.data(), file.size(), store.data(), 43, &bmp), 0);
    }
}

} // namespace
