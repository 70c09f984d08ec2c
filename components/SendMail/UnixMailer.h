// Under Wine, the platform's Simple MAPI only builds a mailto: link and drops the
// attachments, so the mail goes to the Linux desktop's mail program through xdg-email.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "MailFile.h"

bool RunningUnderWine();
// Whether a loaded module is one of Wine's own DLLs rather than a Windows one.
bool IsWineBuiltin(HMODULE module);

// The arguments of xdg-email (after the program name), texts converted from the ANSI code
// page to UTF-8, the body's line breaks made Unix ones. unixFiles replace mail.Files.
std::vector<std::string> XdgEmailArguments(const TMailDescription& mail,
                                           const std::vector<std::string>& unixFiles);

// Runs xdg-email from the Unix PATH and waits for it: 0 when it succeeded, otherwise
// non-zero (not found, a file without a Unix path, or xdg-email's own failure).
int SendThroughXdgEmail(const TMailDescription& mail);
