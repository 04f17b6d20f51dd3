// Every resource, control and command id of Quarrion, in numbered blocks.
// Shared by resources/quarrion.rc and the code; keep it plain #defines so the
// resource compiler can read it.
#pragma once

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
