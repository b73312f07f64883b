// The controls room on its own: a label painted on a bare window, linked without the
// application room, in the colours of the high-contrast setting and of its state.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/win/bare_window.h"
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
