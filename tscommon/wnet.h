// The extended error of the network providers.
#pragma once
#include "tscommon_export.h"
#include "tswin.h"

// Copies the calling thread's last extended network error: its provider's code into *error, its
// description into `description` and the provider's name into `provider` (each cut to the buffer
// size less one and terminated). With no extended error recorded the code is 0 and both texts
// are empty. Returns NO_ERROR, or ERROR_INVALID_PARAMETER for a null argument or an empty buffer.
TSCOMMON_API DWORD WNetGetLastErrorW(LPDWORD error, LPWSTR description, DWORD descriptionSize,
                                     LPWSTR provider, DWORD providerSize);

// Records the calling thread's last extended error, as a provider does before its call fails with
// ERROR_EXTENDED_ERROR.
TSCOMMON_API void WNetSetLastErrorW(DWORD error, LPCWSTR description, LPCWSTR provider);
