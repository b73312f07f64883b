#include "core/display_text.h"

#ifdef _WIN32

std::string DisplayText(const std::string& gbk) {
  return gbk;
}

#else

#include <iconv.h>

#include <cerrno>

std::string DisplayText(const std::string& gbk) {
  iconv_t cd = iconv_open("UTF-8", "GBK");
  if (cd == reinterpret_cast<iconv_t>(-1)) return gbk;
  std::string out;
  char buffer[256];
  char* in = const_cast<char*>(gbk.data());
  std::size_t inLeft = gbk.size();
  while (inLeft > 0) {
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
      out.push_back('?');  // not a GBK character: show it and go on with the next byte
      ++in;
      --inLeft;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return out;
}

#endif
