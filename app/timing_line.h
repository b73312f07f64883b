// The time tag at the start of a timing-file line: "[mm:ss.ff]".
#pragma once

#include <cstddef>
#include <cstdint>

// The start time in milliseconds that a timing line gives, truncated toward zero. Fields that
// are missing or hold no number count as 0, and so does a time that is not finite or does not
// fit in 32 bits. Returns false for a line of only spaces, tabs, CR and LF, which gives no time.
bool TimeFromTimingLine(const char* line, std::size_t length, std::int32_t* milliseconds);
