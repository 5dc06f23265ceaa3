// What the end of the previous run's report says: whether its last pass began and never
// ended, because the game closed (crashed, or was ended) while that pass held the game's lock.
#pragma once

#include <cstddef>

// The pass ("First load" 1, "Second load" 2, "Another load" 3) whose "the cleaning pass
// begins." line is the text's last line; 0 for any other text, garbage and an empty one
// included.
unsigned PassLeftOpen(const char* tail, std::size_t length) noexcept;

// The same, from the last bytes of the report at `path`, opened sharing everything; 0 when
// there is no such file or it cannot be read.
unsigned PassLeftOpenIn(const wchar_t* path) noexcept;
