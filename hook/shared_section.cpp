// The one section of this library that Windows maps once for all processes
// that load the same file: "TAVRIN_S", initialised data, readable, writable,
// shared (characteristics 0xD0000040).
//
// What may live here: plain values only, each explicitly initialised (so
// that the first process to load the file sees them null), no pointers into
// a process (the section maps at different addresses), and only handles that
// are valid in every process (window and hook handles).
//
// Only the host writes (SetHook, ResetHook, SetModernWheel; for the 32-bit
// library its companion, SetHostWindow), each variable with one whole
// store; every copy of HookProc reads. There is no lock: a reader sees
// either the old or the new value.
#include "shared_section.h"

#define TAVRIN_SHARED __attribute__((section("TAVRIN_S"), shared))

HWND SharedHostWindow TAVRIN_SHARED = nullptr;
HHOOK SharedHookHandle TAVRIN_SHARED = nullptr;
BYTE SharedCloseByMbtn TAVRIN_SHARED = 0;
BYTE SharedModernWheel TAVRIN_SHARED = 0;
