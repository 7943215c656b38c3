// The class-list reader: turns the bytes of a settings file into the keys of
// the class-list sections. It reads lines as the C runtime's text mode and
// fgets with a 2048-byte buffer hand them out, so that a file reads the same
// from memory, from a stream on Linux and from a text-mode stream on Windows.
#pragma once

#include <stddef.h>
#include <stdio.h>

#include <memory>
#include <string_view>

#include "class_name_set.h"

namespace tavrin::host {

// A line is read in pieces of at most this many bytes, its line feed
// included; each piece counts as a line of its own.
inline constexpr size_t kLinePieceBytes = 2047;

// Hands out a settings file line by line, from its start.
class LineSource {
 public:
  virtual ~LineSource() = default;
  // Goes back to the start of the file and forgets an end or a failure.
  virtual void Rewind() = 0;
  // The next piece of at most kLinePieceBytes bytes, ending with its line
  // feed unless the piece fills up or the text ends first. The bytes stay
  // valid until the next call. False at the end of the text and after a
  // read failure.
  virtual bool ReadLine(std::string_view& piece) = 0;
};

// Cuts a byte stream into pieces, reading CR LF as LF and a byte 0x1A as the
// end of the text (unless the stream has done that already). Subclasses
// supply the raw bytes.
class TextModeLineSource : public LineSource {
 public:
  // chunk_bytes: how much raw input is taken at a time.
  explicit TextModeLineSource(bool translate, size_t chunk_bytes = 64 * 1024);
  void Rewind() final;
  bool ReadLine(std::string_view& piece) final;

 protected:
  // Copies up to capacity raw bytes to destination; 0 at the end. Sets
  // failed on a read failure.
  virtual size_t ReadRaw(char* destination, size_t capacity, bool& failed) = 0;
  virtual void RewindRaw() = 0;

 private:
  bool Refill();

  const bool translate_;
  const size_t chunk_bytes_;
  std::unique_ptr<char[]> chunk_;  // chunk_bytes_ + 1: room for a held CR
  size_t next_ = 0;                // [next_, end_) is text not handed out
  size_t end_ = 0;
  bool held_cr_ = false;  // a CR that ended the last chunk, before its LF?
  bool text_ended_ = false;
  bool failed_ = false;
  char piece_[kLinePieceBytes];  // a piece that spans two chunks
};

// A settings file held in memory.
class MemoryLineSource final : public TextModeLineSource {
 public:
  explicit MemoryLineSource(std::string_view bytes,
                            size_t chunk_bytes = 64 * 1024)
      : TextModeLineSource(true, chunk_bytes), bytes_(bytes) {}

 private:
  size_t ReadRaw(char* destination, size_t capacity, bool& failed) override;
  void RewindRaw() override { offset_ = 0; }

  std::string_view bytes_;
  size_t offset_ = 0;
};

// An open stream; the caller keeps ownership. translate: the stream gives
// the file's bytes as they are (false for a Windows text-mode stream).
class StreamLineSource final : public TextModeLineSource {
 public:
  StreamLineSource(FILE* stream, bool translate)
      : TextModeLineSource(translate), stream_(stream) {}

 private:
  size_t ReadRaw(char* destination, size_t capacity, bool& failed) override;
  void RewindRaw() override { rewind(stream_); }

  FILE* stream_;
};

// Equal without regard to the case of ASCII letters (A to Z only), as
// headers, true words and profile names are compared.
bool EqualsFolded(std::string_view text, std::string_view word);

// Finds the first line that begins with the header (brackets included,
// compared without regard to the case of ASCII letters) and reads the
// entries that follow it into the set. An absent section adds nothing.
void ReadClassSection(LineSource& source, std::string_view header,
                      ClassNameSet& set);

// Reads entry lines from the current position into the set until a line
// that begins with "[", the end of the text or a read failure.
void ReadClassEntries(LineSource& source, ClassNameSet& set);

}  // namespace tavrin::host
