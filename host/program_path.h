// Where the running program lies, for the files that live beside it.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::host {

// The program's full path, as long as the system allows (32,767
// characters); empty when it cannot be had.
std::string ProgramPath();

// The full path of a file of that name in the program's folder; empty when
// the program's path cannot be had, so that a bare name, which the system
// would look up elsewhere, is never used.
std::string BesideProgram(std::string_view name);

}  // namespace tavrin::host
