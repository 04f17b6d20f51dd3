// Tooltips for the child controls of a window: one set for the main window's
// command buttons, one for the options dialog while it is open. Each set is a
// tooltip control, the window whose descendants are its tools and a message
// hook of this thread that relays the mouse to the control.
#pragma once

#include <windows.h>

#include <commctrl.h>

struct TooltipSet {
    HWND hwndTip;      // the tooltip control, or NULL
    HWND hwndTipOwner; // the window whose child controls are the tools
    HHOOK hTipHook;    // the relay hook, or NULL
};

extern TooltipSet tipsMain;
extern TooltipSet tipsOptions;

// The main window's set: every descendant of hwndOwner becomes a tool whose
// text is asked for when it shows. Only a class named exactly "STATIC" is
// left out, and no control the game makes is named so (static controls are
// "Static"): statics are tools too, and stay silent because no text belongs
// to their ids. Returns 1 when the tips and their hook are in place.
int CreateTooltips(HWND hwndOwner);
int DestroyTooltips();
// The main window's WM_NOTIFY answer: fills in the text of TTN_NEEDTEXTA for
// the command buttons (ids 500..505). Returns 1 if it answered.
int MainTooltipText(NMHDR* pnmhdr);

// The options dialog's set, made at the end of its WM_INITDIALOG and removed
// just before it ends.
int CreateOptionsTooltips(HWND hwndDlg);
int DestroyOptionsTooltips();
int OptionsTooltipText(NMHDR* pnmhdr);

// The text a tool with control id nId shows: "" for an id without one.
const char* MainTooltipFor(int nId);
const char* OptionsTooltipFor(int nId);
