// Hands a mail to the user's mail program through Simple MAPI, compose window shown.
#pragma once

#include <windows.h>

#include "MailFile.h"

// MAPISendMail of the given MAPI32.DLL: SUCCESS_SUCCESS (0), the library's refusal, or
// MAPI_E_NOT_SUPPORTED when the library has no such entry point.
ULONG SendThroughMapi(HMODULE mapi, const TMailDescription& mail);
