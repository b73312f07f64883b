// One 2048-byte record of the study program's library file, kept exactly as it is written.
#pragma once

#include <cstddef>
#include <cstdint>

class LibraryRecord {
 public:
  static constexpr std::size_t kSize = 2048;
  static constexpr std::size_t kTextAreaSize = 1992;
  static constexpr int kTextCount = 6;
  // Room for text bytes: the area less the six NULs and the end marker.
  static constexpr std::size_t kMaxTextBytes = kTextAreaSize - kTextCount - 1;
  static constexpr unsigned char kEndMarker = 0xFF;
  static constexpr std::int32_t kFillerMark = 0x12345678;
  static constexpr std::int32_t kNoTime = -1;

  // Byte offsets of the integer fields, all 32-bit signed little-endian.
  static constexpr std::size_t kGuardOffset = 1992;
  static constexpr std::size_t kReserved0Offset = 2016;
  static constexpr std::size_t kStartOffset = 2020;
  static constexpr std::size_t kEndOffset = 2024;
  static constexpr std::size_t kReserved1Offset = 2028;
  static constexpr std::size_t kReserved2Offset = 2032;
  static constexpr std::size_t kHeaderFlagOffset = 2036;
  static constexpr std::size_t kFillerMarkOffset = 2040;

  // Indexes of the texts that carry something.
  static constexpr int kSentenceText = 0;
  static constexpr int kCompanionText = 1;
  static constexpr int kSoundText = 4;

  LibraryRecord();

  // Empty texts, no times, no flags; the guard byte and the field at 2016 stay as they are.
  void Reset();

  // Each returns false, leaving the record unchanged, when the text would not fit the area.
  // The sentence loses its leading and trailing spaces; the others are stored as given.
  bool SetSentence(const char* text, std::size_t length);
  bool SetCompanion(const char* text, std::size_t length);
  bool SetSoundFile(const char* text, std::size_t length);

  void SetStart(std::int32_t ms) { PutInt(kStartOffset, ms); }
  void SetEnd(std::int32_t ms) { PutInt(kEndOffset, ms); }
  void SetHeaderFlag(bool on) { PutInt(kHeaderFlagOffset, on ? 1 : 0); }
  void SetFillerMark(bool on) { PutInt(kFillerMarkOffset, on ? kFillerMark : 0); }

  // Index of the end marker (a 0xFF right after a NUL, from index 1), or -1.
  int FindEnd() const { return FindEnd(bytes_); }
  static int FindEnd(const unsigned char* bytes);
  // Start of the text after the n-th NUL of the area (n = 0 is the first text), or -1.
  int LocateText(int n) const { return LocateText(bytes_, n); }
  static int LocateText(const unsigned char* bytes, int n);

  // Bytes of text stored in all six texts together.
  std::size_t UsedTextBytes() const;

  const unsigned char* Bytes() const { return bytes_; }

  static std::int32_t GetInt(const unsigned char* bytes, std::size_t offset);

 private:
  bool StoreText(int index, const char* text, std::size_t length);
  void PutInt(std::size_t offset, std::int32_t value);

  unsigned char bytes_[kSize];
};
