// Every resource, control and command id of Quarrion, in numbered blocks.
// Shared by resources/quarrion.rc and the code; keep it plain #defines so the
// resource compiler can read it.
#pragma once

// The platform's id for controls that are never addressed.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Strings
#define IDS_APPCAPTION 5001
#define IDS_CLASSNAME 5002
#define IDS_GOALKIND_BASE 5100 // 5100..5112, one per goal kind

// Commands shared by menus, buttons, accelerators and keys
#define IDM_NEWGAME 500
#define IDM_OPTIONS 501
#define IDM_SCORES 502
#define IDM_WARP 503
#define IDM_HELP 504
#define IDM_QUIT 505
#define IDM_ABORT 506
#define IDM_MUSIC 507
#define IDM_SOUND 508
#define IDM_ABOUT 1000
#define IDM_CLEARSCORES 40004
#define IDM_PAUSE 40005
// The window's size: zoom n (1..8) is IDM_ZOOM_BASE + 16 n; every id of the
// block is a multiple of 16, as the items of a window's system menu must be.
#define IDM_ZOOM_BASE 1024
#define IDM_ZOOM_LAST 1152 // zoom 8
#define IDM_FULLSCREEN 1168
#define IDM_ZOOMIN 1184
#define IDM_ZOOMOUT 1200
// The music's device ("Music Device" submenu)
#define IDM_MUSICDEV_BUILTIN 1216
#define IDM_MUSICDEV_SYSTEM 1232

// ABOUTDLG: only the OK button (IDOK) is addressed; everything else is IDC_STATIC.

// MIDIListboxDlg: the hidden list that the music file names are read through
#define IDC_MIDI_LIST 1000

// SCOREDLG, the side panel: three text lines and the black frames around them
#define IDC_PANEL_SCORE 101
#define IDC_PANEL_LEVEL 111
#define IDC_PANEL_GOAL 131
#define IDC_PANEL_TITLEFRAME 3180
#define IDC_PANEL_LEVELFRAME 3181
#define IDC_PANEL_SCOREFRAME 3182
#define IDC_PANEL_LIVESFRAME 3183
#define IDC_PANEL_GOALFRAME 3184

// NEWHISCOREDLG: the name field (OK is IDOK)
#define IDC_NEWHS_NAME 500

// HISCOREDLG: row k (0..9) uses 100 + 10k .. 103 + 10k and frame 3181 + k
#define IDC_HS_RANK 100  // "1." .. "10."
#define IDC_HS_NAME 101  // player name
#define IDC_HS_SCORE 102 // score
#define IDC_HS_LEVEL 103 // level
#define IDC_HS_ROWSTEP 10
#define IDC_HS_ROWFRAME 3181 // 3181..3190
#define IDC_HS_HEADFRAME 3180
#define IDC_HS_TOPLINE 1003 // last score / high today
#define IDC_HS_HEADING 4005 // "TOP TEN HIGH SCORES"
#define IDC_HS_NAMETITLE 200
#define IDC_HS_SCORETITLE 201
#define IDC_HS_RANKTITLE 202
#define IDC_HS_LEVELTITLE 203

// LEVELDONEDLG: the six text lines (Continue is IDOK)
#define IDC_LD_TITLE 101    // "Level %d Complete"
#define IDC_LD_TILES 102    // tiles caught
#define IDC_LD_EMPTY 103    // empty bin cells
#define IDC_LD_BONUS 104    // bonus
#define IDC_LD_NEXTHEAD 105 // caption of the line below
#define IDC_LD_NEXTLINE 106 // next goal, warp password or "You've won!"

// OPTIONSDLG (OK is IDOK, Cancel IDCANCEL)
#define IDC_OPT_SLOW 101 // the speed radio buttons, 101 + nSpeed
#define IDC_OPT_NORMAL 102
#define IDC_OPT_FAST 103
#define IDC_OPT_INSANE 104
#define IDC_OPT_USEMENU 1000
#define IDC_OPT_SOUND 1001
#define IDC_OPT_MUSIC 1002
#define IDC_OPT_CONTINUOUS 1003
#define IDC_OPT_PATTERNS 1004
#define IDC_OPT_SPEEDBOX 3180
#define IDC_OPT_MISCBOX 3181
#define IDC_OPT_SOUNDBOX 3182
#define IDC_OPT_BUTTONBAND 3183
#define IDC_OPT_SPEEDTITLE 3200
#define IDC_OPT_SOUNDTITLE 3201
#define IDC_OPT_MISCTITLE 3202

// WARPDLG: the code field (OK is IDOK, Cancel IDCANCEL)
#define IDC_WARP_CODE 500

// GAMEOVERDLG: only the hidden OK button (IDOK).

// WINGAMEDLG: the winner's name field (OK is IDOK)
#define IDC_WIN_NAME 100

// HELPDLG: the help's contents list and its page (Close is IDOK); its text is
// the "HELPTEXT" resource
#define IDC_HELP_TOPICS 4100
#define IDC_HELP_PAGE 4101
