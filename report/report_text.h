// Builds report text in a fixed buffer: no allocation, so that formatting cannot fail when
// memory has run out. Text that does not fit is cut, never overflowed.
#pragma once

#include <cstddef>
#include <cstdint>

class ReportText {
 public:
  ReportText& Add(const char* text) noexcept;
  // At most `maxLength` characters: for a fixed-size field that need not end in a NUL.
  ReportText& Add(const char* text, std::size_t maxLength) noexcept;
  ReportText& AddNumber(std::uint64_t value) noexcept;
  // `value` right-aligned in a field `width` characters wide.
  ReportText& AddNumber(std::uint64_t value, std::size_t width) noexcept;
  // Pads with blanks up to `column` characters since the start of the line.
  ReportText& PadTo(std::size_t column) noexcept;
  // Milliseconds with three decimals, from counter ticks, right-aligned in a field `width`
  // characters wide, then " ms".
  ReportText& AddMilliseconds(std::int64_t ticks, std::int64_t ticksPerSecond,
                              std::size_t width) noexcept;
  // "YYYY-MM-DD hh:mm:ss  " in local time.
  ReportText& AddTimestamp() noexcept;
  // Ends the line with CR LF, as any Windows text editor expects.
  ReportText& EndLine() noexcept;

  const char* Data() const noexcept { return buffer_; }
  std::size_t Size() const noexcept { return size_; }

 private:
  ReportText& AddChar(char character) noexcept;

  char buffer_[4096] = {};
  std::size_t size_ = 0;
  std::size_t lineStart_ = 0;
};

// Counter ticks as whole microseconds; 0 for a time that cannot be told.
std::uint64_t MicrosecondsOf(std::int64_t ticks, std::int64_t ticksPerSecond) noexcept;

// "Kelvarion Save Cleaner - VKRX Plugin by Tovenmarek v2.0: ", the first words of every file
// the plugin writes.
ReportText& AddProductTitle(ReportText& text) noexcept;
