// Mock-ups of the game's two screens from the generated pictures.
#pragma once

#include "art.h"

Canvas MockTitle(const AssetList& list);
Canvas MockGame(const AssetList& list, int level);
Canvas MockPatterns(const AssetList& list);
