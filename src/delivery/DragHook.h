// The drag hook library ovhkDrag.dll, loaded for each drag with the feedback window and
// released after it.
#pragma once

#include <string>

// Where the library is looked for: "<CommonFilesDir>\Orvane", expanded at first use.
// Tests point it at their own folder.
std::string& HookLibraryFolder();

// Loads the library and finds both entry points; false (nothing kept) otherwise.
bool LoadHookLibrary();
bool HookLoaded();
// Start and stop following; nothing happens when the library is not loaded.
void HookBegin(const std::string& className, const std::string& caption, int dx, int dy);
void HookEnd();
void UnloadHookLibrary();
