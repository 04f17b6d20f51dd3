// How the tiles look to players who see colour differently: the greyscale
// and red-green (deuteranopia) views of a picture, and the sheet that sets
// the eight tiles side by side in colour and in both views.
#pragma once

#include "canvas.h"

Rgb GreyOf(Rgb c);
Rgb DeuteranopeOf(Rgb c);
Canvas TilesAccessSheet();
