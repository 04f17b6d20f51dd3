// Which device plays the music on Win32: the game's own synthesizer through
// waveOut, or the system's "sequencer" through the multimedia commands.
#include <windows.h>
#include <mmsystem.h>

#include "audio/midi.h"
#include "audio/sound.h"
#include "prefs/prefs.h"

int MIDIUnderWine() {
    HMODULE hNtdll = GetModuleHandleA("ntdll.dll");
    return hNtdll && GetProcAddress(hNtdll, "wine_get_version") ? 1 : 0;
}

int MIDIDeviceCurrent() {
    return MIDIDeviceChoose(prefs.nMusicDevice, MIDIUnderWine(), (int)midiOutGetNumDevs());
}

const MIDIDevice* MIDIDeviceOf(int nDevice) {
    return nDevice == MIDI_DEVICE_BUILTIN ? MIDIDeviceBuiltIn() : MIDIDeviceWin32();
}

int MIDIDeviceInstallChosen() {
    MIDIDeviceInstall(MIDIDeviceOf(MIDIDeviceCurrent()));
    return 1;
}

int MIDIDeviceInstalled() {
    return pMIDIDevice == MIDIDeviceBuiltIn() ? MIDI_DEVICE_BUILTIN : MIDI_DEVICE_SYSTEM;
}

// What plays is what counts: on Automatic a MIDI interface plugged in later
// changes the choice, not the device installed at start-up.
int MIDIDeviceReady() {
    return MIDIDeviceInstalled() == MIDI_DEVICE_BUILTIN ? MIDIBuiltInAvailable() : HasMIDIDevice();
}

int MIDIDeviceSelect(HostWindow hwndNotify, int nDevice) {
    if (nDevice != MIDI_DEVICE_BUILTIN && nDevice != MIDI_DEVICE_SYSTEM) return 0;
    const MIDIDevice* pDevice =
        MIDIDeviceOf(MIDIDeviceChoose(nDevice, MIDIUnderWine(), (int)midiOutGetNumDevs()));
    int bSwitched = MIDIDeviceSwitch(hwndNotify, pDevice);
    if (pMIDIDevice != pDevice) return 0; // refused during a start or stop
    prefs.nMusicDevice = nDevice;
    return bSwitched;
}
