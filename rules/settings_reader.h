// The class-list reader: turns the lines of an open settings file into the
// keys of the four class-list sections. Each piece of a line is classified
// by ClassifyEntry, which tavrin-check uses too, so that what it explains is
// what the host reads.
#pragma once

#include <stddef.h>
#include <stdio.h>

#include <string_view>

#include "host_state.h"

namespace tavrin::rules {

// A line is read in pieces of at most this many bytes, its line feed
// included, as fgets reads it into a 2048-byte buffer; each piece counts as
// a line of its own.
inline constexpr size_t kLinePieceBytes = 2047;

// Always in exclude_class, so that every name from 0x22 to 0xFA in its first
// byte has a lower bound and a key below it.
inline constexpr std::string_view kLowSentinel = "!";
inline constexpr std::string_view kHighSentinel = "\xFB\x5B";

// The four class-list sections, in the order a load reads them.
struct ClassList {
  std::string_view name;    // exclude_class, ...
  std::string_view header;  // [exclude_class], ...
  ClassNameSet HostState::*set;
};
inline constexpr ClassList kClassLists[] = {
    {"exclude_class", "[exclude_class]", &HostState::exclude_class},
    {"exclude_parent_class", "[exclude_parent_class]",
     &HostState::exclude_parent_class},
    {"mbtn_discard_class", "[mbtn_discard_class]",
     &HostState::mbtn_discard_class},
    {"mbtn_passthrough_class", "[mbtn_passthrough_class]",
     &HostState::mbtn_passthrough_class},
};

// What one piece of a line inside a class-list section is to the reader.
enum class EntryKind {
  Comment,     // its first byte is "#", "/" or ";"
  SectionEnd,  // its first byte is "["
  Blank,       // nothing but white space
  Key,         // key is listed
  Refused,     // a value other than 1, true or yes after the last "="
  EmptyKey,    // an accepted value with nothing before its "="
};

struct Entry {
  EntryKind kind;
  // Key and Refused: the piece less its trailing white space, cut at its
  // last "=" when it has one; value: what follows that "=".
  std::string_view key;
  std::string_view value;
};

// Bytes 0x09 to 0x0D and 0x20: what the reader trims at the end of a line.
constexpr bool IsWhiteSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

// "1", "true" or "yes", without regard to the case of ASCII letters.
bool IsTrueValue(std::string_view value);

// Whether the piece begins with the header (brackets included), compared
// without regard to the case of ASCII letters; whatever follows is ignored.
bool IsSectionHeader(std::string_view piece, std::string_view header);

// The first byte is looked at before trimming: a blank protects it.
Entry ClassifyEntry(std::string_view piece);

// The next piece of a line into the buffer; its text ends at its first NUL
// byte. False at the end of the file or on a read failure.
bool ReadLinePiece(FILE* file, char (&buffer)[kLinePieceBytes + 1],
                   std::string_view& piece);

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

}  // namespace tavrin::rules
