// Where the initialisation file lives: beside the executable.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "prefs/prefs.h"

int IniPathGet(char* szPath, int cchPath) {
    char szExe[INI_PATH_LEN];
    DWORD n = GetModuleFileNameA(NULL, szExe, sizeof szExe);
    if (n == 0 || n >= sizeof szExe) {
        if (cchPath > 0) szPath[0] = '\0';
        return 0;
    }
    // Cut back to the last backslash, keeping it.
    char* pSlash = strrchr(szExe, '\\');
    if (pSlash)
        pSlash[1] = '\0';
    else
        szExe[0] = '\0';
    snprintf(szPath, (size_t)cchPath, "%s%s", szExe, "Quarr95.ini");
    return 1;
}
