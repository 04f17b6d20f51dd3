// What the music tests share: writing a file, a message pump with a deadline,
// and a hidden window that keeps the MM_MCINOTIFY codes it is sent.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Writes the bytes to the file, replacing it; a failure fails the test.
void WriteTestFile(const std::string& sPath, const std::string& sBytes);
// Dispatches this thread's messages until fnDone says so or dwMs have passed.
void PumpUntil(const std::function<bool()>& fnDone, DWORD dwMs);
// A hidden window that appends each MM_MCINOTIFY code to *pNotified and hands
// it with its lParam to pfnNotify (the music's state machine); one at a time.
// DestroyWindow it when done.
HWND NotifyWindowCreate(std::vector<unsigned>* pNotified,
                        void (*pfnNotify)(HWND, uint32_t, uint32_t));
