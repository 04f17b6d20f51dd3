// How many GDI objects this process holds, for the tests that check that
// drawing routines give back everything they make.
#pragma once

#include <windows.h>

// GetGuiResources(GR_GDIOBJECTS) where the platform answers it; where it does
// not (Wine answers 0), the live entries of the process's GDI handle table.
// -1 if neither can be read.
long GdiObjectCount();
