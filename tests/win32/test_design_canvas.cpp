// The one canvas of the zoom: a design rectangle of it, cut to what it holds,
// reaches the target as its pixels made larger, and nothing beside it.
#include <gtest/gtest.h>
#include <windows.h>

#include "render/zoom_win.h"
#include "tests/win32/support/dib_canvas.h"

TEST(DesignCanvas, CopiesARectangleAtEachZoomPixelForPixel) {
    auto DesignColour = [](int x, int y) { return RGB(x * 5, y * 3, 0x80); };
    const RECT rcHeld = {3, 2, 16, 142}; // odd sizes, taller than two bands of the copy
    const COLORREF crMarker = RGB(1, 2, 3);
    const struct {
        RECT rc;
        int n;
        POINT ptAt;
    } aCase[] = {{rcHeld, 1, {5, 4}},
                 {{4, 3, 9, 8}, 2, {0, 0}},
                 {{0, 0, 8, 160}, 3, {-4, 1}},    // cut to what the canvas holds
                 {{15, 141, 16, 142}, 4, {2, 2}}, // its last pixel alone
                 {{3, 5, 16, 142}, 8, {0, -7}}};  // many bands
    DesignCanvas canvas;
    ASSERT_TRUE(DesignCanvasMake(&canvas, NULL, rcHeld, NULL));
    for (int y = rcHeld.top; y < rcHeld.bottom; y++)
        for (int x = rcHeld.left; x < rcHeld.right; x++)
            SetPixel(canvas.hdc, x, y, DesignColour(x, y));
    for (const auto& c : aCase) {
        DibCanvas target(20 * c.n, 150 * c.n, crMarker);
        EXPECT_TRUE(DesignCanvasCopy(canvas, c.rc, target.Dc(), c.ptAt, c.n));
        RECT rcIn;
        IntersectRect(&rcIn, &c.rc, &rcHeld);
        rcIn = ZoomToClient(rcIn, c.n);
        OffsetRect(&rcIn, c.ptAt.x, c.ptAt.y);
        int nWrong = 0;
        for (int y = 0; y < target.H(); y++)
            for (int x = 0; x < target.W(); x++) {
                const COLORREF cr = PtInRect(&rcIn, POINT{x, y})
                                        ? DesignColour((x - c.ptAt.x) / c.n, (y - c.ptAt.y) / c.n)
                                        : crMarker;
                if (target.At(x, y) != cr && nWrong++ == 0)
                    ADD_FAILURE() << "zoom " << c.n << " at " << x << "," << y;
            }
        EXPECT_EQ(nWrong, 0) << "zoom " << c.n;
    }
    DesignCanvasFree(&canvas);
}
