#include "core/gbk.h"

namespace {

// Length in bytes of the character that starts at text[i].
std::size_t CharLength(const char* text, std::size_t length, std::size_t i) {
  if (i + 1 < length && IsGbkLeadByte(static_cast<unsigned char>(text[i])) &&
      IsGbkTrailByte(static_cast<unsigned char>(text[i + 1]))) {
    return 2;
  }
  return 1;
}

}  // namespace

std::size_t GbkPrefixLength(const char* text, std::size_t length, std::size_t limit) {
  if (length <= limit) return length;
  std::size_t i = 0;
  while (i < length) {
    std::size_t next = i + CharLength(text, length, i);
    if (next > limit) break;
    i = next;
  }
  return i;
}

bool GbkLastByteIsSingle(const char* text, std::size_t length) {
  std::size_t i = 0;
  std::size_t lastStart = 0;
  while (i < length) {
    lastStart = i;
    i += CharLength(text, length, i);
  }
  return length > 0 && lastStart == length - 1;
}
