// The platform calls behind LoadSettings. settings_platform_win32.cpp makes
// them; settings_platform_native.cpp stands in for them in the native build,
// so that the loader runs under the unit tests.
#pragma once

#include <stdint.h>
#include <stdio.h>

namespace tavrin::host {

// Opens the settings file for reading in text mode, leaving other processes
// free to read and write it. nullptr when it cannot be opened: missing, not a
// plain file, no access.
FILE* OpenSettingsForReading(const char* path);

// True when streams from OpenSettingsForReading already read CR LF as LF and
// stop at a byte 0x1A.
bool StreamsTranslateText();

// GetPrivateProfileIntA: the key's value as an integer, or default_value
// when the file, the section or the key is missing.
uint32_t ReadProfileInt(const char* section, const char* key,
                        int32_t default_value, const char* path);

}  // namespace tavrin::host
