#include "tests/win32/support/gdi_count.h"

#include <cstdint>

namespace {

// One entry of the GDI handle table that the process environment block
// points to; a live object has a non-zero type.
struct GdiHandleEntry {
    uint64_t qwObject;
    uint32_t dwOwner;
    uint16_t wUnique;
    uint8_t bType;
    uint8_t bFlags;
    uint64_t qwUser;
};
static_assert(sizeof(GdiHandleEntry) == 24, "GDI handle table entry layout");

// The table's place in the process environment block, which the thread's
// block points to (fs:[0x30] in a 32-bit process, gs:[0x60] in a 64-bit one:
// the tests also run as a 64-bit build where the machine runs no 32-bit code).
#ifdef _WIN64
enum { GDI_TABLE_ENTRIES = 0x10000, PEB_GDI_TABLE_OFFSET = 0xF8 };
#else
enum { GDI_TABLE_ENTRIES = 0x10000, PEB_GDI_TABLE_OFFSET = 0x94 };
#endif

const GdiHandleEntry* GdiHandleTable() {
    const uint8_t* pPeb = nullptr;
#ifdef _WIN64
    __asm__("movq %%gs:0x60, %0" : "=r"(pPeb));
#else
    __asm__("movl %%fs:0x30, %0" : "=r"(pPeb));
#endif
    if (!pPeb) return nullptr;
    return *reinterpret_cast<GdiHandleEntry* const*>(pPeb + PEB_GDI_TABLE_OFFSET);
}

} // namespace

long GdiObjectCount() {
    DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (n) return long(n);
    const GdiHandleEntry* pTable = GdiHandleTable();
    if (!pTable) return -1;
    long nLive = 0;
    for (int i = 0; i < GDI_TABLE_ENTRIES; i++)
        if (pTable[i].bType) nLive++;
    return nLive;
}
