// The game's initialisation file on Win32: which file is in use, and the
// profile calls that read and write it. Every read and write of the file goes
// through IniFileW, so every section follows the file wherever it is kept.
#pragma once

#include <windows.h>

// Room for a folder past the platform's 260-character limit.
enum { WIDE_PATH_LEN = 1024 };

// The executable's folder, ending in a backslash, read with the wide-character
// call (an ANSI path turns letters outside the code page into '?'). Returns
// 1, or 0 and an empty string when the folder cannot be named.
int ExeFolderW(wchar_t* wszDir, int cchDir);

// The initialisation file in use: "%APPDATA%\Quarrion\Quarr95.ini" once it
// exists; else "Quarr95.ini" beside the executable when the profile functions
// can write it there; otherwise (a path past the limit, a read-only folder or
// file, a folder of that name, a protected folder) the application-data file,
// made as a copy of the file beside the executable when that one can be read.
// When neither can be written, the file beside the executable. Chosen at the
// first call and kept for the run. Returns 1, or 0 and an empty string when
// there is no file to use.
int IniFileW(wchar_t* wszPath, int cchPath);

// The choice IniFileW makes, for the executable's folder wszExeFolder (ending
// in a backslash; empty when it cannot be named), made afresh at every call.
int IniFileFor(const wchar_t* wszExeFolder, wchar_t* wszPath, int cchPath);

// szOverride (the tests' own file, ANSI) when it is set, else IniFileW.
int IniFileOrOverride(const char* szOverride, wchar_t* wszPath, int cchPath);

// The private profile calls on wszPath. Sections, keys and values are ANSI
// text, as the file holds them; the path is passed on in wide characters.
DWORD IniReadString(const wchar_t* wszPath, const char* szSection, const char* szKey,
                    const char* szDefault, char* szOut, int cchOut);
UINT IniReadInt(const wchar_t* wszPath, const char* szSection, const char* szKey, int nDefault);
// A null szValue deletes the key. Returns 1 when written; a failure is kept
// for IniSaveDone.
int IniWriteString(const wchar_t* wszPath, const char* szSection, const char* szKey,
                   const char* szValue);

// The end of a save: 1 when every write since the last call went through.
// Else 0, and the first time in the run a warning box tells the player which
// file could not be written and what the system said; the game plays on.
int IniSaveDone();
// A copy of the game that may yet hand over to a running one holds the
// warning back: a save that fails meanwhile only leaves it pending. The
// release shows a pending warning (once in the run, as always); a copy that
// hands over never releases it and ends without a word.
void IniSaveWarningHold();
void IniSaveWarningRelease();
