// The controls room on its own, linked without the application room: a label and pictures
// painted on a bare window, in the colours of the high-contrast setting and of their state.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/win/bare_window.h"
#include "tests/win/robot.h"
#include "winlib/controls/image.h"
#include "winlib/controls/label.h"
#include "winlib/graphics/high_contrast.h"

TEST(LabelPaint, DrawsItsCaptionInTheColoursOfTheSettingAndItsState) {
  TBareWindow window(120, 40);
  window.SetColor(clCream);
  TLabel label(nullptr);
  label.SetParent(&window);
  label.Font().SetHeight(-24);
  label.Font().SetStyle(fsBold);
  label.Font().SetColor(clRed);
  label.SetCaption("WWW");
  ASSERT_GT(label.Width(), 20);

  const COLORREF cream = ColorToRGB(clCream), red = ColorToRGB(clRed);
  const COLORREF window_ = GetSysColor(COLOR_WINDOW), text = GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF link = GetSysColor(COLOR_HOTLIGHT), gray = GetSysColor(COLOR_GRAYTEXT);
  const struct {
    bool highContrast, isLink, enabled;
    COLORREF ink, back;
  } rows[] = {
      {false, false, true, red, cream},   {false, true, true, red, cream},
      {true, false, true, text, window_}, {true, true, true, link, window_},
      {false, false, false, gray, cream}, {true, true, false, gray, window_},
  };
  for (const auto& row : rows) {
    const HighContrastOverride setting(row.highContrast);
    label.OnClick = row.isLink ? TNotifyEvent([](TObject*) {}) : nullptr;
    label.SetEnabled(row.enabled);
    const std::vector<COLORREF> pixels = window.Painted();
    const auto inked = std::count(pixels.begin(), pixels.end(), row.ink);
    EXPECT_GT(inked, 20) << row.highContrast << row.isLink << row.enabled;
    EXPECT_EQ(pixels[static_cast<std::size_t>(label.Width() - 1)], row.back)
        << row.highContrast << row.isLink << row.enabled;
  }
}

TEST(ImagePaint, InHighContrastAButtonIsAPlainButtonAndAPictureThatDecoratesIsLeftOut) {
  TBareWindow window(120, 40);
  window.SetColor(clCream);
  TImage button(nullptr), decoration(nullptr);
  button.SetParent(&window);
  button.SetBounds(0, 0, 80, 30);
  button.SetHint("导入");
  button.OnClick = [](TObject*) {};
  decoration.SetParent(&window);
  decoration.SetBounds(90, 0, 21, 21);
  decoration.LoadFromFile(ProgramFolder() + "data\\c21.bmp");
  const auto count = [](const std::vector<COLORREF>& pixels, int from, int to, COLORREF color) {
    long n = 0;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      const int x = static_cast<int>(i % 120);
      if (x >= from && x < to && pixels[i] == color) ++n;
    }
    return n;
  };
  const COLORREF picture = window.Painted()[95];
  ASSERT_NE(picture, GetSysColor(COLOR_WINDOW));
  for (const bool on : {true, false}) {
    const HighContrastOverride setting(on);
    const std::vector<COLORREF> pixels = window.Painted();
    // The button's face and its edge; nothing of the picture beside it.
    for (const int color : {COLOR_BTNFACE, COLOR_BTNSHADOW}) {
      EXPECT_EQ(count(pixels, 0, 80, GetSysColor(color)) > 5, on) << on << " " << color;
    }
    EXPECT_EQ(count(pixels, 90, 111, picture) > 20, !on) << on;
  }
}
