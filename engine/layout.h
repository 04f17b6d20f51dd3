// The starting tiles of each level, in the bins and on the paddle.
#pragma once

// Fills the bins for the level, sets aBinCount to match and posts the
// resolve request to the main window. Returns 1.
int LevelLayoutSet(int nLevel);

// Puts the level's starting tiles on the paddle (nHeld, aHeld, nPaddleY).
// Returns 1.
int PaddlePreload(int nLevel);
