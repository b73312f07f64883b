#include "core/timing_line.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kMinutesFirst = 1, kMinutesLength = 2;
constexpr std::size_t kSecondsFirst = 4, kSecondsLength = 5;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Copies the bytes of a fixed field that the line holds into a NUL-terminated buffer.
void CopyField(const char* line, std::size_t length, std::size_t first, std::size_t fieldLength,
               char* out) {
  std::size_t n = 0;
  for (std::size_t i = first; i < first + fieldLength && i < length && line[i] != '\0'; ++i) {
    out[n++] = line[i];
  }
  out[n] = '\0';
}

}  // namespace

bool IsBlankTimingText(const char* bytes, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (!IsBlank(bytes[i])) return false;
  }
  return true;
}

std::int32_t TimeFromTimingTag(const char* tag, std::size_t length) {
  char minutesField[kMinutesLength + 1];
  char secondsField[kSecondsLength + 1];
  CopyField(tag, length, kMinutesFirst, kMinutesLength, minutesField);
  CopyField(tag, length, kSecondsFirst, kSecondsLength, secondsField);

  const long minutes = std::strtol(minutesField, nullptr, 10);
  // The seconds are parsed as a double and the sum is formed at extended precision:
  // "00:01.13" therefore gives 1129, never 1130.
  const double seconds = std::strtod(secondsField, nullptr);
  const long double ms =
      (static_cast<long double>(minutes) * 60 + static_cast<long double>(seconds)) * 1000;

  if (std::isfinite(ms) && ms > -2147483649.0L && ms < 2147483648.0L) {
    return static_cast<std::int32_t>(ms);
  }
  return 0;
}
