// A windowless picture control.
#pragma once

#include "winlib/controls/control.h"
#include "winlib/graphics/picture.h"

class TImage : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  const unsigned char* ClassName() const override;

  // The picture; call PictureChanged after loading into it directly.
  TPicture& Picture() { return picture_; }
  void PictureChanged();
  // Loads a file into the picture and shows it; throws EInvalidGraphic for a bad file.
  void LoadFromFile(const std::string& path);

  void SetAutoSize(bool autoSize);

  void SetBounds(int left, int top, int width, int height) override;
  void Paint(HDC dc) override;
  // A picture with a click is a button, named by its hint (the text it shows); any other
  // only decorates.
  TAccessibleRole AccessibleRole() const override { return OnClick ? arButton : arNone; }
  std::string DefaultAccessibleName() const override { return Hint(); }
  bool SetProperty(const std::string& name, const std::string& value) override;

 private:
  TPicture picture_;
  bool autoSize_ = false;
};
