// Who the program is to the desktop: the hidden window's class and title,
// by which a second start finds the running one, and the caption of every
// message box of the programs.
#pragma once

namespace tavrin {

inline constexpr char kWindowClass[] = "Tavrin64Class";
inline constexpr char kProgramTitle[] = "Tavrin64";

}  // namespace tavrin
