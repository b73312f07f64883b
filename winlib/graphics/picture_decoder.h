// Windows' own GIF and JPEG decoder, OLE's picture object, in the thread's COM apartment: the
// OLE libraries are loaded when the first such picture is decoded, not when the program
// starts, as most runs show bitmaps only.
#pragma once

#include <ole2.h>
#include <olectl.h>
#include <windows.h>

#include <string>

#include "winlib/system/scoped.h"

class ComApartment;

class PictureDecoder {
 public:
  // The decoder of an apartment's libraries; Available() says whether it has them and the
  // apartment was entered.
  explicit PictureDecoder(const ComApartment& apartment);

  bool Available() const { return createStream_ != nullptr && loadPicture_ != nullptr; }

  // The decoded picture of a file, or none when the file cannot be read or holds no
  // picture, or the decoder is not available.
  ComPtr<IPicture> Decode(const std::string& path) const;

 private:
  using CreateStreamFunction = HRESULT(WINAPI*)(HGLOBAL, BOOL, LPSTREAM*);
  using LoadPictureFunction = HRESULT(WINAPI*)(LPSTREAM, LONG, BOOL, REFIID, LPVOID*);

  CreateStreamFunction createStream_ = nullptr;
  LoadPictureFunction loadPicture_ = nullptr;
};

// The decoder of the system's apartment, made at the first call and kept for the run.
const PictureDecoder& SystemPictureDecoder();
