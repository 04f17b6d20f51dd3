// The shipped Quarrion.exe carries every resource the game loads by name: the
// bitmaps and sounds, the icons and the cursor, the menu, the accelerators,
// the strings, the version block and every dialog template. The exe is mapped
// as a data file, so none of its code runs; the dialogs are created from it
// with a do-nothing dialog procedure and compared with their layout tables,
// once as the template is stored and once as the live windows come out.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tools/soundgen/effect_table.h"

namespace {

std::string ShippedExePath() {
    return std::string(QUARRION_DIST_DIR_W) + "\\Quarrion.exe";
}

// Mapped once for the whole run and left mapped.
HMODULE ShippedExe() {
    static HMODULE hExe = LoadLibraryExA(ShippedExePath().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    return hExe;
}

std::string Join(const std::vector<std::string>& aItems) {
    std::string s;
    for (const std::string& sItem : aItems) s += "\n  " + sItem;
    return s;
}

std::string Narrow(const std::wstring& s) {
    std::string sOut;
    for (wchar_t c : s) {
        if (c >= 32 && c < 127) {
            sOut += (char)c;
        } else {
            char szHex[12];
            wsprintfA(szHex, "\\x%04x", (unsigned)c);
            sOut += szHex;
        }
    }
    return sOut;
}

// A resource's bytes, or an empty span when it is missing.
struct ResourceBytes {
    const BYTE* pData = nullptr;
    DWORD nSize = 0;
};

ResourceBytes FindBytes(const char* szName, const char* szType) {
    ResourceBytes res;
    HRSRC hRes = FindResourceA(ShippedExe(), szName, szType);
    if (!hRes) return res;
    HGLOBAL hData = LoadResource(ShippedExe(), hRes);
    if (!hData) return res;
    res.pData = (const BYTE*)LockResource(hData);
    res.nSize = res.pData ? SizeofResource(ShippedExe(), hRes) : 0;
    return res;
}

WORD Word(const BYTE* p) {
    return (WORD)(p[0] | p[1] << 8);
}
DWORD Dword(const BYTE* p) {
    return Word(p) | (DWORD)Word(p + 2) << 16;
}

// The code reaches these through resource.h; the tables below use the numbers.
static_assert(IDS_APPCAPTION == 5001 && IDS_CLASSNAME == 5002 && IDS_GOALKIND_BASE == 5100);
static_assert(IDM_NEWGAME == 500 && IDM_OPTIONS == 501 && IDM_SCORES == 502 && IDM_WARP == 503 &&
              IDM_HELP == 504 && IDM_QUIT == 505 && IDM_ABORT == 506 && IDM_MUSIC == 507 &&
              IDM_SOUND == 508 && IDM_ABOUT == 1000 && IDM_CLEARSCORES == 40004 &&
              IDM_PAUSE == 40005);

class Resources : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(ShippedExe(), nullptr)
            << "cannot map " << ShippedExePath() << ", error " << GetLastError();
    }
};

// --- Bitmaps ----------------------------------------------------------------------

struct BitmapSpec {
    std::string sName;
    int nWidth, nHeight, nBits;
};

const char* const aColourWord[8] = {"GREEN",  "RED",   "YELLOW", "BLUE",
                                    "PURPLE", "WHITE", "DRED",   "LBLUE"};

std::vector<BitmapSpec> DesignBitmaps() {
    std::vector<BitmapSpec> a;
    for (const char* szColour : aColourWord) {
        for (int f = 0; f < 10; f++)
            a.push_back({std::string(szColour) + "TILE" + std::to_string(f), 40, 48, 4});
        a.push_back({std::string(szColour) + "TILE", 40, 11, 4});
    }
    a.push_back({"TILEERASE", 40, 48, 4});
    a.push_back({"SMALLTILEERASE", 40, 11, 4});
    a.push_back({"PLAYERERASE", 40, 12, 1});
    for (int i = 0; i <= 8; i++) a.push_back({"PADDLE" + std::to_string(i), 41, 12, 4});
    const int aBigLevel[] = {2, 10, 28, 31, 32, 33, 35, 38, 42, 43, 44, 48, 49, 50};
    for (int nLevel = 1; nLevel <= 50; nLevel++) {
        int w = 32, h = 32;
        for (int nBig : aBigLevel)
            if (nLevel == nBig) w = h = 64;
        if (nLevel == 4) w = h = 40;
        if (nLevel == 29) w = 64;
        if (nLevel == 45) h = 64;
        a.push_back({"LEVEL" + std::to_string(nLevel), w, h, 4});
    }
    const BitmapSpec aOther[] = {
        {"MAINTITLE", 300, 115, 4},   {"MAINCREDITS", 300, 115, 4}, {"CREDITS", 2800, 25, 1},
        {"PAUSEDLOGO", 180, 60, 4},   {"GOAL", 196, 60, 4},         {"GOALPOINTS", 196, 60, 4},
        {"GOALTILES", 196, 60, 4},    {"TITLE", 192, 92, 4},        {"LIFE", 15, 10, 4},
        {"GAMEOVER", 360, 60, 4},     {"ENDING", 500, 400, 4},      {"ENDING2", 500, 400, 4},
        {"NEWBTNUP", 83, 55, 4},      {"NEWBTNDOWN", 83, 55, 4},    {"OPTIONBTNUP", 83, 55, 4},
        {"OPTIONBTNDOWN", 83, 55, 4}, {"SCOREBTNUP", 83, 55, 4},    {"SCOREBTNDOWN", 83, 55, 4},
        {"WARPBTNUP", 83, 55, 4},     {"WARPBTNDOWN", 83, 55, 4},   {"HELPBTNUP", 83, 55, 4},
        {"HELPBTNDOWN", 83, 55, 4},   {"QUITBTNUP", 83, 55, 4},     {"QUITBTNDOWN", 83, 55, 4},
        {"KVOLOGO", 90, 54, 4},
    };
    for (const BitmapSpec& b : aOther) a.push_back(b);
    return a;
}

TEST_F(Resources, EveryBitmapWithItsSizeAndDepth) {
    std::vector<BitmapSpec> aBitmaps = DesignBitmaps();
    ASSERT_EQ(aBitmaps.size(), 80u + 8 + 3 + 9 + 50 + 25);
    std::vector<std::string> aMissing, aWrong;
    for (const BitmapSpec& b : aBitmaps) {
        ResourceBytes res = FindBytes(b.sName.c_str(), RT_BITMAP);
        if (!res.pData || res.nSize < sizeof(BITMAPCOREHEADER)) {
            aMissing.push_back(b.sName);
            continue;
        }
        int w, h, nBits;
        if (Dword(res.pData) == sizeof(BITMAPCOREHEADER)) {
            const BITMAPCOREHEADER* p = (const BITMAPCOREHEADER*)res.pData;
            w = p->bcWidth, h = p->bcHeight, nBits = p->bcBitCount;
        } else {
            const BITMAPINFOHEADER* p = (const BITMAPINFOHEADER*)res.pData;
            w = p->biWidth, h = std::abs(p->biHeight), nBits = p->biBitCount;
        }
        if (w != b.nWidth || h != b.nHeight || nBits != b.nBits) {
            aWrong.push_back(b.sName + " is " + std::to_string(w) + " x " + std::to_string(h) +
                             " x " + std::to_string(nBits) + " bit, not " +
                             std::to_string(b.nWidth) + " x " + std::to_string(b.nHeight) + " x " +
                             std::to_string(b.nBits));
        }
    }
    EXPECT_TRUE(aMissing.empty()) << aMissing.size() << " bitmaps missing:" << Join(aMissing);
    EXPECT_TRUE(aWrong.empty()) << Join(aWrong);
}

// --- Sounds -----------------------------------------------------------------------

using SoundSpec = SoundEffectFormat;

// Checks one "SOUND" resource: a complete RIFF WAVE file of 8-bit PCM.
std::string WaveFault(const SoundSpec& s, const ResourceBytes& res) {
    const BYTE* p = res.pData;
    if (res.nSize < 12 || memcmp(p, "RIFF", 4) != 0 || memcmp(p + 8, "WAVE", 4) != 0)
        return "not a RIFF WAVE file";
    if (Dword(p + 4) + 8 > res.nSize) return "RIFF size runs past the resource";
    int nFormat = 0, nChannels = 0, nBits = 0;
    DWORD nRate = 0, nData = 0;
    bool bFmt = false, bData = false;
    for (DWORD i = 12; i + 8 <= res.nSize;) {
        DWORD nChunk = Dword(p + i + 4);
        if (i + 8 + nChunk > res.nSize) return "a chunk runs past the resource";
        if (memcmp(p + i, "fmt ", 4) == 0 && nChunk >= 16) {
            nFormat = Word(p + i + 8), nChannels = Word(p + i + 10);
            nRate = Dword(p + i + 12), nBits = Word(p + i + 22);
            bFmt = true;
        } else if (memcmp(p + i, "data", 4) == 0) {
            nData = nChunk;
            bData = true;
        }
        i += 8 + nChunk + (nChunk & 1);
    }
    if (!bFmt || !bData) return "no fmt or no data chunk";
    std::string sFault;
    if (nFormat != 1 || nBits != 8) // 1: plain PCM
        sFault += " format " + std::to_string(nFormat) + "/" + std::to_string(nBits) + " bit";
    if (nChannels != s.nChannels) sFault += " channels " + std::to_string(nChannels);
    if ((int)nRate != s.nRate) sFault += " rate " + std::to_string(nRate);
    if (nChannels > 0 && nRate > 0) {
        double dSeconds = (double)nData / nChannels / nRate;
        if (dSeconds < s.seconds * 0.75 || dSeconds > s.seconds * 1.25) // give or take a quarter
            sFault += " length " + std::to_string(dSeconds) + " s";
    }
    return sFault;
}

TEST_F(Resources, EverySoundAsAn8BitPcmWave) {
    std::vector<std::string> aMissing, aWrong;
    for (const SoundSpec& s : kSoundEffects) {
        ResourceBytes res = FindBytes(s.szName, "SOUND");
        if (!res.pData) {
            aMissing.push_back(s.szName);
            continue;
        }
        std::string sFault = WaveFault(s, res);
        if (!sFault.empty()) aWrong.push_back(std::string(s.szName) + ":" + sFault);
    }
    EXPECT_TRUE(aMissing.empty()) << aMissing.size() << " sounds missing:" << Join(aMissing);
    EXPECT_TRUE(aWrong.empty()) << Join(aWrong);
}

// --- Icons and cursor -------------------------------------------------------------

// A group resource lists its images; each must be there, and one of them 32 x 32.
void ExpectImageGroup(const char* szName, bool bCursor) {
    SCOPED_TRACE(szName);
    ResourceBytes res = FindBytes(szName, bCursor ? RT_GROUP_CURSOR : RT_GROUP_ICON);
    ASSERT_NE(res.pData, nullptr) << "missing";
    ASSERT_GE(res.nSize, 6u);
    EXPECT_EQ(Word(res.pData + 2), bCursor ? 2 : 1) << "group type";
    int nCount = Word(res.pData + 4);
    ASSERT_GE(nCount, 1);
    ASSERT_GE(res.nSize, 6u + 14u * nCount);
    bool b32 = false;
    for (int i = 0; i < nCount; i++) {
        const BYTE* pEntry = res.pData + 6 + 14 * i;
        int nWidth = bCursor ? Word(pEntry) : pEntry[0];
        if (nWidth == 32) b32 = true;
        WORD nId = Word(pEntry + 12);
        EXPECT_NE(FindResourceA(ShippedExe(), MAKEINTRESOURCEA(nId), bCursor ? RT_CURSOR : RT_ICON),
                  nullptr)
            << "image " << nId << " of the group is missing";
    }
    EXPECT_TRUE(b32) << "no 32 x 32 image";
}

TEST_F(Resources, IconsAndTheFingerCursor) {
    ExpectImageGroup("MAINICON", false);
    ExpectImageGroup("SOUNDICON", false);
    ExpectImageGroup("WARPICON", false);
    ExpectImageGroup("Finger", true);
}

// --- Menu ---------------------------------------------------------------------------

struct MenuItemSpec {
    const char* szText; // nullptr: a separator
    UINT nId;
};

struct PopupSpec {
    const char* szText;
    std::vector<MenuItemSpec> aItems;
};

const PopupSpec aDesignMenu[] = {
    {"&File",
     {{"&New Game\tALT+N", 500},
      {"&Abort Game\tALT+A", 506},
      {nullptr, 0},
      {"&Warp\tALT+W", 503},
      {nullptr, 0},
      {"&Quit\tALT+Q", 505}}},
    {"&Settings",
     {{"Options...", 501},
      {nullptr, 0},
      {"Show High Scores", 502},
      {"Clear High Scores", 40004},
      {nullptr, 0},
      {"&Sound\tTAB", 508},
      {"&Music\tM", 507},
      {nullptr, 0},
      {"&Paused\tP", 40005}}},
    {"&Help", {{"&About Quarrion...", 1000}, {nullptr, 0}, {"&Help...", 504}}},
};

struct MenuItem {
    bool bSeparator;
    std::string sText;
    UINT nId;
    HMENU hSub;
};

MenuItem ReadMenuItem(HMENU hMenu, int nPos) {
    char szText[128] = "";
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    mii.dwTypeData = szText;
    mii.cch = sizeof szText;
    MenuItem item = {true, "", 0, NULL};
    if (!GetMenuItemInfoA(hMenu, nPos, TRUE, &mii)) return item;
    item.bSeparator = (mii.fType & MFT_SEPARATOR) != 0;
    item.sText = szText;
    item.nId = mii.wID;
    item.hSub = mii.hSubMenu;
    return item;
}

TEST_F(Resources, MenuBarItemsInOrder) {
    HMENU hMenu = LoadMenuA(ShippedExe(), "QUARRMENU");
    ASSERT_NE(hMenu, nullptr);
    ASSERT_EQ(GetMenuItemCount(hMenu), 3);
    for (int p = 0; p < 3; p++) {
        const PopupSpec& popup = aDesignMenu[p];
        SCOPED_TRACE(popup.szText);
        MenuItem top = ReadMenuItem(hMenu, p);
        EXPECT_EQ(top.sText, popup.szText);
        ASSERT_NE(top.hSub, nullptr) << "not a popup";
        ASSERT_EQ(GetMenuItemCount(top.hSub), (int)popup.aItems.size());
        for (size_t i = 0; i < popup.aItems.size(); i++) {
            const MenuItemSpec& want = popup.aItems[i];
            SCOPED_TRACE(testing::Message() << "item " << i);
            MenuItem item = ReadMenuItem(top.hSub, (int)i);
            EXPECT_EQ(item.hSub, nullptr);
            if (!want.szText) {
                EXPECT_TRUE(item.bSeparator);
                continue;
            }
            EXPECT_FALSE(item.bSeparator);
            EXPECT_EQ(item.sText, want.szText);
            EXPECT_EQ(item.nId, want.nId);
        }
    }
    DestroyMenu(hMenu);
}

// --- Accelerators -------------------------------------------------------------------

struct AccelSpec {
    BYTE fVirt;
    WORD nKey;
    WORD nCommand;
};

// The design's four Alt keys, then the window's size: Alt+Enter and F11 for
// full screen, Ctrl with the plus and minus keys (main block, with or
// without Shift, and the number pad).
const BYTE kAlt = FVIRTKEY | FNOINVERT | FALT, kCtrl = FVIRTKEY | FNOINVERT | FCONTROL;
const AccelSpec aAccel[] = {
    {kAlt, 'Q', 505},
    {kAlt, 'N', 500},
    {kAlt, 'A', 506},
    {kAlt, 'W', 503},
    {kAlt, VK_RETURN, IDM_FULLSCREEN},
    {FVIRTKEY | FNOINVERT, VK_F11, IDM_FULLSCREEN},
    {kCtrl, VK_OEM_PLUS, IDM_ZOOMIN},
    {kCtrl | FSHIFT, VK_OEM_PLUS, IDM_ZOOMIN},
    {kCtrl, VK_ADD, IDM_ZOOMIN},
    {kCtrl, VK_OEM_MINUS, IDM_ZOOMOUT},
    {kCtrl, VK_SUBTRACT, IDM_ZOOMOUT},
};
const int kAccels = sizeof aAccel / sizeof aAccel[0];

TEST_F(Resources, AcceleratorTable) {
    HACCEL hAccel = LoadAcceleratorsA(ShippedExe(), "ACCELTABLE");
    ASSERT_NE(hAccel, nullptr);
    ASSERT_EQ(CopyAcceleratorTableA(hAccel, NULL, 0), kAccels);
    ACCEL aGot[kAccels];
    ASSERT_EQ(CopyAcceleratorTableA(hAccel, aGot, kAccels), kAccels);
    for (int i = 0; i < kAccels; i++) {
        SCOPED_TRACE(testing::Message() << "entry " << i);
        EXPECT_EQ(aGot[i].fVirt, aAccel[i].fVirt);
        EXPECT_EQ(aGot[i].key, aAccel[i].nKey);
        EXPECT_EQ(aGot[i].cmd, aAccel[i].nCommand);
    }
    // As stored: 8-byte entries, the end mark on the last one only.
    ResourceBytes res = FindBytes("ACCELTABLE", RT_ACCELERATOR);
    ASSERT_EQ(res.nSize, (size_t)kAccels * 8);
    for (int i = 0; i < kAccels; i++)
        EXPECT_EQ(Word(res.pData + 8 * i) & 0x80, i == kAccels - 1 ? 0x80 : 0) << "entry " << i;
}

// --- Strings ------------------------------------------------------------------------

TEST_F(Resources, StringTable) {
    const struct {
        UINT nId;
        const char* szText;
    } aDesignString[] = {
        {5001, "Quarrion v1.52"},
        {5002, "kvoQuarrwClass"},
        {5100, " Points"},
        {5101, " Tiles"},
        {5102, " 3-Tile-Verticals"},
        {5103, " 3-Tile-Horizontals"},
        {5104, " 3-Tile-Diagonals"},
        {5105, " 4-Tile-Verticals"},
        {5106, " 4-Tile-Horizontals"},
        {5107, " 4-Tile-Diagonals"},
        {5108, " 5-Tile-Horizontals"},
        {5109, " 5-Tile-Diagonals"},
        {5110, " 5-Tile-Vs"},
        {5111, " 5-Tile-Xs"},
        {5112, " 9-Tile-Xs"},
    };
    for (const auto& s : aDesignString) {
        char szText[100] = "";
        EXPECT_EQ(LoadStringA(ShippedExe(), s.nId, szText, sizeof szText), (int)strlen(s.szText))
            << s.nId;
        EXPECT_STREQ(szText, s.szText) << s.nId;
    }
}

// --- Version ------------------------------------------------------------------------

TEST_F(Resources, VersionBlockSays152) {
    // version.dll is taken at run time so that the test exe needs no import of it.
    HMODULE hVersion = LoadLibraryA("version.dll");
    ASSERT_NE(hVersion, nullptr);
    auto pSize =
        (DWORD(WINAPI*)(LPCSTR, LPDWORD))(void*)GetProcAddress(hVersion, "GetFileVersionInfoSizeA");
    auto pInfo = (BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID))(void*)GetProcAddress(
        hVersion, "GetFileVersionInfoA");
    auto pQuery = (BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT))(void*)GetProcAddress(
        hVersion, "VerQueryValueA");
    ASSERT_TRUE(pSize && pInfo && pQuery);

    std::string sPath = ShippedExePath();
    DWORD dwHandle = 0;
    DWORD nSize = pSize(sPath.c_str(), &dwHandle);
    ASSERT_GT(nSize, 0u) << "no version block";
    std::vector<BYTE> aInfo(nSize);
    ASSERT_TRUE(pInfo(sPath.c_str(), 0, nSize, aInfo.data()));

    VS_FIXEDFILEINFO* pFixed = nullptr;
    UINT nLen = 0;
    ASSERT_TRUE(pQuery(aInfo.data(), "\\", (LPVOID*)&pFixed, &nLen));
    ASSERT_GE(nLen, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(pFixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(pFixed->dwFileVersionMS, (DWORD)MAKELONG(52, 1));
    EXPECT_EQ(pFixed->dwFileVersionLS, 0u);
    EXPECT_EQ(pFixed->dwProductVersionMS, (DWORD)MAKELONG(52, 1));
    EXPECT_EQ(pFixed->dwProductVersionLS, 0u);
    EXPECT_EQ(pFixed->dwFileType, (DWORD)VFT_APP);
    EXPECT_EQ(pFixed->dwFileOS, (DWORD)VOS__WINDOWS32);

    WORD* pLang = nullptr;
    ASSERT_TRUE(pQuery(aInfo.data(), "\\VarFileInfo\\Translation", (LPVOID*)&pLang, &nLen));
    ASSERT_GE(nLen, 4u);
    EXPECT_EQ(pLang[0], 0x0409);
    EXPECT_EQ(pLang[1], 1252);

    auto Value = [&](const char* szKey) {
        char* pText = nullptr;
        UINT nChars = 0;
        std::string sKey = std::string("\\StringFileInfo\\040904E4\\") + szKey;
        if (!pQuery(aInfo.data(), sKey.c_str(), (LPVOID*)&pText, &nChars) || !pText)
            return std::string("(missing)");
        return std::string(pText);
    };
    EXPECT_EQ(Value("CompanyName"), "The Quarrion team");
    EXPECT_EQ(Value("ProductName"), "Quarrion");
    EXPECT_EQ(Value("FileVersion"), "1.52");
    EXPECT_EQ(Value("ProductVersion"), "1.52");
    EXPECT_EQ(Value("OriginalFilename"), "Quarrion.exe");
    EXPECT_NE(Value("FileDescription").find("Quarrion"), std::string::npos);
    EXPECT_NE(Value("LegalCopyright").find("The Quarrion team. MIT licence, see LICENSE.TXT."),
              std::string::npos);
    FreeLibrary(hVersion);
}

// --- Dialog templates ---------------------------------------------------------------

// One control as its dialog's table gives it. dwStyle leaves out WS_CHILD and
// WS_VISIBLE, which every control has.
struct ControlSpec {
    const char* szClass;
    int nId;
    int x, y, cx, cy;
    DWORD dwStyle;
    const wchar_t* szText;
    DWORD dwExStyle = 0;
};

struct DialogSpec {
    const char* szName;
    bool bExtended;
    DWORD dwStyle;
    int x, y, cx, cy;
    const wchar_t* szCaption;
    const wchar_t* szFace;
    int nPoints;
    std::vector<ControlSpec> aControls;
    int nWeight = 0, nItalic = 0, nCharSet = 1; // stored only in an extended template
};

const DWORD dwStaticText = WS_GROUP; // every text static starts a group
const DWORD dwCaptioned = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
const DWORD dwNoCaption = WS_POPUP | DS_MODALFRAME | DS_SETFONT;

ControlSpec Text(int nId, DWORD dwAlign, int x, int y, int cx, int cy, const wchar_t* sz) {
    return {"Static", nId, x, y, cx, cy, dwAlign | dwStaticText, sz};
}
ControlSpec Frame(int nId, int x, int y, int cx, int cy) {
    return {"Static", nId, x, y, cx, cy, SS_BLACKFRAME, L""};
}
ControlSpec Icon(const wchar_t* szIcon, int x, int y, int cx, int cy) {
    return {"Static", IDC_STATIC, x, y, cx, cy, SS_ICON, szIcon};
}
ControlSpec Group(int x, int y, int cx, int cy) {
    return {"Button", IDC_STATIC, x, y, cx, cy, BS_GROUPBOX, L""};
}
ControlSpec Push(int nId, bool bDefault, int x, int y, int cx, int cy, const wchar_t* sz) {
    return {"Button",
            nId,
            x,
            y,
            cx,
            cy,
            (bDefault ? (DWORD)BS_DEFPUSHBUTTON : (DWORD)BS_PUSHBUTTON) | WS_TABSTOP,
            sz};
}
ControlSpec Edit(int nId, DWORD dwStyle, int x, int y, int cx, int cy) {
    return {"Edit", nId, x, y, cx, cy, dwStyle | WS_BORDER | WS_TABSTOP, L""};
}
ControlSpec Check(int nId, int x, int y, int cx, int cy, const wchar_t* sz) {
    return {"Button", nId, x, y, cx, cy, BS_AUTOCHECKBOX | WS_TABSTOP, sz};
}

std::vector<ControlSpec> HiScoreControls() {
    const wchar_t* const aRank[10] = {L"1.", L"2.", L"3.", L"4.", L"5.",
                                      L"6.", L"7.", L"8.", L"9.", L"10."};
    std::vector<ControlSpec> a;
    for (int k = 0; k < 10; k++) {
        int y = 49 + 15 * k;
        a.push_back(Text(100 + 10 * k, SS_RIGHT, 25, y, 12, 8, aRank[k]));
        a.push_back(Text(101 + 10 * k, SS_LEFT, 45, y, k == 9 ? 87 : 86, 8, L"A. Player"));
        a.push_back(Text(102 + 10 * k, SS_LEFT, 133, y, 36, 8, L"00000000"));
        a.push_back(Text(103 + 10 * k, SS_RIGHT, 175, y, 32, 8, L"01"));
        a.push_back(Frame(3181 + k, 20, 47 + 15 * k, 195, 12));
    }
    a.push_back(Text(1003, SS_CENTER, 71, 4, 96, 9, L"Last Score: 00000000"));
    a.push_back(Text(4005, SS_CENTER, 71, 22, 96, 9, L"TOP TEN HIGH SCORES"));
    a.push_back(Frame(3180, 67, 20, 104, 13));
    a.push_back(Text(200, SS_LEFT, 48, 36, 30, 8, L"Name"));
    a.push_back(Text(201, SS_LEFT, 134, 36, 30, 8, L"Score"));
    a.push_back(Text(202, SS_RIGHT, 20, 36, 20, 8, L"Rank"));
    a.push_back(Text(203, SS_CENTER, 184, 36, 30, 8, L"Level"));
    return a;
}

DialogSpec Dialog(const char* szName, bool bExtended, DWORD dwStyle, int x, int y, int cx, int cy,
                  const wchar_t* szCaption, const wchar_t* szFace, int nPoints,
                  std::vector<ControlSpec> aControls) {
    return {szName, bExtended, dwStyle, x, y, cx, cy, szCaption, szFace, nPoints, aControls};
}

std::vector<DialogSpec> DesignDialogs() {
    std::vector<DialogSpec> a;
    a.push_back(Dialog(
        "ABOUTDLG", true, dwCaptioned, 23, 31, 173, 115, L"About...", L"Arial", 12,
        {
            Group(3, 0, 165, 95),
            Icon(L"MAINICON", 15, 10, 18, 20),
            Text(-1, SS_CENTER, 38, 10, 95, 8, L"Quarrion \u00ae"),
            Text(-1, SS_CENTER, 58, 22, 55, 8, L"Version 1.52"),
            {"Static", -1, 122, 20, 0, 0, SS_BITMAP, L"KVOLOGO"},
            Text(-1, SS_CENTER, 51, 34, 69, 8, L"\u00a9 1996-2026"),
            Text(-1, SS_CENTER, 7, 46, 158, 8, L"The Quarrion team"),
            Text(-1, SS_CENTER, 48, 58, 76, 8, L"MIT licence."),
            Text(-1, SS_CENTER, 10, 70, 151, 8, L"Design, code, art, sound: the Quarrion team."),
            {"Button", IDOK, 70, 97, 32, 14, BS_PUSHBUTTON | WS_TABSTOP, L"OK",
             WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE},
        }));

    a.push_back(Dialog(
        "MIDIListboxDlg", false, WS_POPUP | WS_BORDER | DS_SETFONT, 5, 5, 88, 46, L"", L"System", 8,
        {{"ListBox", 1000, 5, 6, 78, 33, WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY, L""}}));

    a.push_back(Dialog("SCOREDLG", false, WS_CHILD | WS_BORDER | DS_SETFONT, 0, 0, 95, 176, L"",
                       L"Times New Roman", 12,
                       {
                           Frame(3180, 4, 5, 87, 40),
                           Text(111, SS_CENTER | WS_BORDER, 6, 58, 82, 8, L" Level 01"),
                           Frame(3181, 4, 53, 87, 17),
                           Text(101, SS_CENTER | WS_BORDER, 6, 81, 82, 8, L" Score: 00000000"),
                           Frame(3182, 4, 76, 87, 17),
                           Frame(-1, 6, 105, 82, 8),
                           Frame(3183, 4, 100, 87, 17),
                           Text(131, SS_CENTER | WS_BORDER, 6, 159, 82, 8, L" 0 Points To Go"),
                           Frame(3184, 4, 154, 87, 17),
                       }));

    a.push_back(Dialog("NEWHISCOREDLG", false, dwCaptioned, 0, 0, 161, 66, L"New High Score!",
                       L"Arial", 12,
                       {
                           Icon(L"MAINICON", 2, 6, 18, 20),
                           Group(19, 0, 131, 29),
                           Text(-1, SS_LEFT, 27, 8, 118, 18,
                                L"Congratulations!  Your score places in the top ten!!"),
                           Text(-1, SS_LEFT, 20, 33, 81, 8, L"Please enter your name:"),
                           Edit(500, ES_LEFT, 18, 43, 84, 11),
                           Push(IDOK, true, 109, 43, 29, 11, L"OK"),
                       }));

    a.push_back(Dialog("HISCOREDLG", false, dwCaptioned, 0, 0, 236, 208, L"Quarrion High Scores",
                       L"Arial", 12, HiScoreControls()));

    a.push_back(Dialog("LEVELDONEDLG", false, dwNoCaption, 0, 0, 110, 148, L"", L"Arial", 12,
                       {
                           Text(101, SS_CENTER, 17, 17, 76, 8, L"Level 1 Complete"),
                           Text(102, SS_CENTER, 15, 35, 80, 8, L"Tiles Caught: 0 (x25)"),
                           Text(103, SS_CENTER, 17, 48, 76, 8, L"Empty Bins: 0 (x200)"),
                           Text(104, SS_CENTER, 15, 61, 80, 8, L"BONUS: 0 Points"),
                           Text(105, SS_CENTER, 16, 78, 78, 8, L"Goal For Next Level"),
                           Text(106, SS_CENTER, 17, 90, 76, 8, L"0 Points"),
                           Push(IDOK, true, 35, 112, 39, 13, L"Continue"),
                       }));

    a.push_back(
        Dialog("OPTIONSDLG", false, dwCaptioned, 0, 0, 229, 151, L"Options", L"Arial", 10,
               {
                   Text(3200, SS_CENTER, 20, 26, 30, 14, L"Speed"),
                   {"Button", 101, 19, 49, 28, 8, BS_RADIOBUTTON | WS_GROUP | WS_TABSTOP, L"&Slow"},
                   {"Button", 102, 19, 61, 35, 8, BS_RADIOBUTTON, L"&Normal"},
                   {"Button", 103, 19, 74, 31, 8, BS_RADIOBUTTON, L"&Fast"},
                   {"Button", 104, 19, 87, 34, 8, BS_RADIOBUTTON, L"&Insane"},
                   Text(3201, SS_CENTER, 78, 26, 30, 14, L"Sound"),
                   Icon(L"SOUNDICON", 113, 23, 18, 20),
                   Check(1001, 81, 52, 35, 8, L"S&ound"),
                   Check(1002, 81, 66, 35, 8, L"&Music"),
                   Check(1003, 85, 80, 47, 8, L"&Continuous"),
                   Text(3202, SS_CENTER, 159, 26, 38, 14, L"Misc"),
                   Check(1000, 155, 52, 45, 8, L"&Use Menu"),
                   Check(1004, 155, 66, 45, 8, L"&Patterns"),
                   Frame(3183, 13, 112, 193, 24),
                   Push(IDOK, true, 64, 117, 36, 14, L"OK"),
                   Push(IDCANCEL, false, 118, 117, 36, 14, L"&Cancel"),
                   Frame(3180, 13, 17, 45, 84),
                   Frame(3182, 73, 17, 62, 84),
                   Frame(3181, 149, 17, 57, 84),
                   Frame(-1, 13, 17, 45, 28),
                   Frame(-1, 73, 17, 62, 28),
                   Frame(-1, 149, 17, 57, 28),
               }));

    a.push_back(Dialog("WARPDLG", false, dwCaptioned, 0, 0, 116, 58, L"Level Warp", L"Arial", 12,
                       {
                           Text(-1, SS_CENTER, 24, 8, 65, 8, L"Enter Code:"),
                           Edit(500, ES_CENTER | ES_UPPERCASE, 24, 17, 63, 12),
                           Push(IDOK, true, 24, 34, 30, 14, L"OK"),
                           Push(IDCANCEL, false, 58, 34, 29, 14, L"&Cancel"),
                           Icon(L"WARPICON", 8, 16, 18, 20),
                           Icon(L"WARPICON", 89, 16, 18, 20),
                           Group(2, 0, 110, 54),
                       }));

    a.push_back(Dialog("GAMEOVERDLG", false, dwNoCaption, 0, 0, 57, 16, L"", L"Arial", 40,
                       {Push(IDOK, true, 72, 6, 11, 4, L"ok")}));

    a.push_back(
        Dialog("WINGAMEDLG", false, dwNoCaption, 0, 0, 213, 174, L"", L"Arial", 14,
               {Edit(100, ES_LEFT, 42, 131, 119, 12), Push(IDOK, true, 270, 159, 32, 11, L"OK")}));
    return a;
}

// --- A dialog template as stored ---

struct StoredControl {
    DWORD dwStyle, dwExStyle;
    int x, y, cx, cy;
    int nId;
    std::wstring sClass, sText;
};

struct StoredDialog {
    bool bExtended = false;
    DWORD dwStyle = 0, dwExStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::wstring sMenu, sClass, sCaption, sFace;
    int nPoints = 0, nWeight = 0, nItalic = 0, nCharSet = 0;
    std::vector<StoredControl> aControls;
};

// Reads a name-or-ordinal field; predefined control classes come back by name.
std::wstring ReadNameOrOrdinal(const BYTE*& p, bool bClass) {
    WORD w = Word(p);
    if (w == 0) {
        p += 2;
        return L"";
    }
    if (w == 0xFFFF) {
        WORD nOrd = Word(p + 2);
        p += 4;
        if (bClass) {
            const wchar_t* const aPredefined[] = {L"Button",  L"Edit",      L"Static",
                                                  L"ListBox", L"ScrollBar", L"ComboBox"};
            if (nOrd >= 0x80 && nOrd <= 0x85) return aPredefined[nOrd - 0x80];
        }
        return L"#" + std::to_wstring(nOrd);
    }
    std::wstring s;
    while (Word(p)) {
        s += (wchar_t)Word(p);
        p += 2;
    }
    p += 2;
    return s;
}

short Short(const BYTE* p) {
    return (short)Word(p);
}

bool ParseDialog(const ResourceBytes& res, StoredDialog& dlg) {
    const BYTE* p = res.pData;
    const BYTE* pEnd = res.pData + res.nSize;
    int nItems;
    dlg.bExtended = Word(p) == 1 && Word(p + 2) == 0xFFFF;
    if (dlg.bExtended) {
        dlg.dwExStyle = Dword(p + 8);
        dlg.dwStyle = Dword(p + 12);
        nItems = Word(p + 16);
        dlg.x = Short(p + 18), dlg.y = Short(p + 20);
        dlg.cx = Short(p + 22), dlg.cy = Short(p + 24);
        p += 26;
    } else {
        dlg.dwStyle = Dword(p);
        dlg.dwExStyle = Dword(p + 4);
        nItems = Word(p + 8);
        dlg.x = Short(p + 10), dlg.y = Short(p + 12);
        dlg.cx = Short(p + 14), dlg.cy = Short(p + 16);
        p += 18;
    }
    dlg.sMenu = ReadNameOrOrdinal(p, false);
    dlg.sClass = ReadNameOrOrdinal(p, false);
    dlg.sCaption = ReadNameOrOrdinal(p, false);
    if (dlg.dwStyle & DS_SETFONT) {
        dlg.nPoints = Word(p);
        p += 2;
        if (dlg.bExtended) {
            dlg.nWeight = Word(p), dlg.nItalic = p[2], dlg.nCharSet = p[3];
            p += 4;
        }
        dlg.sFace = ReadNameOrOrdinal(p, false);
    }
    for (int i = 0; i < nItems; i++) {
        p = res.pData + ((p - res.pData + 3) & ~3);
        if (p + 24 > pEnd) return false;
        StoredControl c;
        if (dlg.bExtended) {
            c.dwExStyle = Dword(p + 4);
            c.dwStyle = Dword(p + 8);
            c.x = Short(p + 12), c.y = Short(p + 14), c.cx = Short(p + 16), c.cy = Short(p + 18);
            c.nId = (int)Dword(p + 20);
            p += 24;
        } else {
            c.dwStyle = Dword(p);
            c.dwExStyle = Dword(p + 4);
            c.x = Short(p + 8), c.y = Short(p + 10), c.cx = Short(p + 12), c.cy = Short(p + 14);
            c.nId = Short(p + 16);
            p += 18;
        }
        c.sClass = ReadNameOrOrdinal(p, true);
        c.sText = ReadNameOrOrdinal(p, false);
        p += 2 + Word(p); // creation data
        dlg.aControls.push_back(c);
    }
    return p <= pEnd;
}

bool SameClass(const std::wstring& s, const char* szClass) {
    std::wstring sWant(szClass, szClass + strlen(szClass));
    return lstrcmpiW(s.c_str(), sWant.c_str()) == 0;
}

void PrintTo(const DialogSpec& dlg, std::ostream* pOut) {
    *pOut << dlg.szName;
}

class DialogTemplate : public testing::TestWithParam<DialogSpec> {
  protected:
    void SetUp() override { ASSERT_NE(ShippedExe(), nullptr); }
};

TEST_P(DialogTemplate, StoredAsDesigned) {
    const DialogSpec& want = GetParam();
    ResourceBytes res = FindBytes(want.szName, RT_DIALOG);
    ASSERT_NE(res.pData, nullptr) << "no template " << want.szName;
    StoredDialog dlg;
    ASSERT_TRUE(ParseDialog(res, dlg)) << "template runs past its resource";
    EXPECT_EQ(dlg.bExtended, want.bExtended);
    EXPECT_EQ(dlg.dwStyle, want.dwStyle) << std::hex << dlg.dwStyle;
    EXPECT_EQ(dlg.dwExStyle, 0u);
    EXPECT_EQ(dlg.x, want.x);
    EXPECT_EQ(dlg.y, want.y);
    EXPECT_EQ(dlg.cx, want.cx);
    EXPECT_EQ(dlg.cy, want.cy);
    EXPECT_EQ(dlg.sMenu, L"");
    EXPECT_EQ(dlg.sClass, L"");
    EXPECT_EQ(Narrow(dlg.sCaption), Narrow(want.szCaption));
    EXPECT_EQ(Narrow(dlg.sFace), Narrow(want.szFace));
    EXPECT_EQ(dlg.nPoints, want.nPoints);
    if (want.bExtended) {
        EXPECT_EQ(dlg.nWeight, want.nWeight);
        EXPECT_EQ(dlg.nItalic, want.nItalic);
        EXPECT_EQ(dlg.nCharSet, want.nCharSet);
    }
    ASSERT_EQ(dlg.aControls.size(), want.aControls.size());
    for (size_t i = 0; i < want.aControls.size(); i++) {
        const ControlSpec& w = want.aControls[i];
        const StoredControl& c = dlg.aControls[i];
        SCOPED_TRACE(testing::Message() << "control " << i << ", id " << w.nId);
        EXPECT_TRUE(SameClass(c.sClass, w.szClass)) << Narrow(c.sClass);
        EXPECT_EQ((WORD)c.nId, (WORD)w.nId);
        EXPECT_EQ(c.x, w.x);
        EXPECT_EQ(c.y, w.y);
        EXPECT_EQ(c.cx, w.cx);
        EXPECT_EQ(c.cy, w.cy);
        EXPECT_EQ(c.dwStyle, w.dwStyle | WS_CHILD | WS_VISIBLE) << std::hex << c.dwStyle;
        EXPECT_EQ(c.dwExStyle, w.dwExStyle) << std::hex << c.dwExStyle;
        EXPECT_EQ(Narrow(c.sText), Narrow(w.szText));
    }
}

// --- The same dialog created as windows ---

INT_PTR CALLBACK InertDlgProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// A hidden window to own the dialogs (the side panel must have a parent).
HWND OwnerWindow() {
    static HWND hwnd = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 100, 100, NULL, NULL,
                                       GetModuleHandleA(NULL), NULL);
    return hwnd;
}

std::wstring WindowText(HWND hwnd) {
    wchar_t szText[256] = L"";
    GetWindowTextW(hwnd, szText, 256);
    return szText;
}

// Dialog units to pixels, each field on its own (a size maps as a size).
RECT Pixels(HWND hwndDlg, int a, int b, int c, int d) {
    RECT rc = {a, b, c, d};
    MapDialogRect(hwndDlg, &rc);
    return rc;
}

TEST_P(DialogTemplate, CreatesItsControlsInPlace) {
    const DialogSpec& want = GetParam();
    ASSERT_NE(OwnerWindow(), nullptr);
    HWND hwnd = CreateDialogParamA(ShippedExe(), want.szName, OwnerWindow(), InertDlgProc, 0);
    ASSERT_NE(hwnd, nullptr) << "cannot create " << want.szName << ", error " << GetLastError();

    // The dialog itself.
    EXPECT_EQ(Narrow(WindowText(hwnd)), Narrow(want.szCaption));
    DWORD dwStyle = (DWORD)GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_EQ(dwStyle & want.dwStyle, want.dwStyle) << std::hex << dwStyle;
    EXPECT_EQ(dwStyle & WS_CAPTION, want.dwStyle & WS_CAPTION) << std::hex << dwStyle;
    EXPECT_EQ(dwStyle & WS_VISIBLE, 0u) << "visible at creation";
    DWORD dwExStyle = (DWORD)GetWindowLongA(hwnd, GWL_EXSTYLE);
    if (want.dwStyle & DS_MODALFRAME) {
        EXPECT_TRUE(dwExStyle & WS_EX_DLGMODALFRAME);
    }
    RECT rcClient;
    GetClientRect(hwnd, &rcClient);
    RECT rcSize = Pixels(hwnd, 0, 0, want.cx, want.cy);
    EXPECT_EQ(rcClient.right, rcSize.right) << "client width";
    EXPECT_EQ(rcClient.bottom, rcSize.bottom) << "client height";

    HFONT hFont = (HFONT)SendMessageA(hwnd, WM_GETFONT, 0, 0);
    ASSERT_NE(hFont, nullptr) << "no dialog font";
    LOGFONTW lf = {};
    ASSERT_TRUE(GetObjectW(hFont, sizeof lf, &lf));
    EXPECT_EQ(Narrow(lf.lfFaceName), Narrow(want.szFace));
    HDC hdcScreen = GetDC(NULL);
    int nHeight = -MulDiv(want.nPoints, GetDeviceCaps(hdcScreen, LOGPIXELSY), 72);
    ReleaseDC(NULL, hdcScreen);
    EXPECT_EQ(lf.lfHeight, nHeight) << want.nPoints << " points";
    if (want.bExtended) {
        EXPECT_EQ(lf.lfWeight, want.nWeight);
        EXPECT_EQ(lf.lfItalic, want.nItalic);
        EXPECT_EQ(lf.lfCharSet, want.nCharSet);
    }

    // Its controls, in template order.
    std::vector<HWND> aChild;
    for (HWND h = GetWindow(hwnd, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) aChild.push_back(h);
    ASSERT_EQ(aChild.size(), want.aControls.size());
    for (size_t i = 0; i < aChild.size(); i++) {
        const ControlSpec& w = want.aControls[i];
        HWND h = aChild[i];
        SCOPED_TRACE(testing::Message() << "control " << i << ", id " << w.nId);
        EXPECT_EQ((WORD)GetDlgCtrlID(h), (WORD)w.nId);
        wchar_t szClass[64] = L"";
        GetClassNameW(h, szClass, 64);
        EXPECT_TRUE(SameClass(szClass, w.szClass)) << Narrow(szClass);

        // Style bits as written, but for two the platform manages itself: a list
        // box shows its scroll bar only when the list is long, and a dialog
        // turns WS_BORDER into a sunken client edge, so a border is checked as
        // a frame around the client area instead.
        DWORD dwWant = w.dwStyle | WS_CHILD | WS_VISIBLE;
        DWORD dwGot = (DWORD)GetWindowLongA(h, GWL_STYLE);
        DWORD dwMask =
            0xFFFF | WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | WS_DISABLED | WS_POPUP;
        EXPECT_EQ(dwGot & dwMask, dwWant & dwMask) << std::hex << dwGot;
        if (w.dwExStyle) {
            EXPECT_EQ((DWORD)GetWindowLongA(h, GWL_EXSTYLE) & w.dwExStyle, w.dwExStyle);
        }
        RECT rc, rcInside;
        GetWindowRect(h, &rc);
        GetClientRect(h, &rcInside);
        bool bFramed = rcInside.right < rc.right - rc.left || rcInside.bottom < rc.bottom - rc.top;
        const DWORD dwEdges = WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE | WS_EX_CLIENTEDGE;
        EXPECT_EQ(bFramed, (w.dwStyle & WS_BORDER) || (w.dwExStyle & dwEdges)) << "border";

        bool bIcon = SameClass(szClass, "Static") && (w.dwStyle & SS_TYPEMASK) == SS_ICON;
        bool bBitmap = SameClass(szClass, "Static") && (w.dwStyle & SS_TYPEMASK) == SS_BITMAP;
        if (bIcon) {
            EXPECT_NE(SendMessageA(h, STM_GETICON, 0, 0), 0) << "icon " << Narrow(w.szText);
        } else if (bBitmap) {
            EXPECT_NE(SendMessageA(h, STM_GETIMAGE, IMAGE_BITMAP, 0), 0)
                << "bitmap " << Narrow(w.szText);
        } else {
            EXPECT_EQ(Narrow(WindowText(h)), Narrow(w.szText));
        }

        MapWindowPoints(NULL, hwnd, (POINT*)&rc, 2);
        RECT rcWant = Pixels(hwnd, w.x, w.y, w.cx, w.cy);
        EXPECT_EQ(rc.left, rcWant.left) << "x " << w.x;
        EXPECT_EQ(rc.top, rcWant.top) << "y " << w.y;
        if (bBitmap && w.szText == std::wstring(L"KVOLOGO")) {
            // Sized by its bitmap, the 90 x 54 logo.
            EXPECT_EQ(rc.right - rc.left, 90);
            EXPECT_EQ(rc.bottom - rc.top, 54);
        } else if (!bIcon) { // icons take the icon's own size
            EXPECT_EQ(rc.right - rc.left, rcWant.right) << "width " << w.cx;
            if (SameClass(szClass, "ListBox") && !(w.dwStyle & LBS_NOINTEGRALHEIGHT)) {
                // A list box shortens itself to a whole number of rows inside
                // its edge.
                int nRow = (int)SendMessageA(h, LB_GETITEMHEIGHT, 0, 0);
                int nEdge = 2 * GetSystemMetrics(SM_CYEDGE);
                EXPECT_LE(rc.bottom - rc.top, rcWant.bottom) << "height " << w.cy;
                EXPECT_GT(rc.bottom - rc.top, rcWant.bottom - nRow - nEdge) << "height " << w.cy;
            } else {
                EXPECT_EQ(rc.bottom - rc.top, rcWant.bottom) << "height " << w.cy;
            }
        }
    }
    DestroyWindow(hwnd);
}

INSTANTIATE_TEST_SUITE_P(Resources, DialogTemplate, testing::ValuesIn(DesignDialogs()),
                         [](const testing::TestParamInfo<DialogSpec>& info) {
                             return std::string(info.param.szName);
                         });

} // namespace
