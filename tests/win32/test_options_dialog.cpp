// The options dialog run modally from its real template: what its controls
// show, and what OK and Cancel leave in the preferences, the file and the
// main window's menu bar.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>

#include "audio/midi.h"
#include "engine/game.h"
#include "prefs/prefs.h"
#include "resources/resource.h"
#include "scores/options.h"
#include "shell/app.h"
#include "shell/dialogs.h"

namespace {

int bFakeMidi, bFakeWave;
std::function<void(HWND)> onDialogIdle; // runs once, with the open dialog
int nIdleRuns;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && onDialogIdle) {
        auto fn = onDialogIdle;
        onDialogIdle = nullptr;
        nIdleRuns++;
        fn((HWND)lParam);
        return 0;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

int Checked(HWND hwndDlg, int nId) {
    return IsDlgButtonChecked(hwndDlg, nId) == BST_CHECKED;
}
int Enabled(HWND hwndDlg, int nId) {
    return IsWindowEnabled(GetDlgItem(hwndDlg, nId)) ? 1 : 0;
}
void Click(HWND hwndDlg, int nId) {
    SendMessageA(GetDlgItem(hwndDlg, nId), BM_CLICK, 0, 0);
}

class OptionsDialog : public ::testing::Test {
  protected:
    std::string szIni;
    HWND hwndOwner = NULL;
    HMENU hMenu = NULL;

    void SetUp() override {
        const auto* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
        szIni = std::string(QUARRION_TESTWORK_DIR_W) + "\\options-" + pInfo->name() + "-" +
                std::to_string(GetCurrentProcessId()) + ".ini";
        DeleteFileA(szIni.c_str());
        PrefsSetIniPathForTest(szIni.c_str());

        WNDCLASSA wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "OptionsTestOwner";
        RegisterClassA(&wc);
        hMenu = CreateMenu();
        AppendMenuA(hMenu, MF_STRING, 507, "&Music");
        hwndOwner = CreateWindowExA(0, "OptionsTestOwner", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 640,
                                    480, NULL, hMenu, GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(hwndOwner);
        hwndMain = hwndOwner;
        hMainMenu = hMenu;
        game.hwndMain = hwndOwner;
        if (!hfontDialog) hfontDialog = CreateAppFont("Arial", 12, 1, 0, nZoom);

        pfnOptionsHasMIDIDevice = [] { return bFakeMidi; };
        pfnOptionsHasWaveDevice = [] { return bFakeWave; };
        MIDIReset();
        nIdleRuns = 0;
    }
    void TearDown() override {
        PrefsSetIniPathForTest(nullptr);
        DeleteFileA(szIni.c_str());
        hwndMain = NULL;
        hMainMenu = NULL;
        game.hwndMain = nullptr;
        if (GetMenu(hwndOwner) != hMenu) DestroyMenu(hMenu);
        DestroyWindow(hwndOwner);
        MIDIReset();
    }
    int IniInt(const char* szKey) {
        return (int)GetPrivateProfileIntA("Prefs", szKey, -99, szIni.c_str());
    }
};

TEST_F(OptionsDialog, WithoutAMidiDeviceMusicIsGreyedAndOkStoresItOff) {
    bFakeMidi = 0;
    bFakeWave = 1;
    MIDIListBegin("C:\\");
    MIDIListAdd("a.mid");
    prefs = Prefs{1, 1, 1, 1, 1, 1, "Zed", 0, 0, 0};
    struct {
        int aSpeed[4], bSoundOn, bSoundEnabled, bMusicOn, bMusicEnabled, bContOn, bContEnabled,
            bMenuOn, bPatternsOn;
        HFONT hTitleFont;
    } seen{};
    onDialogIdle = [&](HWND hwndDlg) {
        for (int i = 0; i < 4; i++) seen.aSpeed[i] = Checked(hwndDlg, IDC_OPT_SLOW + i);
        seen.bSoundOn = Checked(hwndDlg, IDC_OPT_SOUND);
        seen.bSoundEnabled = Enabled(hwndDlg, IDC_OPT_SOUND);
        seen.bMusicOn = Checked(hwndDlg, IDC_OPT_MUSIC);
        seen.bMusicEnabled = Enabled(hwndDlg, IDC_OPT_MUSIC);
        seen.bContOn = Checked(hwndDlg, IDC_OPT_CONTINUOUS);
        seen.bContEnabled = Enabled(hwndDlg, IDC_OPT_CONTINUOUS);
        seen.bMenuOn = Checked(hwndDlg, IDC_OPT_USEMENU);
        seen.bPatternsOn = Checked(hwndDlg, IDC_OPT_PATTERNS);
        seen.hTitleFont = (HFONT)SendDlgItemMessageA(hwndDlg, IDC_OPT_SPEEDTITLE, WM_GETFONT, 0, 0);
        Click(hwndDlg, IDC_OPT_INSANE);
        Click(hwndDlg, IDC_OPT_USEMENU);
        Click(hwndDlg, IDOK);
    };
    EXPECT_EQ(ShowOptionsDlg(hwndOwner), 1);
    ASSERT_EQ(nIdleRuns, 1);

    EXPECT_EQ(seen.aSpeed[0] + seen.aSpeed[1] * 2 + seen.aSpeed[2] * 4 + seen.aSpeed[3] * 8, 2);
    EXPECT_EQ(seen.bSoundOn, 1);
    EXPECT_EQ(seen.bSoundEnabled, 1);
    EXPECT_EQ(seen.bMusicOn, 0);
    EXPECT_EQ(seen.bMusicEnabled, 0);
    EXPECT_EQ(seen.bContOn, 0);
    EXPECT_EQ(seen.bContEnabled, 0);
    EXPECT_EQ(seen.bMenuOn, 1);
    EXPECT_EQ(seen.bPatternsOn, 1);
    EXPECT_EQ(seen.hTitleFont, hfontDialog);

    EXPECT_EQ(prefs.nSpeed, 3);
    EXPECT_EQ(game.nFallStep, 6);
    EXPECT_EQ(prefs.bMusic, 0);
    EXPECT_EQ(prefs.bContinuous, 0);
    EXPECT_EQ(prefs.bUseMenu, 0);
    EXPECT_EQ(GetMenu(hwndOwner), (HMENU)NULL); // the menu bar is gone at once
    EXPECT_TRUE(IsMenu(hMenu));                 // but stays loaded
    // Written before the dialog closed.
    EXPECT_EQ(IniInt("Speed"), 3);
    EXPECT_EQ(IniInt("Sound"), 1);
    EXPECT_EQ(IniInt("Music"), 0);
    EXPECT_EQ(IniInt("Continuous"), 0);
    EXPECT_EQ(IniInt("UseMenu"), 0);
    EXPECT_EQ(IniInt("Patterns"), 1);

    // Switching Use Menu on again brings the same menu back.
    onDialogIdle = [](HWND hwndDlg) {
        Click(hwndDlg, IDC_OPT_USEMENU);
        Click(hwndDlg, IDOK);
    };
    ShowOptionsDlg(hwndOwner);
    EXPECT_EQ(GetMenu(hwndOwner), hMenu);
    EXPECT_EQ(IniInt("UseMenu"), 1);
}

TEST_F(OptionsDialog, CancelLeavesThePreferencesAndTheFileAlone) {
    bFakeMidi = 1;
    bFakeWave = 0;
    MIDIListBegin("C:\\");
    MIDIListAdd("a.mid");
    prefs = Prefs{0, 1, 0, 1, 1, 0, "", 0, 0, 0};
    int bMusicEnabled = -1, bContOn = -1, bSoundEnabled = -1, bSlowOn = -1;
    onDialogIdle = [&](HWND hwndDlg) {
        bMusicEnabled = Enabled(hwndDlg, IDC_OPT_MUSIC);
        bContOn = Checked(hwndDlg, IDC_OPT_CONTINUOUS);
        bSoundEnabled = Enabled(hwndDlg, IDC_OPT_SOUND);
        bSlowOn = Checked(hwndDlg, IDC_OPT_SLOW);
        Click(hwndDlg, IDC_OPT_FAST);
        Click(hwndDlg, IDC_OPT_MUSIC);
        Click(hwndDlg, IDC_OPT_PATTERNS);
        Click(hwndDlg, IDC_OPT_USEMENU);
        Click(hwndDlg, IDCANCEL);
    };
    Prefs before = prefs;
    EXPECT_EQ(ShowOptionsDlg(hwndOwner), 1);
    ASSERT_EQ(nIdleRuns, 1);
    EXPECT_EQ(bMusicEnabled, 1);
    EXPECT_EQ(bContOn, 1);
    EXPECT_EQ(bSoundEnabled, 0); // no wave device
    EXPECT_EQ(bSlowOn, 1);
    EXPECT_EQ(memcmp(&before, &prefs, sizeof prefs), 0);
    EXPECT_EQ(GetMenu(hwndOwner), hMenu);
    EXPECT_EQ(GetFileAttributesA(szIni.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
