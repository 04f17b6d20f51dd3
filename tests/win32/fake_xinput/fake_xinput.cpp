// The stand-in xinput1_4.dll: XInputGetState answers from the shared block the
// end-to-end test writes (tests/win32/fake_xinput/fake_xinput.h).
#include "tests/win32/fake_xinput/fake_xinput.h"

#include <xinput.h>

static FakePad* FakePadBlock() {
    static FakePad* pPad;
    if (pPad) return pPad;
    HANDLE hMap = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, FAKE_PAD_MAPPING);
    if (!hMap) return NULL;
    pPad = (FakePad*)MapViewOfFile(hMap, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(FakePad));
    return pPad;
}

extern "C" __declspec(dllexport) DWORD WINAPI XInputGetState(DWORD dwUser, XINPUT_STATE* pState) {
    FakePad* pPad = FakePadBlock();
    if (!pPad) return ERROR_DEVICE_NOT_CONNECTED;
    LONG nCall = InterlockedIncrement(&pPad->nCalls);
    if (dwUser != 0 || !pPad->bConnected) return ERROR_DEVICE_NOT_CONNECTED;
    ZeroMemory(pState, sizeof *pState);
    pState->dwPacketNumber = (DWORD)nCall;
    pState->Gamepad.wButtons = (WORD)pPad->wButtons;
    pState->Gamepad.sThumbLX = (SHORT)pPad->nStickX;
    return ERROR_SUCCESS;
}
