#include "game/text.h"

size_t TextLength(const char* text) {
  size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

bool TextEquals(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return a == b;
  for (;; ++a, ++b) {
    if (*a != *b) return false;
    if (*a == '\0') return true;
  }
}

bool IniValue(const char* file, const char* key, char* value, size_t capacity) {
  const size_t keyLength = TextLength(key);
  for (const char* line = file; *line != '\0';) {
    size_t matched = 0;
    while (matched < keyLength && line[matched] == key[matched]) ++matched;
    const bool found = matched == keyLength && line[matched] == '=';
    const char* end = line;
    while (*end != '\0' && *end != '\n' && *end != '\r') ++end;
    if (found) {
      size_t length = 0;
      for (const char* at = line + keyLength + 1; at < end && length + 1 < capacity; ++at) {
        value[length++] = *at;
      }
      value[length] = '\0';
      return true;
    }
    line = end;
    while (*line == '\n' || *line == '\r') ++line;
  }
  return false;
}

void Line::Put(char c) {
  if (length_ + 1 >= sizeof buffer_) return;
  buffer_[length_++] = c;
  buffer_[length_] = '\0';
}

Line& Line::Add(const char* text) {
  if (text == nullptr) return Add("(null)");
  for (; *text != '\0'; ++text) Put(*text);
  return *this;
}

Line& Line::Hex(uint64_t value) {
  char digits[16];
  int count = 0;
  do {
    digits[count++] = "0123456789ABCDEF"[value & 0xF];
    value >>= 4;
  } while (value != 0);
  while (count > 0) Put(digits[--count]);
  return *this;
}

Line& Line::Decimal(uint64_t value) {
  char digits[20];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0) Put(digits[--count]);
  return *this;
}

Line& Line::Quoted(const char* text) {
  if (text == nullptr) return Add("(null)");
  Put('"');
  for (; *text != '\0'; ++text) {
    if (*text == '\n') {
      Add("\\n");
    } else if (*text == '\r') {
      Add("\\r");
    } else {
      Put(*text);
    }
  }
  Put('"');
  return *this;
}
