#include <windows.h>

#include <share.h>

#include "settings_platform.h"

namespace tavrin::host {

FILE* OpenSettingsForReading(const char* path) {
  // _SH_DENYNO: a load must not keep an editor from saving the file.
  return _fsopen(path, "rt", _SH_DENYNO);
}

bool StreamsTranslateText() { return true; }

uint32_t ReadProfileInt(const char* section, const char* key,
                        int32_t default_value, const char* path) {
  return GetPrivateProfileIntA(section, key, default_value, path);
}

}  // namespace tavrin::host
