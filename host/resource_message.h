// Message boxes from the program's string table.
#pragma once

#include <windows.h>

#include <string>

namespace tavrin::host {

// Loads string `id` as a wvsprintfA format, formats the arguments into it
// and shows it captioned with the program title, with no owner window
// (`owner` is accepted and not used). A missing string shows "resource load
// error" with the same buttons. Returns the pressed button's id.
int ShowResourceMessage(HWND owner, UINT id, UINT type, ...);

// String `id` formatted with the arguments as ShowResourceMessage formats
// them, or "resource load error".
std::string ResourceText(UINT id, ...);

}  // namespace tavrin::host
