// The time tag at the start of a timing-file line: "[mm:ss.ff]".
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes at the start of a line that hold its time tag; the rest of the line is its own text.
inline constexpr std::size_t kTimingTagLength = 10;

// True for a line of only spaces, tabs, CR and LF (or no bytes at all): it gives no time.
bool IsBlankTimingText(const char* bytes, std::size_t length);

// The start time in milliseconds that the tag at the start of a line gives, truncated toward
// zero; only the first kTimingTagLength bytes of tag[0..length) are looked at. Fields that are
// missing or hold no number count as 0, and so does a time that is not finite or does not fit
// in 32 bits.
std::int32_t TimeFromTimingTag(const char* tag, std::size_t length);
