// Windows' own GIF and JPEG decoder, OLE's picture object. The OLE libraries are loaded
// from the system folder when the first such picture is decoded, not when the program
// starts: most runs show bitmaps only.
#pragma once

#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include <string>

#include "winlib/scoped.h"
#include "winlib/system_library.h"

class PictureDecoder {
 public:
  // Loads the two libraries (file names in the system folder) and initialises COM on this
  // thread; Available() says whether all that succeeded.
  PictureDecoder(const char* ole32File, const char* oleaut32File);
  ~PictureDecoder();
  PictureDecoder(const PictureDecoder&) = delete;
  PictureDecoder& operator=(const PictureDecoder&) = delete;

  bool Available() const { return createStream_ != nullptr && loadPicture_ != nullptr; }

  // The decoded picture of a file, or none when the file cannot be read or holds no
  // picture, or the decoder is not available.
  ComPtr<IPicture> Decode(const std::string& path) const;

 private:
  using CreateStreamFunction = HRESULT(WINAPI*)(HGLOBAL, BOOL, LPSTREAM*);
  using LoadPictureFunction = HRESULT(WINAPI*)(LPSTREAM, LONG, BOOL, REFIID, LPVOID*);

  SystemLibrary ole32_, oleaut32_;
  CreateStreamFunction createStream_ = nullptr;
  LoadPictureFunction loadPicture_ = nullptr;
  bool comInitialised_ = false;
};

// The decoder of the system's libraries, made at the first call and kept for the run.
const PictureDecoder& SystemPictureDecoder();
