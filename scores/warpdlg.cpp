// The warp dialog's OK decision.
#include <cstring>

#include "engine/warp.h"
#include "scores/warpdlg.h"

int WarpOkAction(const char* szTyped, int nCurrentLevel, int* pnLevel) {
    if (!szTyped) return WARP_OK_NOTHING;
    // The field holds at most 24 characters; the password lookup scrambles
    // its argument, so it works on a copy.
    char szCode[WARP_SLOT_LEN];
    std::strncpy(szCode, szTyped, WARP_CODE_LEN);
    szCode[WARP_CODE_LEN] = '\0';

    int nLevel = 0;
    if (WarpDirectLevel(szCode, &nLevel)) {
        if (pnLevel) *pnLevel = nLevel;
        return WARP_OK_GO;
    }
    nLevel = WarpLevelForCode(szCode);
    if (nLevel == 0) return WARP_OK_NOTHING;
    if (nLevel <= nCurrentLevel) return WARP_OK_BEEP;
    if (pnLevel) *pnLevel = nLevel;
    return WARP_OK_GO;
}
