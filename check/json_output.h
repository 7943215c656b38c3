// tavrin-check --json FILE CLASS [TOPLEVEL-CLASS]: the verdict over one
// window as one JSON object on one line, for scripts.
#pragma once

#include <stddef.h>
#include <stdio.h>

#include <string_view>

#include "explain.h"
#include "window_verdict.h"

namespace tavrin::check {

// The file, both classes, the wheel's and the middle click's outcome and
// the list that decided each (null when none did), the wheel's key, the
// effective settings and the file's count of warnings.
void PrintVerdictJson(FILE* out, std::string_view path, const Verdict& verdict,
                      const Effective& effective, size_t warnings);

}  // namespace tavrin::check
