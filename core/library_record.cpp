#include "core/library_record.h"

#include <cstring>

#include "core/string_helpers.h"

LibraryRecord::LibraryRecord() {
  std::memset(bytes_, 0, sizeof bytes_);
  bytes_[kTextCount] = kEndMarker;
  Reset();
}

void LibraryRecord::Reset() {
  // Everything up to the end marker is cleared, not only the six texts; the bytes after it are
  // kept zero, so no earlier text lingers in the records written.
  std::memset(bytes_, 0, static_cast<std::size_t>(FindEnd()) + 1);
  bytes_[kTextCount] = kEndMarker;
  SetStart(kNoTime);
  SetEnd(kNoTime);
  PutInt(kReserved1Offset, 0);
  PutInt(kReserved2Offset, 0);
  SetHeaderFlag(false);
  SetFillerMark(false);
}

bool LibraryRecord::SetSentence(const char* text, std::size_t length) {
  while (length > 0 && text[0] == ' ') {
    ++text;
    --length;
  }
  while (length > 0 && text[length - 1] == ' ') --length;
  return StoreText(kSentenceText, text, length);
}

bool LibraryRecord::SetCompanion(const char* text, std::size_t length) {
  return StoreText(kCompanionText, text, length);
}

bool LibraryRecord::SetSoundFile(const char* text, std::size_t length) {
  return StoreText(kSoundText, text, length);
}

int LibraryRecord::FindEnd(const unsigned char* bytes) {
  for (std::size_t i = 1; i < kTextAreaSize; ++i) {
    if (bytes[i] == kEndMarker && bytes[i - 1] == 0) return static_cast<int>(i);
  }
  return -1;
}

int LibraryRecord::LocateText(const unsigned char* bytes, int n) {
  if (n == 0) return 0;
  int nulls = 0;
  for (std::size_t i = 0; i < kTextAreaSize; ++i) {
    if (bytes[i] == 0 && ++nulls == n) return i + 1 < kTextAreaSize ? static_cast<int>(i + 1) : -1;
  }
  return -1;
}

std::size_t LibraryRecord::UsedTextBytes() const {
  return static_cast<std::size_t>(FindEnd()) - kTextCount;
}

bool LibraryRecord::StoreText(int index, const char* text, std::size_t length) {
  // Texts hold no NUL: a NUL would end the text early and shift every later text.
  const void* nul = std::memchr(text, 0, length);
  if (nul != nullptr) length = static_cast<std::size_t>(static_cast<const char*>(nul) - text);

  const int start = LocateText(index);
  const int end = FindEnd();
  if (start < 0 || end < 0) return false;
  const std::size_t oldLength = std::strlen(reinterpret_cast<const char*>(bytes_ + start));
  const std::size_t used = static_cast<std::size_t>(end) + 1;
  if (used - oldLength + length > kTextAreaSize) return false;

  // Move the following texts and the end marker (with the NUL of this text) into place.
  const std::size_t tailStart = static_cast<std::size_t>(start) + oldLength;
  ShiftBytes(bytes_ + tailStart, used - tailStart,
             static_cast<std::ptrdiff_t>(length) - static_cast<std::ptrdiff_t>(oldLength));
  std::memcpy(bytes_ + start, text, length);
  if (length < oldLength) std::memset(bytes_ + used - (oldLength - length), 0, oldLength - length);
  // A text starting with 0xFF would read back as the end marker after the NUL before it.
  if (length > 0 && bytes_[start] == kEndMarker) bytes_[start] = '?';
  return true;
}

void LibraryRecord::PutInt(std::size_t offset, std::int32_t value) {
  const std::uint32_t u = static_cast<std::uint32_t>(value);
  bytes_[offset] = static_cast<unsigned char>(u);
  bytes_[offset + 1] = static_cast<unsigned char>(u >> 8);
  bytes_[offset + 2] = static_cast<unsigned char>(u >> 16);
  bytes_[offset + 3] = static_cast<unsigned char>(u >> 24);
}

std::int32_t LibraryRecord::GetInt(const unsigned char* bytes, std::size_t offset) {
  const std::uint32_t u = static_cast<std::uint32_t>(bytes[offset]) |
                          static_cast<std::uint32_t>(bytes[offset + 1]) << 8 |
                          static_cast<std::uint32_t>(bytes[offset + 2]) << 16 |
                          static_cast<std::uint32_t>(bytes[offset + 3]) << 24;
  return static_cast<std::int32_t>(u);
}
