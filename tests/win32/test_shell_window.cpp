// The main window's style and outer size follow the desktop it starts on.
#include <gtest/gtest.h>

#include "shell/app.h"

TEST(MainWindowShape, FollowsTheDesktopSize) {
    const int nCaption = 19;
    struct Case {
        int nWidth, nHeight;
        bool bCaption;
    } const aCases[] = {
        {1024, 768, true}, {641, 481, true},  {640, 480, false}, {800, 480, false},
        {640, 600, false}, {600, 400, false}, {639, 768, false},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << c.nWidth << " x " << c.nHeight);
        MainWindowShape shape = MainWindowShapeFor(c.nWidth, c.nHeight, nCaption);
        EXPECT_EQ(shape.nWidth, 640);
        if (c.bCaption) {
            EXPECT_EQ(shape.dwStyle, (DWORD)(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
            EXPECT_EQ(shape.nHeight, 480 + nCaption);
        } else {
            EXPECT_EQ(shape.dwStyle, (DWORD)(WS_POPUP | WS_BORDER | WS_SYSMENU));
            EXPECT_EQ(shape.nHeight, 480);
        }
    }
}
