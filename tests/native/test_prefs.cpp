// The options in memory: the Speed value brought into range and the fall step
// derived from it. (The defaults are checked through the file, in the Win32
// tests.)
#include <gtest/gtest.h>

#include <climits>

#include "engine/game.h"
#include "prefs/prefs.h"

namespace {

TEST(PrefsMemory, SpeedIsBroughtIntoRange) {
    struct Row {
        int32_t nRead, nSpeed;
    };
    const Row aRow[] = {{INT_MIN, 0}, {-4, 0}, {-1, 0}, {0, 0}, {1, 1},
                        {2, 2},       {3, 3},  {4, 3},  {9, 3}, {INT_MAX, 3}};
    for (const Row& r : aRow) EXPECT_EQ(SpeedNormalize(r.nRead), r.nSpeed) << "read " << r.nRead;
}

TEST(PrefsMemory, FallStepIsTwiceTheSpeedButAtLeastOne) {
    const int32_t anStep[] = {1, 2, 4, 6}; // Slow, Normal, Fast, Insane
    for (int32_t nSpeed = 0; nSpeed < 4; nSpeed++) {
        prefs.nSpeed = nSpeed;
        game.nFallStep = -1;
        ApplySpeed();
        EXPECT_EQ(game.nFallStep, anStep[nSpeed]) << "speed " << nSpeed;
    }
}

} // namespace
