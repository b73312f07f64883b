#include "core/lesson_conversion.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "core/gbk.h"
#include "core/library_record.h"
#include "core/staged_file.h"
#include "core/string_helpers.h"
#include "core/timing_line.h"

namespace {

constexpr int kLineBufferSize = 4000;
constexpr int kLineReadLimit = 3900;  // fgets reads at most 3899 bytes of a line
constexpr std::int32_t kEndOfSound = -100;
constexpr int kLessonAlignment = 5;

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using InputFile = std::unique_ptr<std::FILE, FileCloser>;

InputFile OpenForReading(const std::string& path) {
  return InputFile(std::fopen(path.c_str(), "rb"));
}

// Reads every line of a timing file into times, then appends the end of the sound. Lines end
// only at LF and are found in the bytes read, so a NUL byte is just another byte of its line;
// blankness is decided over the whole line, however long.
bool ReadLessonTimes(std::FILE* file, std::vector<std::int32_t>& times) {
  char chunk[4096];
  char tag[kTimingTagLength];  // the first bytes of the current line, its time tag
  std::size_t tagLength = 0;
  bool blank = true;  // the current line so far holds only blanks (or nothing)
  std::size_t read;
  while ((read = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
    const char* p = chunk;
    const char* const end = chunk + read;
    while (p < end) {
      const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
      const char* const stop = lf != nullptr ? lf + 1 : end;
      const std::size_t length = stop - p;
      if (tagLength < sizeof tag) {
        const std::size_t n = std::min(sizeof tag - tagLength, length);
        std::memcpy(tag + tagLength, p, n);
        tagLength += n;
      }
      if (blank) blank = IsBlankTimingText(p, length);
      p = stop;
      if (lf != nullptr) {
        if (!blank) times.push_back(TimeFromTimingTag(tag, tagLength));
        tagLength = 0;
        blank = true;
      }
    }
  }
  if (!blank) times.push_back(TimeFromTimingTag(tag, tagLength));
  times.push_back(kEndOfSound);
  return !std::ferror(file);
}

class BookConverter {
 public:
  BookConverter(const std::string& bookFolder, const std::string& fileTag)
      : bookFolder_(bookFolder), lessonFileStem_(bookFolder + fileTag) {}

  ConvertResult Run(const std::string& libraryFile);

 private:
  ConvertResult Fail(ConvertStatus status, const std::string& file) {
    return ConvertResult{status, file};
  }
  bool WriteRecord();
  bool WriteFillers();
  ConvertResult StartLesson(const char* title);
  ConvertResult AddSentence(const char* line, std::FILE* lessonList);
  std::int32_t TimeAt(std::size_t k) const { return k < times_.size() ? times_[k] : kEndOfSound; }

  const std::string bookFolder_;
  const std::string lessonFileStem_;  // a lesson's timing and sound files, but for its number
  StagedFile out_;
  LibraryRecord record_;
  std::vector<std::int32_t> times_;
  std::vector<char> companion_ = std::vector<char>(kLineBufferSize);
  long long recordCount_ = 0;
  int lessonNumber_ = 1;
  bool inLesson_ = false;
  std::size_t sentenceIndex_ = 0;
  std::string soundFile_;
  std::string libraryFile_;
};

bool BookConverter::WriteRecord() {
  if (!out_.Write(record_.Bytes(), LibraryRecord::kSize)) return false;
  ++recordCount_;
  return true;
}

bool BookConverter::WriteFillers() {
  if (recordCount_ % kLessonAlignment == 0) return true;
  record_.SetFillerMark(true);
  while (recordCount_ % kLessonAlignment != 0) {
    if (!WriteRecord()) return false;
  }
  record_.SetFillerMark(false);
  return true;
}

ConvertResult BookConverter::StartLesson(const char* title) {
  sentenceIndex_ = 0;
  if (!WriteFillers()) return Fail(ConvertStatus::kWriteFailed, libraryFile_);
  const std::size_t titleLength = std::strlen(title);
  record_.SetCompanion(title, GbkPrefixLength(title, titleLength, LibraryRecord::kMaxTextBytes));
  record_.SetHeaderFlag(true);
  if (!WriteRecord()) return Fail(ConvertStatus::kWriteFailed, libraryFile_);

  char number[16];
  std::snprintf(number, sizeof number, "%03d", lessonNumber_);
  const std::string timingFile = lessonFileStem_ + number + ".lrc";
  times_.clear();
  InputFile timing = OpenForReading(timingFile);
  if (!timing || !ReadLessonTimes(timing.get(), times_)) {
    return Fail(ConvertStatus::kTimingFileMissing, timingFile);
  }
  soundFile_ = lessonFileStem_ + number + ".mp3";
  ++lessonNumber_;
  inLesson_ = true;
  return {};
}

// Splits the text area between sentence and companion when both do not fit: each gets half,
// and what one of them leaves unused goes to the other.
void FitTexts(std::size_t budget, std::size_t* sentence, std::size_t* companion) {
  if (*sentence + *companion <= budget) return;
  const std::size_t half = budget / 2;
  if (*sentence <= half) {
    *companion = budget - *sentence;
  } else if (*companion <= budget - half) {
    *sentence = budget - *companion;
  } else {
    *sentence = half;
    *companion = budget - half;
  }
}

ConvertResult BookConverter::AddSentence(const char* line, std::FILE* lessonList) {
  // The sentence text starts two bytes after the first '.', or is the whole line without one.
  const char* text = line;
  if (const char* dot = std::strchr(line, '.')) {
    text = dot + (dot[1] == '\0' ? 1 : 2);
  }
  std::size_t textLength = std::strlen(text);
  while (textLength > 0 && *text == ' ') {
    ++text;
    --textLength;
  }
  while (textLength > 0 && text[textLength - 1] == ' ') --textLength;

  // The companion line follows the sentence line; at the end of the list it is empty.
  char* companion = companion_.data();
  if (std::fgets(companion, kLineReadLimit, lessonList) == nullptr) companion[0] = '\0';
  if (!inLesson_) return {};  // sentences before the first lesson have no place in the library
  TrimLineEnd(companion);
  while (*companion == ' ') ++companion;
  std::size_t companionLength = std::strlen(companion);

  if (soundFile_.size() > LibraryRecord::kMaxTextBytes) {
    return Fail(ConvertStatus::kSoundPathTooLong, soundFile_);
  }
  std::size_t sentenceRoom = textLength, companionRoom = companionLength;
  FitTexts(LibraryRecord::kMaxTextBytes - soundFile_.size(), &sentenceRoom, &companionRoom);
  record_.SetSentence(text, GbkPrefixLength(text, textLength, sentenceRoom));
  record_.SetCompanion(companion, GbkPrefixLength(companion, companionLength, companionRoom));
  record_.SetSoundFile(soundFile_.data(), soundFile_.size());
  record_.SetStart(TimeAt(sentenceIndex_));
  record_.SetEnd(TimeAt(sentenceIndex_ + 1));
  if (!WriteRecord()) return Fail(ConvertStatus::kWriteFailed, libraryFile_);
  ++sentenceIndex_;
  return {};
}

ConvertResult BookConverter::Run(const std::string& libraryFile) {
  libraryFile_ = libraryFile;
  const std::string lessonListPath = bookFolder_ + "lesson.txt";
  InputFile lessonList = OpenForReading(lessonListPath);
  if (!lessonList) return Fail(ConvertStatus::kLessonListUnreadable, lessonListPath);
  if (!out_.Create(libraryFile)) return Fail(ConvertStatus::kLibraryNotCreated, libraryFile);

  std::vector<char> buffer(kLineBufferSize);
  char* line = buffer.data();
  while (std::fgets(line, kLineReadLimit, lessonList.get()) != nullptr) {
    TrimLineEnd(line);
    record_.Reset();
    ConvertResult step;
    if (line[0] == '$') {
      step = StartLesson(line + 1);
    } else if (line[0] != '\0') {
      step = AddSentence(line, lessonList.get());
    }
    if (!step.Ok()) return step;
  }
  if (std::ferror(lessonList.get())) {
    return Fail(ConvertStatus::kLessonListUnreadable, lessonListPath);
  }
  switch (out_.Commit()) {
    case StagedFile::CommitResult::kCommitted:
      return {};
    case StagedFile::CommitResult::kReplaceFailed:
      return Fail(ConvertStatus::kReplaceFailed, libraryFile);
    case StagedFile::CommitResult::kWriteFailed:
      break;
  }
  return Fail(ConvertStatus::kWriteFailed, libraryFile);
}

}  // namespace

const char* ConvertStatusText(ConvertStatus status) {
  switch (status) {
    case ConvertStatus::kOk:
      return "converted";
    case ConvertStatus::kLessonListUnreadable:
      return "cannot read the lesson list";
    case ConvertStatus::kLibraryNotCreated:
      return "cannot create the library file";
    case ConvertStatus::kTimingFileMissing:
      return "cannot read the timing file";
    case ConvertStatus::kSoundPathTooLong:
      return "sound file path too long for a record";
    case ConvertStatus::kWriteFailed:
      return "cannot write the library file";
    case ConvertStatus::kReplaceFailed:
      return "cannot replace the library file";
  }
  return "unknown failure";
}

ConvertResult ConvertBook(const std::string& libraryFile, const std::string& bookFolder,
                          const std::string& fileTag) {
  BookConverter converter(bookFolder, fileTag);
  return converter.Run(libraryFile);
}

int ConvertLessons(const std::string& libraryFile, std::string bookFolder,
                   const std::string& fileTag) {
  return ConvertBook(libraryFile, bookFolder, fileTag).Ok() ? 1 : -1;
}
