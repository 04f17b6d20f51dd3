// Background music: a play list of the MIDI files beside the executable,
// played one at a time in a circle through the multimedia command strings of
// the "sequencer" device.
//
// The state machine here is portable. It reaches the platform only through
// the small MIDIDevice table below (command strings, error texts, the file
// test and the warning box), so the native tests run it on a fake device. The
// Win32 device and the file search live in midi_win.cpp. Paths, names and
// commands are UTF-8 text; the Win32 device passes them on in wide characters.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/host.h"

enum {
    MIDI_MAX_FILES = 25, // files beyond the 25th are not played
    MIDI_NAME_LEN = 32,  // a slot holds 31 characters and the terminator
    MIDI_DIR_LEN = 1024, // in UTF-8: a folder past the 260-character limit fits
    MIDI_PATH_LEN = MIDI_DIR_LEN + MIDI_NAME_LEN,
    MIDI_ALIAS_LEN = 20, // "music" and any int
    MIDI_COMMAND_LEN = MIDI_PATH_LEN + 64,
    MIDI_ERROR_LEN = 512, // a whole error text of the platform
};

// The outcomes an end-of-play notification (MM_MCINOTIFY) carries in wParam.
enum {
    MIDI_NOTIFY_SUCCESSFUL = 1,
    MIDI_NOTIFY_SUPERSEDED = 2,
    MIDI_NOTIFY_ABORTED = 4,
    MIDI_NOTIFY_FAILURE = 8,
};

struct MIDIDevice {
    // Sends one command string; hwndNotify (may be null) gets the end-of-play
    // notification of a "notify" command. Returns the error code, 0 = success.
    uint32_t (*SendString)(const char* szCommand, HostWindow hwndNotify);
    // The text of an error code, at most cchText - 1 characters.
    int (*ErrorText)(uint32_t nError, char* szText, int cchText);
    // The warning box of a failed command: its error text, titled with the command.
    int (*WarningBox)(const char* szText, const char* szTitle);
    // 1 if the file exists.
    int (*FileExists)(const char* szPath);
    // The short form of a path; 0 when there is none (the long form is used).
    int (*ShortPath)(const char* szPath, char* szShort, int cchShort);
    // The trace hook: one progress line at each step. May be null.
    void (*Trace)(const char* szLine);
    // What the end-of-play notifications of the play open under szAlias carry
    // in lParam (0 when nothing is open under it): the sequencer's device id,
    // the built-in synthesizer's play counter. May be null: every
    // notification is then taken as the current play's.
    uint32_t (*NoticeId)(const char* szAlias);
};

// The play list and the state of the music.
extern char aMIDIFile[MIDI_MAX_FILES][MIDI_NAME_LEN];
extern int nMIDIFiles;
extern int nMIDIIndex;
extern char szMIDIDir[MIDI_DIR_LEN]; // where the files were found, ending in a backslash
extern char szMIDIAlias[MIDI_ALIAS_LEN];
extern int nMIDIAliasCount;
extern int bPlaying; // a track has been opened and started and not yet stopped
extern int bClosing; // a stop is in progress

// The installed device; null until one is installed (every call then does nothing).
extern const MIDIDevice* pMIDIDevice;
void MIDIDeviceInstall(const MIDIDevice* pDevice);

// Clears the play list and the state as at start-up (alias count 1, silent).
void MIDIReset();

// Filling the play list: an empty list for the files of szDir, then one name
// at a time in the listing's order. A name of 32 characters or more is
// skipped; once 25 names are in, the rest are ignored. Returns 1 if added.
int MIDIListBegin(const char* szDir);
int MIDIListAdd(const char* szName);

// Opens and starts track nIndex; 1 when the commands were sent, else 0.
int MIDIStart(HostWindow hwndNotify, int nIndex);
// Stops and closes the current track; 1 if there was one. A stop asked for
// while one is in progress (from its own warning box) is refused: 0.
int MIDIStop();
// Stops the current track and starts the next one of the list, in a circle.
int MIDINext(HostWindow hwndNotify);
// The handling of MM_MCINOTIFY; nFlags is its wParam. A failure stops the
// track: the music stays silent until the next event that starts one.
int MIDINotify(HostWindow hwndNotify, uint32_t nFlags);
// The window's MM_MCINOTIFY with its lParam (nFrom): a notification of an
// earlier play (its end posted just before a stop and a new start) is
// dropped, with a trace, and returns 0; the current play's goes to MIDINotify.
int MIDINotifyFrom(HostWindow hwndNotify, uint32_t nFlags, uint32_t nFrom);
int MIDIIsPlaying();

// The shell's events, in one place:
// start-up's first track (and any caller that picks the track): it becomes
// the current one and starts;
int MIDIStartTrack(HostWindow hwndNotify, int nIndex);
// the window minimized (or hidden by the hide key): the music stops;
int MIDIWindowMinimized();
// the window restored: with music on and nothing playing, the next track;
int MIDIWindowRestored(HostWindow hwndNotify);
// the Music command: flips the preference, then stops or starts the next track.
int MIDIToggleMusic(HostWindow hwndNotify);
// The Music menu item and option may be used: a MIDI device and at least one file.
int MIDIAvailable(int bHasMIDIDevice);

// Which device plays the music: the player's choice (the initialisation
// file's "MusicDevice" in section "Window"), automatic until one is made.
enum {
    MIDI_DEVICE_AUTO = 0,
    MIDI_DEVICE_BUILTIN = 1, // the game's own synthesizer
    MIDI_DEVICE_SYSTEM = 2,  // the system's "sequencer"
};
// A value read from the file: anything but 1 or 2 is the automatic choice.
int MIDIDeviceNormalize(int nRead);
// The device that plays: the player's choice; without one the built-in
// synthesizer under Wine (whose sequencer needs a synthesizer set up by hand)
// or on a system without a MIDI output, else the system's sequencer. The
// sequencer chosen on a system without a MIDI output would play nothing:
// the built-in synthesizer plays instead (the choice itself is kept).
int MIDIDeviceChoose(int nChoice, int bUnderWine, int nMIDIOutputs);
// Puts pDevice in the place of the installed one. A track that plays is
// stopped and closed on the old device and the same track starts on the new.
// Returns 1 if the device changed.
int MIDIDeviceSwitch(HostWindow hwndNotify, const MIDIDevice* pDevice);

// Sends one command string and reports a failure; returns the error code.
uint32_t MCISend(HostWindow hwndNotify, const char* szCommand);
void MIDITrace(const char* szLine);

// --- Win32 (midi_win.cpp) ----------------------------------------------------

// Lists the "*.mid" files of the executable's directory; returns how many.
// When that directory cannot be named, the list stays empty. Installs the
// Win32 device first if no device is installed.
int MIDIFindFiles(HostWindow hwndOwner);
// The same for the files of szDir (which ends in a backslash; empty: none).
int MIDIFindFilesIn(HostWindow hwndOwner, const char* szDir);
// The Win32 device: mciSendStringW with "sequencer", warning boxes, no trace.
// It refuses to open a file that is a MIDI file but does not read whole
// (MIDIFileFits).
const MIDIDevice* MIDIDeviceWin32();
// 1 when the file is a MIDI file that the built-in player reads whole (every
// chunk and every event; also inside the "data" chunk of a RIFF MIDI file),
// or is no MIDI file at all (those are the sequencer's to judge). 0 for a
// broken MIDI file or a file that cannot be read.
int MIDIFileFits(const char* szPath);
// Reads a whole file (at most SMF_MAX_BYTES) into a buffer the caller frees
// with free(): 1 read, 0 it cannot be opened, -1 too large or unreadable.
int MIDIFileLoad(const char* szPath, uint8_t** ppData, size_t* pnSize);

// --- The built-in synthesizer (synth_win.cpp) ----------------------------------

// A device that takes the same command strings and plays the files with the
// game's own synthesizer through waveOut. A track's end posts MM_MCINOTIFY
// with MCI_NOTIFY_SUCCESSFUL to the notify window; a stop or close during a
// notifying play posts MCI_NOTIFY_ABORTED, a new play over it
// MCI_NOTIFY_SUPERSEDED; lParam is the play's number (NoticeId). A file it
// cannot read whole is refused with
// MCIERR_INVALID_FILE. Error texts and warning boxes are the Win32 device's.
const MIDIDevice* MIDIDeviceBuiltIn();
// 1 when there is a wave output device to play it on.
int MIDIBuiltInAvailable();

// --- The choice of device (mididevice_win.cpp) -------------------------------

// 1 when the game runs under Wine (its ntdll exports wine_get_version).
int MIDIUnderWine();
// The device chosen by the preferences on this system (MIDI_DEVICE_BUILTIN
// or MIDI_DEVICE_SYSTEM), and its table.
int MIDIDeviceCurrent();
// The device installed, the one that plays (MIDI_DEVICE_BUILTIN or
// MIDI_DEVICE_SYSTEM): what the "Music Device" menu checks.
int MIDIDeviceInstalled();
const MIDIDevice* MIDIDeviceOf(int nDevice);
// Installs the chosen device; start-up, before the files are listed.
int MIDIDeviceInstallChosen();
// The installed device can play: a wave output for the built-in synthesizer,
// a MIDI output for the sequencer.
int MIDIDeviceReady();
// The player chooses nDevice (the "Music Device" menu): a track that plays
// moves to it, and the choice is kept in the preferences. A switch refused
// (a start or stop in progress) keeps neither: returns 0.
int MIDIDeviceSelect(HostWindow hwndNotify, int nDevice);
