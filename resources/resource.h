// Every resource, control and command id of Quarrion, in numbered blocks.
// Shared by resources/quarrion.rc and the code; keep it plain #defines so the
// resource compiler can read it.
#pragma once

// Strings
#define IDS_APPCAPTION 5001
#define IDS_CLASSNAME 5002
#define IDS_GOALKIND_BASE 5100 // 5100..5112, one per goal kind

// Commands shared by menus, buttons, accelerators and keys
#define IDC_NEWGAME 500
#define IDC_OPTIONS 501
#define IDC_SCORES 502
#define IDC_WARP 503
#define IDC_HELP 504
#define IDC_QUIT 505
#define IDC_ABORT 506
#define IDC_MUSIC 507
#define IDC_SOUND 508
#define IDC_ABOUT 1000
#define IDC_CLEARSCORES 40004
#define IDC_PAUSE 40005
