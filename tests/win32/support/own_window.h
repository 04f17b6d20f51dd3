// The tests that open a dialog from a timer on their own thread find it here.
#pragma once

#include <windows.h>

// A visible window of this thread of the class (a dialog unless told) and, if
// given, the caption; NULL when there is none. Windows of other test
// processes on the same desktop are never taken.
HWND FindOwnWindow(const char* szClass = "#32770", const char* szCaption = nullptr);
