#include "tests/win32/support/music_test.h"

#include <gtest/gtest.h>
#include <mmsystem.h>

namespace {

std::vector<unsigned>* pNotifiedTo;
void (*pfnNotifyTo)(HWND, uint32_t, uint32_t);

LRESULT CALLBACK NotifyProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg != MM_MCINOTIFY) return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    if (pNotifiedTo) pNotifiedTo->push_back((unsigned)wParam);
    if (pfnNotifyTo) pfnNotifyTo(hwnd, (uint32_t)wParam, (uint32_t)lParam);
    return 1;
}

} // namespace

void WriteTestFile(const std::string& sPath, const std::string& sBytes) {
    HANDLE h = CreateFileA(sPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << sPath;
    DWORD n = 0;
    ::WriteFile(h, sBytes.data(), (DWORD)sBytes.size(), &n, NULL);
    CloseHandle(h);
    EXPECT_EQ(n, sBytes.size()) << sPath;
}

void PumpUntil(const std::function<bool()>& fnDone, DWORD dwMs) {
    DWORD dwStart = GetTickCount();
    while (!fnDone() && GetTickCount() - dwStart < dwMs) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
}

HWND NotifyWindowCreate(std::vector<unsigned>* pNotified,
                        void (*pfnNotify)(HWND, uint32_t, uint32_t)) {
    pNotifiedTo = pNotified;
    pfnNotifyTo = pfnNotify;
    WNDCLASSA wc{};
    wc.lpfnWndProc = NotifyProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "QuarrionMusicNotifyTest";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, NULL, NULL,
                           wc.hInstance, NULL);
}
