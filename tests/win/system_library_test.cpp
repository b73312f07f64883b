// System DLLs loaded at first use: from the system folder only, and the picture decoder
// that fails like any undecodable picture when its libraries are missing.
#include "winlib/system/system_library.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <utility>

#include "tests/win/robot.h"
#include "winlib/graphics/picture.h"
#include "winlib/graphics/picture_decoder.h"
#include "winlib/system/com_apartment.h"
#include "winlib/system/exception.h"

namespace {

// Paths compare without regard to case; these are ASCII.
std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string SystemFolder() {
  char folder[MAX_PATH] = "";
  GetSystemDirectoryA(folder, MAX_PATH);
  return Lower(folder);
}

std::string FolderOf(HMODULE module) {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(module, path, MAX_PATH);
  std::string text = Lower(path);
  return text.substr(0, text.find_last_of('\\'));
}

}  // namespace

TEST(SystemLibrary, ComesFromTheSystemFolderAndGivesItsFunctions) {
  const SystemLibrary library("comctl32.dll");
  ASSERT_TRUE(library.Loaded());
  EXPECT_EQ(FolderOf(library.Handle()), SystemFolder());
  EXPECT_NE(library.Get<FARPROC>("InitCommonControlsEx"), nullptr);
  EXPECT_EQ(library.Get<FARPROC>("NoSuchFunction"), nullptr);
}

TEST(SystemLibrary, IsNeverTakenFromBesideTheProgram) {
  // The plain name finds the DLL beside the program, as Windows' search order has it...
  const HMODULE planted = LoadLibraryA("planted.dll");
  ASSERT_NE(planted, nullptr);
  FreeLibrary(planted);
  // ...the system library does not.
  const SystemLibrary library("planted.dll");
  EXPECT_FALSE(library.Loaded());
  EXPECT_EQ(library.Get<FARPROC>("ZembraPlanted"), nullptr);
}

TEST(PictureDecoder, WithoutItsLibrariesPicturesAreInvalidGraphicsAndBitmapsStillLoad) {
  const std::string gif = ProgramFolder() + "data\\w13h7.gif";
  for (const auto& names : {std::pair<const char*, const char*>{"planted.dll", "oleaut32.dll"},
                            std::pair<const char*, const char*>{"ole32.dll", "planted.dll"}}) {
    const ComApartment apartment(names.first, names.second);
    const PictureDecoder missing(apartment);
    EXPECT_FALSE(missing.Available());
    EXPECT_FALSE(missing.Decode(gif));
    TPicture picture;
    EXPECT_THROW(picture.LoadFromFile(gif, &missing), EInvalidGraphic);
    EXPECT_TRUE(picture.Empty());
    picture.LoadFromFile(ProgramFolder() + "data\\c21.bmp", &missing);
    EXPECT_FALSE(picture.Empty());
  }
}

TEST(PictureDecoder, OfTheSystemDecodesFromTheSystemFolder) {
  const PictureDecoder& decoder = SystemPictureDecoder();
  ASSERT_TRUE(decoder.Available());
  TPicture picture;
  picture.LoadFromFile(ProgramFolder() + "data\\w14h9.jpg");
  EXPECT_EQ(picture.Width(), 14);
  for (const char* name : {"ole32.dll", "oleaut32.dll"}) {
    const HMODULE module = GetModuleHandleA(name);
    ASSERT_NE(module, nullptr) << name;
    EXPECT_EQ(FolderOf(module), SystemFolder()) << name;
  }
}
