// Shrinking a real form's controls and fonts on a large-font desktop.
#include "desktop/large_fonts.h"

#include <gtest/gtest.h>

#include "core/large_font_math.h"
#include "tests/win/test_form.h"
#include "winlib/application/application.h"
#include "winlib/controls/image.h"
#include "winlib/controls/label.h"
#include "winlib/controls/list_box.h"
#include "winlib/controls/panel.h"

namespace {
const Layout& FontLayout() {
  static const Layout layout = {
      "FontForm",
      {{"BorderStyle", "bsNone"}, {"ClientWidth", "400"}, {"ClientHeight", "300"}},
      {{"Text",
        "TLabel",
        "",
        {{"Left", "40"},
         {"Top", "85"},
         {"Width", "130"},
         {"Height", "60"},
         {"AutoSize", "False"},
         {"Font.Height", "-12"}}},
       {"Zero",
        "TLabel",
        "",
        {{"Left", "0"},
         {"Top", "0"},
         {"Width", "10"},
         {"Height", "10"},
         {"AutoSize", "False"},
         {"Font.Height", "0"}}},
       {"Picture",
        "TImage",
        "",
        {{"Left", "164"}, {"Top", "340"}, {"Width", "75"}, {"Height", "22"}}},
       {"Box", "TPanel", "", {{"Left", "9"}, {"Top", "29"}, {"Width", "504"}, {"Height", "43"}}},
       {"Inner",
        "TLabel",
        "Box",
        {{"Left", "64"},
         {"Top", "17"},
         {"Width", "257"},
         {"Height", "16"},
         {"AutoSize", "False"},
         {"Font.Height", "-12"}}},
       {"List",
        "TListBox",
        "",
        {{"Left", "80"}, {"Top", "194"}, {"Width", "353"}, {"Height", "126"}}}}};
  return layout;
}
}  // namespace

TEST(LargeFonts, NormalDesktopIsLeftAlone) {
  EXPECT_FALSE(IsLargeFontDesktop());
  EXPECT_DOUBLE_EQ(DesktopFontScale(), 1.0);
  TApplication app;
  TTestForm* form = nullptr;
  app.CreateForm(form, FontLayout());
  AdjustForLargeFonts(form, true);
  EXPECT_EQ(form->Width(), 400);
  EXPECT_EQ(form->Find<TLabel>("Text")->Width(), 130);
  // A large system font where the system reports 96 pixels per inch (a stretched program):
  // the layout was not scaled up, so nothing shrinks; at 120 it does.
  const struct {
    int fontHeight, pixelsPerInch, width;
  } rows[] = {{20, 96, 400}, {16, 120, 400}, {20, 120, 325}};
  for (const auto& row : rows) {
    TTestForm* adjusted = nullptr;
    app.CreateForm(adjusted, FontLayout());
    AdjustForLargeFontsOn(adjusted, true, row.fontHeight, row.pixelsPerInch);
    EXPECT_EQ(adjusted->Width(), row.width) << row.fontHeight << " at " << row.pixelsPerInch;
  }
}

TEST(LargeFonts, TwentyPixelFontShrinksBoundsAndFonts) {
  TApplication app;
  TTestForm* form = nullptr;
  app.CreateForm(form, FontLayout());
  AdjustForLargeFontsBy(form, true, LargeFontDivisor(FontScaleForHeight(20)));

  EXPECT_EQ(form->Width(), 325);
  EXPECT_EQ(form->Height(), 243);
  TLabel* text = form->Find<TLabel>("Text");
  EXPECT_EQ(text->Left(), 32);
  EXPECT_EQ(text->Top(), 69);
  EXPECT_EQ(text->Width(), 105);
  EXPECT_EQ(text->Height(), 48);
  EXPECT_EQ(text->Font().Size(), 7);
  EXPECT_EQ(form->Find<TLabel>("Zero")->Font().Size(), -1);
  // Pictures get bounds only; containers pass the adjustment to their own controls.
  TImage* picture = form->Find<TImage>("Picture");
  EXPECT_EQ(picture->Width(), 60);
  EXPECT_EQ(picture->Font().Height(), -11);
  TPanel* box = form->Find<TPanel>("Box");
  EXPECT_EQ(box->Width(), 409);
  TLabel* inner = form->Find<TLabel>("Inner");
  EXPECT_EQ(inner->Left(), 52);
  EXPECT_EQ(inner->Width(), 208);
  EXPECT_EQ(inner->Font().Size(), 7);
  TListBox* list = form->Find<TListBox>("List");
  EXPECT_EQ(list->Font().Size(), 6);  // the window font, 8 points
  RECT r;
  GetWindowRect(list->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 286);
}
