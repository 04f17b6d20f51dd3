// The zoom's decisions: what fits a screen, the steps of Ctrl+Plus and
// Ctrl+Minus, the click back in design pixels, and the dialog font's size.
#include <gtest/gtest.h>

#include <vector>

#include "render/zoom.h"

TEST(Zoom, LargestFittingForTodaysScreens) {
    // A captioned window with a menu bar takes about 6 x 44 pixels around the
    // picture; full screen takes nothing.
    struct Case {
        int nAreaW, nAreaH, nExtraW, nExtraH, nZoom;
    } const aCases[] = {
        {1366, 728, 6, 44, 1},  {1920, 1040, 6, 44, 2}, {2560, 1400, 6, 44, 2},
        {3840, 2120, 6, 44, 4}, {640, 480, 6, 44, 1},   {1286, 1004, 6, 44, 2},
        {1285, 1004, 6, 44, 1}, {1920, 1080, 0, 0, 2},  {3840, 2160, 0, 0, 4},
        {2560, 1440, 0, 0, 3},  {7680, 4320, 0, 0, 8},  {100000, 100000, 0, 0, 8},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(ZoomLargestFitting(c.nAreaW, c.nAreaH, c.nExtraW, c.nExtraH), c.nZoom)
            << c.nAreaW << " x " << c.nAreaH << " + " << c.nExtraW << " x " << c.nExtraH;
}

TEST(Zoom, StepsStayWithinWhatFitsAndFileValuesAreChecked) {
    struct Case {
        int nZoom, nDir, nLargest, nNext;
    } const aCases[] = {
        {1, -1, 4, 1}, {1, 1, 4, 2}, {4, 1, 4, 4}, {4, -1, 4, 3},
        {6, 1, 3, 3},  {1, 1, 1, 1}, {8, 1, 9, 8}, {2, 1, 0, 1},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(ZoomStep(c.nZoom, c.nDir, c.nLargest), c.nNext)
            << c.nZoom << " " << c.nDir << " within " << c.nLargest;
    const int aRead[] = {-1, 0, 1, 8, 9, 1000};
    const int aKept[] = {0, 0, 1, 8, 0, 0};
    for (int i = 0; i < 6; i++) EXPECT_EQ(ZoomNormalize(aRead[i]), aKept[i]) << aRead[i];
}

TEST(Zoom, WindowPixelsMapBackToTheirDesignPixel) {
    // Every pixel of a 3 x 3 block is its design pixel, left of the picture too.
    const int aWindow[] = {0, 2, 3, 5, 6, -1, -3, -4};
    const int aDesign[] = {0, 0, 1, 1, 2, -1, -1, -2};
    for (int i = 0; i < 8; i++) EXPECT_EQ(ZoomUnscale(3, aWindow[i]), aDesign[i]) << aWindow[i];
    EXPECT_EQ(ZoomCentre(3840, 2560), 640);
    EXPECT_EQ(ZoomCentre(1000, 1280), 0);
}

TEST(Zoom, DialogFontPointsMakeTheDialogZoomTimesItsDesignSize) {
    struct Case {
        int nPoints, nZoom, nDpi, nScaled;
    } const aCases[] = {
        {12, 1, 96, 12},  {12, 2, 96, 24},   {12, 2, 192, 12}, {8, 1, 192, 4},
        {10, 3, 144, 20}, {40, 4, 120, 128}, {1, 1, 192, 1},   {12, 1, 0, 12},
    };
    for (const Case& c : aCases)
        EXPECT_EQ(ZoomDialogPoints(c.nPoints, c.nZoom, c.nDpi), c.nScaled)
            << c.nPoints << " pt at zoom " << c.nZoom << ", " << c.nDpi << " dpi";
}

namespace {

void Put16(std::vector<uint8_t>& v, unsigned w) {
    v.push_back((uint8_t)(w & 0xFF));
    v.push_back((uint8_t)(w >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t dw) {
    Put16(v, dw & 0xFFFF);
    Put16(v, dw >> 16);
}

} // namespace

TEST(Zoom, DialogTemplateFontIsFoundInPlainAndExtendedTemplates) {
    const uint32_t DS_SETFONT_BIT = 0x40;
    // A plain template: style, extended style, count, x, y, cx, cy; no menu,
    // the default class, the title "Ab", then the point size.
    std::vector<uint8_t> plain;
    Put32(plain, 0x80C00000u | DS_SETFONT_BIT);
    Put32(plain, 0);
    for (int i = 0; i < 5; i++) Put16(plain, 0);
    Put16(plain, 0);
    Put16(plain, 0);
    Put16(plain, 'A');
    Put16(plain, 'b');
    Put16(plain, 0);
    Put16(plain, 12);
    EXPECT_EQ(DialogTemplateFontOffset(plain.data(), plain.size()), 28);

    // An extended one: version 1, 0xFFFF, help id, extended style, style,
    // count, x, y, cx, cy; a menu by ordinal, the default class, no title.
    std::vector<uint8_t> ex;
    Put16(ex, 1);
    Put16(ex, 0xFFFF);
    Put32(ex, 0);
    Put32(ex, 0);
    Put32(ex, 0x80C00000u | DS_SETFONT_BIT);
    for (int i = 0; i < 5; i++) Put16(ex, 0);
    Put16(ex, 0xFFFF);
    Put16(ex, 7);
    Put16(ex, 0);
    Put16(ex, 0);
    Put16(ex, 12);
    EXPECT_EQ(DialogTemplateFontOffset(ex.data(), ex.size()), 34);

    // No font of its own, a title that runs off the end, nothing at all.
    std::vector<uint8_t> noFont = plain;
    noFont[0] &= (uint8_t)~DS_SETFONT_BIT;
    EXPECT_EQ(DialogTemplateFontOffset(noFont.data(), noFont.size()), -1);
    EXPECT_EQ(DialogTemplateFontOffset(plain.data(), 24), -1);
    EXPECT_EQ(DialogTemplateFontOffset(plain.data(), 28), -1);
    EXPECT_EQ(DialogTemplateFontOffset(nullptr, 0), -1);
}

TEST(Zoom, RectanglesMapBothWaysWithOneRule) {
    // Window rectangles cover their design pixels: the start rounds down, the
    // end up; a design rectangle is exactly its blocks.
    struct Case {
        ZoomRect rcWindow, rcDesign;
    } const aCases[] = {
        {{0, 0, 1920, 1440}, {0, 0, 640, 480}}, {{0, 0, 1283, 961}, {0, 0, 428, 321}},
        {{3, 6, 9, 12}, {1, 2, 3, 4}},          {{4, 7, 8, 11}, {1, 2, 3, 4}},
        {{-4, -3, -1, 0}, {-2, -1, 0, 0}},      {{2, 2, 3, 3}, {0, 0, 1, 1}},
    };
    for (const Case& c : aCases) {
        ZoomRect rc = ZoomRectToDesign(3, c.rcWindow);
        EXPECT_EQ(rc.left, c.rcDesign.left);
        EXPECT_EQ(rc.top, c.rcDesign.top);
        EXPECT_EQ(rc.right, c.rcDesign.right) << c.rcWindow.right;
        EXPECT_EQ(rc.bottom, c.rcDesign.bottom) << c.rcWindow.bottom;
    }
    ZoomRect rc = ZoomRectToWindow(3, ZoomRect{1, 2, 3, 4});
    EXPECT_EQ(rc.left + rc.top + rc.right + rc.bottom, 3 + 6 + 9 + 12);
    rc = ZoomRectToDesign(1, ZoomRect{5, 6, 7, 8});
    EXPECT_EQ(rc.left + rc.top + rc.right + rc.bottom, 5 + 6 + 7 + 8);
}

TEST(Zoom, PiecesStayApartUnlessCloseAndAFullListBecomesItsUnion) {
    ZoomPieces pieces = {};
    ZoomPiecesAdd(&pieces, ZoomRect{94, 231, 423, 259}); // the credits band
    ZoomPiecesAdd(&pieces, ZoomRect{35, 40, 75, 88});    // a tile far away
    ZoomPiecesAdd(&pieces, ZoomRect{5, 5, 5, 9});        // nothing
    ASSERT_EQ(pieces.n, 2);
    ZoomPiecesAdd(&pieces, ZoomRect{35, 44, 75, 92}); // the same tile a little lower
    ASSERT_EQ(pieces.n, 2);
    EXPECT_EQ(pieces.a[1].top, 40);
    EXPECT_EQ(pieces.a[1].bottom, 92);
    for (int i = 0; i < ZOOM_MAX_PIECES; i++)
        ZoomPiecesAdd(&pieces, ZoomRect{i * 20, 0, i * 20 + 2, 2});
    ASSERT_EQ(pieces.n, 1);
    EXPECT_EQ(pieces.a[0].left, 0);
    EXPECT_EQ(pieces.a[0].right, 462);
    EXPECT_EQ(pieces.a[0].bottom, 259);
}

TEST(Zoom, ATitleTicksPiecesGoAsOneBoxUntilTheBoxIsLarge) {
    // The band, the top row's seven tiles, four of the bottom row's.
    std::vector<ZoomRect> aPiece = {{94, 231, 427, 260}};
    for (int i = 0; i < 7; i++) aPiece.push_back({35 + 67 * i, 40, 75 + 67 * i, 88});
    for (int i = 0; i < 4; i++) aPiece.push_back({35 + 67 * i, 390, 75 + 67 * i, 438});
    const struct {
        int nZoom;
        std::vector<size_t> aStarts; // the pieces that start a group
    } aCases[] = {{1, {0, 8}}, {2, {0, 1, 8}}, {3, {0, 1, 8}}, {8, {0, 1, 3, 5, 7, 8, 10}}};
    for (const auto& c : aCases) {
        ZoomGroup group = {};
        std::vector<size_t> aStarts;
        for (size_t i = 0; i < aPiece.size(); i++)
            if (ZoomGroupAdd(&group, aPiece[i], c.nZoom)) aStarts.push_back(i);
        EXPECT_EQ(aStarts, c.aStarts) << "zoom " << c.nZoom;
    }
}

TEST(Zoom, ScaledPixelsAreBlocksOfTheirDesignPixel) {
    // A 3 x 2 piece of a 5-wide picture, at every zoom, into a wider band.
    const uint32_t aPicture[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (int nZoom = 1; nZoom <= 4; nZoom++) {
        const int nStride = 3 * nZoom + 2;
        std::vector<uint32_t> band(nStride * 2 * nZoom, 0xDEAD);
        ZoomScalePixels(aPicture + 1, 5, 3, 2, nZoom, band.data(), nStride);
        for (int y = 0; y < 2 * nZoom; y++)
            for (int x = 0; x < nStride; x++) {
                uint32_t want = x < 3 * nZoom ? aPicture[(y / nZoom) * 5 + 1 + x / nZoom] : 0xDEAD;
                ASSERT_EQ(band[y * nStride + x], want)
                    << "zoom " << nZoom << " at " << x << "," << y;
            }
    }
}
