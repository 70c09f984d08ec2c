// Shared utilities: path macros and folders, the error box, sizes and times, files,
// version texts and starting other programs.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "util/Registry.h"
#include "util/StrUtils.h"

// --- Path macros and folders -------------------------------------------------------------

std::string ExpandPathMacros(const std::string& text);
// A value of HKLM "Software\Microsoft\Windows\CurrentVersion"; "" when the value is missing.
// Raises std::runtime_error when the key cannot be opened for reading.
std::string ReadCurrentVersionValue(const std::string& name);
// The key ReadCurrentVersionValue opens; tests point it elsewhere to see the failure.
extern std::string CurrentVersionKey;

std::string GetTempDir();
std::string GetWindowsDir();
std::string GetSystemDir();
// The running program's folder, without a trailing backslash.
std::string GetThisDir();
std::string GetModuleFileNameStr(HMODULE module = nullptr);
bool DirectoryExists(const std::string& path);
// Creates every missing level of a drive path; each folder created is added to log.
bool ForceDirectories(const std::string& path, std::vector<std::string>* log = nullptr);

// --- Message boxes ------------------------------------------------------------------------

extern std::string ConfirmationTitle;
extern std::string InformationTitle;
extern std::string ErrorTitle;
void ShowErrorMessage(HWND owner, const std::string& text);
void ShowErrorMessage(const std::string& text);

// --- Windows ------------------------------------------------------------------------------

void CenterWindow(HWND reference, HWND window);

// --- Texts --------------------------------------------------------------------------------

std::string FormatFileSize(long count);
std::string FormatRecordedTime(double dateTime);
// The locale's short date of a date-time ("c" format of a whole day).
std::string FormatShortDate(double dateTime);

// --- Files --------------------------------------------------------------------------------

long FileSizeOf(const std::string& fileName);
double FileDateOf(const std::string& fileName);
long CopyFileData(const std::string& source, const std::string& destination);
std::string GetFileVersionText(const std::string& fileName, DWORD& versionMS, DWORD& versionLS);
std::string GetFileVersionText(const std::string& fileName);

// --- Program launch -----------------------------------------------------------------------

void BuildCommandLine(const std::string& program, const std::string& parameters,
                      const std::string& workingFolder, std::string& folderOut,
                      std::string& commandLineOut);
bool LaunchProgram(const std::string& program, const std::string& parameters,
                   const std::string& workingFolder, WORD showCommand);
bool LaunchProgram(const std::string& program, const std::string& parameters,
                   const std::string& workingFolder);
