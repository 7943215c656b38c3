#include "settings_reader.h"

#include <string.h>

#include <algorithm>

namespace tavrin::host {

namespace {

constexpr char kEndOfText = 0x1A;

// The text of a piece: a NUL byte ends it.
std::string_view TextOf(std::string_view piece) {
  return piece.substr(0, piece.find('\0'));
}

// Folds A to Z only, whatever the locale.
constexpr char FoldAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool StartsWithFolded(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (FoldAscii(text[i]) != FoldAscii(prefix[i])) return false;
  }
  return true;
}

bool IsTrailingSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsTrueWord(std::string_view value) {
  return value == "1" || EqualsFolded(value, "true") ||
         EqualsFolded(value, "yes");
}

// Drops, in place, each CR that stands right before a LF.
size_t DropCrBeforeLf(char* text, size_t size) {
  const char* const end = text + size;
  char* out = text;
  const char* kept = text;  // start of the bytes not yet moved to out
  for (const char* cr = text;
       (cr = static_cast<const char*>(
            memchr(cr, '\r', static_cast<size_t>(end - cr)))) != nullptr;
       ++cr) {
    if (cr + 1 == end || cr[1] != '\n') continue;
    const size_t length = static_cast<size_t>(cr - kept);
    if (out != kept) memmove(out, kept, length);
    out += length;
    kept = cr + 1;
  }
  const size_t rest = static_cast<size_t>(end - kept);
  if (out != kept) memmove(out, kept, rest);
  return static_cast<size_t>(out - text) + rest;
}

}  // namespace

bool EqualsFolded(std::string_view text, std::string_view word) {
  return text.size() == word.size() && StartsWithFolded(text, word);
}

TextModeLineSource::TextModeLineSource(bool translate, size_t chunk_bytes)
    : translate_(translate),
      chunk_bytes_(std::max<size_t>(chunk_bytes, 1)),
      chunk_(std::make_unique<char[]>(chunk_bytes_ + 1)) {}

void TextModeLineSource::Rewind() {
  RewindRaw();
  next_ = end_ = 0;
  held_cr_ = text_ended_ = failed_ = false;
}

bool TextModeLineSource::Refill() {
  char* const text = chunk_.get();
  while (!text_ended_) {
    size_t size = 0;
    if (held_cr_) text[size++] = '\r';
    held_cr_ = false;
    bool failed = false;
    const size_t got = ReadRaw(text + size, chunk_bytes_, failed);
    if (failed) {
      failed_ = text_ended_ = true;
      return false;
    }
    if (got == 0) text_ended_ = true;  // a held CR stands alone
    size += got;
    if (translate_ && got > 0) {
      if (const void* eot = memchr(text, kEndOfText, size)) {
        size = static_cast<size_t>(static_cast<const char*>(eot) - text);
        text_ended_ = true;
      } else if (text[size - 1] == '\r') {
        // Whether it pairs with a LF is known only with the next chunk.
        held_cr_ = true;
        --size;
      }
      size = DropCrBeforeLf(text, size);
    }
    next_ = 0;
    end_ = size;
    if (size > 0) return true;
  }
  return false;
}

bool TextModeLineSource::ReadLine(std::string_view& piece) {
  // Most pieces lie whole in the current chunk and are handed out in place.
  if (const size_t ready = end_ - next_; ready > 0) {
    const char* const from = chunk_.get() + next_;
    const size_t limit = std::min(ready, kLinePieceBytes);
    const void* const lf = memchr(from, '\n', limit);
    if (lf != nullptr || limit == kLinePieceBytes) {
      const size_t length =
          lf ? static_cast<size_t>(static_cast<const char*>(lf) - from) + 1
             : limit;
      next_ += length;
      piece = std::string_view(from, length);
      return true;
    }
  }
  // Otherwise the piece is put together across chunks.
  size_t length = 0;
  bool line_fed = false;
  while (!line_fed && length < kLinePieceBytes) {
    if (next_ == end_ && !Refill()) break;
    const char* const from = chunk_.get() + next_;
    size_t take = std::min(kLinePieceBytes - length, end_ - next_);
    if (const void* lf = memchr(from, '\n', take)) {
      take = static_cast<size_t>(static_cast<const char*>(lf) - from) + 1;
      line_fed = true;
    }
    memcpy(piece_ + length, from, take);
    length += take;
    next_ += take;
  }
  // As fgets does, a read failure loses the piece that was being read.
  if (failed_ || length == 0) return false;
  piece = std::string_view(piece_, length);
  return true;
}

size_t MemoryLineSource::ReadRaw(char* destination, size_t capacity, bool&) {
  const size_t size = std::min(capacity, bytes_.size() - offset_);
  if (size == 0) return 0;
  memcpy(destination, bytes_.data() + offset_, size);
  offset_ += size;
  return size;
}

size_t StreamLineSource::ReadRaw(char* destination, size_t capacity,
                                 bool& failed) {
  const size_t size = fread(destination, 1, capacity, stream_);
  if (size == 0 && ferror(stream_)) failed = true;
  return size;
}

void ReadClassSection(LineSource& source, std::string_view header,
                      ClassNameSet& set) {
  source.Rewind();
  std::string_view piece;
  while (source.ReadLine(piece)) {
    if (StartsWithFolded(TextOf(piece), header)) {
      // Only the first header of a name counts.
      ReadClassEntries(source, set);
      return;
    }
  }
}

void ReadClassEntries(LineSource& source, ClassNameSet& set) {
  std::string_view piece;
  while (source.ReadLine(piece)) {
    std::string_view line = TextOf(piece);
    // The first byte is looked at before trimming: a blank protects it.
    if (!line.empty()) {
      const char first = line.front();
      if (first == '#' || first == '/' || first == ';') continue;
      if (first == '[') return;
    }
    while (!line.empty() && IsTrailingSpace(line.back())) line.remove_suffix(1);
    // Split at the last "="; nothing is trimmed at the start of the value.
    if (const size_t equals = line.rfind('='); equals != line.npos) {
      if (!IsTrueWord(line.substr(equals + 1))) continue;
      line = line.substr(0, equals);
    }
    if (line.empty()) continue;
    set.Insert(line);
  }
}

}  // namespace tavrin::host
