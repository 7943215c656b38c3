// The class-list reader: turns the lines of an open settings file into the
// keys of the four class-list sections.
#pragma once

#include <stddef.h>
#include <stdio.h>

#include <string_view>

#include "host_state.h"

namespace tavrin::host {

// A line is read in pieces of at most this many bytes, its line feed
// included, as fgets reads it into a 2048-byte buffer; each piece counts as
// a line of its own.
inline constexpr size_t kLinePieceBytes = 2047;

// Always in exclude_class, so that every name from 0x22 to 0xFA in its first
// byte has a lower bound and a key below it.
inline constexpr std::string_view kLowSentinel = "!";
inline constexpr std::string_view kHighSentinel = "\xFB\x5B";

// Empties the four sets and puts the sentinels into exclude_class.
void ResetClassLists(HostState& state);

// Reads the four class-list sections into the state's sets, one pass over
// the file from its start for each; false when a read failed. The file is
// read as the stream gives it: on Windows a text-mode stream has already
// turned CR LF into LF and ended the text at a byte 0x1A.
bool ReadClassLists(FILE* file, HostState& state);

// Finds the first line that begins with the header (brackets included,
// compared without regard to the case of ASCII letters) and reads the
// entries that follow it into the set. An absent section adds nothing.
// False when a read failed.
bool ReadClassSection(FILE* file, std::string_view header, ClassNameSet& set);

// Reads entry lines from the file's position into the set until a line
// that begins with "[", the end of the file or a read failure.
void ReadClassEntries(FILE* file, ClassNameSet& set);

}  // namespace tavrin::host
