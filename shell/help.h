// The Help command. With a help file QUARR.HLP beside the program it is opened
// in the platform's help viewer at its contents; where there is no such file,
// or the platform cannot open it, the game shows its own help window
// "HELPDLG": the topics of the "HELPTEXT" resource (render/helpdoc.h) in a
// contents list and a page with the game's pictures.
#pragma once

#include <windows.h>

#include "render/helpdoc.h"

// Shows the game's help over hwndOwner; returns 1 (0 if the help text or its
// window could not be made).
int ShowHelp(HWND hwndOwner);

// The platform's help call; the tests put in a stand-in.
extern BOOL(WINAPI* pfnHelpWinHelp)(HWND hwnd, LPCWSTR wszFile, UINT uCommand, ULONG_PTR dwData);

// The full name of QUARR.HLP in the executable's directory, in wide
// characters; 1 if the directory can be named and the name fits into cchPath
// characters (the viewer takes no more than MAX_PATH), else 0 (and an empty
// string).
int HelpFilePath(wchar_t* wszPath, int cchPath);

// 1 if QUARR.HLP lies beside the executable (a file, not a folder), else 0.
int HelpFileExists();

// The open help window's page, for the tests: the topic shown, its layout,
// the page's width for text, and the font of each HelpFont.
int HelpViewerTopic();
const HelpLayout* HelpViewerLayout(int* pnWidth);
HFONT HelpViewerFont(int nFont);

INT_PTR CALLBACK HelpDlgProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
