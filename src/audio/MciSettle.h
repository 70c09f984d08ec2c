// Waiting for the MCI wave driver's worker threads under Wine.
#pragma once

#include <windows.h>

// Wine's wave-audio driver finishes a recording on a thread of its own for a few hundred
// milliseconds after MCI_STOP has returned (it closes the wave input there). A save or close
// in that time frees the device under that thread and the process crashes. This waits, at
// most `timeoutMs`, for the driver's threads to end. On Windows (and when the driver is not
// loaded) it returns at once: there the driver keeps one thread per open device.
void WaitForWaveDriverThreads(DWORD timeoutMs);

// Whether this process runs under Wine.
bool RunningUnderWine();
