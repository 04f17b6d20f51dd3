// The warp passwords and the direct level-select code.
//
// The table holds every password scrambled: the character at position i is
// stored raised by i + 1 (8-bit), so the plain words never appear in the
// executable. A typed code is scrambled the same way and compared.
#include <cstdlib>
#include <cstring>

#include "engine/game.h"
#include "engine/warp.h"

char aWarpPassword[WARP_SLOTS][WARP_SLOT_LEN];

namespace {

// Slot k opens level 5k + 6.
const char* const kScrambledPasswords[WARP_SLOTS] = {
    "\x48\x54\x44\x52\x4E\x5A\x4C\x40",
    "\x54\x4E\x44\x58\x4A\x56\x50\x5C",
    "\x44\x51\x45\x46\x51\x4B\x5A\x5C\x58\x58\x50",
    "\x43\x43\x56\x45\x51\x5A\x4A\x5D\x5D",
    "\x4E\x43\x55\x46\x51\x4B\x5D\x4D\x52\x58",
    "\x52\x57\x44\x56\x57\x5F\x54\x49\x57",
    "\x44\x4A\x4C\x57\x4A\x52\x3B\x3A",
    "\x50\x44\x56\x4D\x49\x4F\x48\x56\x40",
    "\x44\x43\x53\x57\x59\x55\x55\x4D\x3D\x40",
};

// Copies at most WARP_CODE_LEN characters and always terminates.
void SlotCopy(char* szDst, const char* szSrc) {
    std::strncpy(szDst, szSrc, WARP_CODE_LEN);
    szDst[WARP_CODE_LEN] = '\0';
}

} // namespace

void WarpTableInit() {
    for (int k = 0; k < WARP_SLOTS; k++) SlotCopy(aWarpPassword[k], kScrambledPasswords[k]);
}

int WarpLevelForCode(char* szCode) {
    if (!szCode) return 0;
    // The length is measured again after every step: a character that
    // becomes NUL ends the text there.
    for (size_t i = 0; i < std::strlen(szCode); i++)
        szCode[i] = (char)(unsigned char)((unsigned char)szCode[i] + i + 1);
    // An empty code, or one longer than any slot can hold, matches nothing.
    size_t nLen = std::strlen(szCode);
    if (nLen == 0 || nLen > WARP_CODE_LEN) return 0;
    for (int k = 0; k < WARP_SLOTS; k++)
        if (std::strcmp(szCode, aWarpPassword[k]) == 0) return 5 * k + 6;
    return 0;
}

void WarpPasswordForLevel(int nLevel, char* szOut) {
    if (!szOut) return;
    szOut[0] = '\0';
    int k = nLevel / 5 - 1;
    // Only the levels 6, 11, ..., 46 (and their neighbours up to the next
    // fifth level) have a slot; anything else gets an empty password.
    if (nLevel < 6 || k < 0 || k >= WARP_SLOTS) return;

    char szScratch[28];
    SlotCopy(szScratch, aWarpPassword[k]);
    for (size_t i = 0; i < std::strlen(szScratch); i++)
        szScratch[i] = (char)(unsigned char)((unsigned char)szScratch[i] - (i + 1));
    SlotCopy(szOut, szScratch);
}

int WarpDirectLevel(const char* szCode, int* pnLevel) {
    // Marker, two characters, marker: look at each character only after the
    // one before it was found not to end the text.
    if (!szCode || szCode[0] != WARP_MARKER || szCode[1] == '\0' || szCode[2] == '\0' ||
        szCode[3] != WARP_MARKER)
        return 0;
    char szNumber[3] = {szCode[1], szCode[2], '\0'};
    long nRead = std::strtol(szNumber, nullptr, 10);
    int nLevel = (int)nRead;
    if (nRead < 1) nLevel = 1;
    if (nRead > NUM_LEVELS) nLevel = NUM_LEVELS;
    if (pnLevel) *pnLevel = nLevel;
    return 1;
}
