// The Help command. With a help file QUARR.HLP beside the program it is opened
// in the platform's help viewer at its contents; without one the game shows
// its own help text (the "HELPTEXT" resource) in the modal box "HELPDLG".
#pragma once

#include <windows.h>

// Room for the help text with CR LF line ends and its terminating NUL.
enum { HELP_TEXT_MAX = 16384 };

// Shows the game's help over hwndOwner; returns 1.
int ShowHelp(HWND hwndOwner);

// The full name of QUARR.HLP in the executable's directory; 1 if it fits into
// cchPath characters, else 0 (and szPath is empty).
int HelpFilePath(char* szPath, int cchPath);

// 1 if QUARR.HLP lies beside the executable (a file, not a folder), else 0.
int HelpFileExists();

// Copies cbSrc bytes of text to szDst, writing every lone LF as CR LF (a CR LF
// stays as it is), and ends it with a NUL; stops early rather than overrun
// cchDst characters or split a line end. Returns the length written.
int HelpTextToCrlf(const char* pSrc, int cbSrc, char* szDst, int cchDst);

INT_PTR CALLBACK HelpDlgProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
