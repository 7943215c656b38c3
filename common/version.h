// The program's version, for the version block.
#pragma once

#define TAVRIN_VERSION_BINARY 1, 1, 0, 1
#define TAVRIN_VERSION_TEXT "1.1"
