// The two tooltip sets and the hooks that feed them the mouse.
#include "shell/tooltips.h"

#include <cstddef>

#include "shell/app.h"

TooltipSet tipsMain;
TooltipSet tipsOptions;

namespace {

struct TipText {
    int nId;
    const char* szText;
};

const TipText kMainTips[] = {
    {500, "Start a new game"},    {501, "Set game options"},
    {502, "Display high scores"}, {503, "Enter a code to start a new level"},
    {504, "Show detailed help"},  {505, "Quit the game"},
};

const TipText kOptionsTips[] = {
    {1, "Save changes"},
    {2, "Ignore changes"},
    {101, "Tiles fall slowly"},
    {102, "Tiles fall at a medium pace"},
    {103, "Tiles fall quickly"},
    {104, "Tiles come tumbling down"},
    {1000, "Toggle main window menu on/off"},
    {1001, "Toggle sound on/off"},
    {1002, "Toggle music on/off"},
    {1003, "Music changes with levels (if unchecked)"},
    {1004, "Allow background patterns to change with levels"},
};

// The size of the tool record the tips are added with (without lParam), so
// that every version of the common controls takes it: 40 bytes in the 32-bit
// game, more where pointers are wider.
enum { TOOLINFO_SIZE = offsetof(TOOLINFOA, lpszText) + sizeof(LPSTR), CLASS_NAME_LEN = 64 };

template <size_t N> const char* TextOf(const TipText (&aTips)[N], int nId) {
    for (const TipText& t : aTips)
        if (t.nId == nId) return t.szText;
    return "";
}

BOOL CALLBACK AddTool(HWND hwndChild, LPARAM lParam) {
    TooltipSet* pSet = (TooltipSet*)lParam;
    char szClass[CLASS_NAME_LEN + 1] = "";
    GetClassNameA(hwndChild, szClass, CLASS_NAME_LEN);
    // A case-sensitive test: static controls are "Static" and pass it, so they
    // become tools; they show nothing because their ids have no text.
    if (lstrcmpA(szClass, "STATIC") == 0) return TRUE;
    TOOLINFOA ti = {};
    ti.cbSize = TOOLINFO_SIZE;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = GetParent(hwndChild);
    ti.uId = (UINT_PTR)hwndChild;
    ti.lpszText = LPSTR_TEXTCALLBACKA;
    SendMessageA(pSet->hwndTip, TTM_ADDTOOLA, 0, (LPARAM)&ti);
    return TRUE;
}

// Relays the mouse messages of the set's owner and its descendants: the tools
// are not subclassed, so this is how the control learns of the mouse.
LRESULT RelayMouse(const TooltipSet& set, int nCode, WPARAM wParam, LPARAM lParam) {
    const MSG* pMsg = (const MSG*)lParam;
    if (nCode >= 0 && pMsg && set.hwndTip && IsChild(set.hwndTipOwner, pMsg->hwnd)) {
        switch (pMsg->message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP: {
            MSG msg = {};
            msg.hwnd = pMsg->hwnd;
            msg.message = pMsg->message;
            msg.wParam = pMsg->wParam;
            msg.lParam = pMsg->lParam;
            SendMessageA(set.hwndTip, TTM_RELAYEVENT, 0, (LPARAM)&msg);
            break;
        }
        default: break;
        }
    }
    return CallNextHookEx(set.hTipHook, nCode, wParam, lParam);
}

LRESULT CALLBACK TooltipHook(int nCode, WPARAM wParam, LPARAM lParam) {
    return RelayMouse(tipsMain, nCode, wParam, lParam);
}

LRESULT CALLBACK OptionsTooltipHook(int nCode, WPARAM wParam, LPARAM lParam) {
    return RelayMouse(tipsOptions, nCode, wParam, lParam);
}

int TipsDestroy(TooltipSet* pSet);

int TipsCreate(TooltipSet* pSet, HWND hwndOwner, HOOKPROC pfnHook) {
    TipsDestroy(pSet); // a set made twice keeps no stray control or hook
    pSet->hwndTip =
        CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwndOwner, NULL, hInst, NULL);
    if (!pSet->hwndTip) return 0;
    pSet->hwndTipOwner = hwndOwner;
    if (!EnumChildWindows(hwndOwner, AddTool, (LPARAM)pSet)) return 0;
    pSet->hTipHook = SetWindowsHookExA(WH_GETMESSAGE, pfnHook, NULL, GetCurrentThreadId());
    return pSet->hTipHook != NULL;
}

int TipsDestroy(TooltipSet* pSet) {
    if (pSet->hTipHook) {
        UnhookWindowsHookEx(pSet->hTipHook);
        pSet->hTipHook = NULL;
    }
    if (pSet->hwndTip) {
        DestroyWindow(pSet->hwndTip);
        pSet->hwndTip = NULL;
    }
    pSet->hwndTipOwner = NULL;
    return 1;
}

template <size_t N> int AnswerTipText(NMHDR* pnmhdr, const TipText (&aTips)[N]) {
    if (!pnmhdr || pnmhdr->code != TTN_NEEDTEXTA) return 0;
    NMTTDISPINFOA* pInfo = (NMTTDISPINFOA*)pnmhdr;
    int nId = GetDlgCtrlID((HWND)pnmhdr->idFrom);
    pInfo->lpszText = (LPSTR)TextOf(aTips, nId);
    return 1;
}

} // namespace

int CreateTooltips(HWND hwndOwner) {
    return TipsCreate(&tipsMain, hwndOwner, TooltipHook);
}
int DestroyTooltips() {
    return TipsDestroy(&tipsMain);
}
int MainTooltipText(NMHDR* pnmhdr) {
    return AnswerTipText(pnmhdr, kMainTips);
}
const char* MainTooltipFor(int nId) {
    return TextOf(kMainTips, nId);
}

int CreateOptionsTooltips(HWND hwndDlg) {
    return TipsCreate(&tipsOptions, hwndDlg, OptionsTooltipHook);
}
int DestroyOptionsTooltips() {
    return TipsDestroy(&tipsOptions);
}
int OptionsTooltipText(NMHDR* pnmhdr) {
    return AnswerTipText(pnmhdr, kOptionsTips);
}
const char* OptionsTooltipFor(int nId) {
    return TextOf(kOptionsTips, nId);
}
