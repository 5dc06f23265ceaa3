// Short texts without a C runtime: the game side composes its check lines and compares the
// plugin's texts with these few helpers.
#pragma once

#include <stddef.h>
#include <stdint.h>

size_t TextLength(const char* text);
// Equal bytes up to the NUL; a null text equals only another null text.
bool TextEquals(const char* a, const char* b);
// The text of `key`'s line ("key=value") in an INI file's bytes, up to the line end, into
// `value`; false when no such line exists.
bool IniValue(const char* file, const char* key, char* value, size_t capacity);

// One line of text in a fixed buffer; whatever does not fit is cut off.
class Line {
 public:
  Line() { buffer_[0] = '\0'; }
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  Line& Add(const char* text);
  Line& Hex(uint64_t value);
  Line& Decimal(uint64_t value);
  // The text quoted, with line feeds and carriage returns shown as \n and \r.
  Line& Quoted(const char* text);
  bool Empty() const { return length_ == 0; }
  const char* Text() const { return buffer_; }

 private:
  void Put(char c);

  char buffer_[2048];
  size_t length_ = 0;
};
