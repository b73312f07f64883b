#include "tests/win/test_form.h"

#include <cstdio>

#include "winlib/system/exception.h"

namespace {
std::string NameOf(TObject* sender) {
  auto* component = dynamic_cast<TComponent*>(sender);
  return component != nullptr ? component->Name() : "?";
}
}  // namespace

TTestForm::TTestForm(TComponent* owner, const Layout& layout)
    : TForm(owner,
            FormClass{
                reinterpret_cast<const unsigned char*>("\x09TTestForm"), {&layout}, &Methods()}) {}

const MethodTable<TTestForm>& TTestForm::Methods() {
  static const MethodTable<TTestForm> table = [] {
    MethodTable<TTestForm> t;
    t.Publish("ControlClick", &TTestForm::ControlClick)
        .Publish("ControlMouseDown", &TTestForm::ControlMouseDown)
        .Publish("ControlMouseMove", &TTestForm::ControlMouseMove)
        .Publish("ControlMouseUp", &TTestForm::ControlMouseUp)
        .Publish("FormMouseMove", &TTestForm::FormMouseMove)
        .Publish("FormClose", &TTestForm::FormClose)
        .Publish("CloseClick", &TTestForm::CloseClick)
        .Publish("ThrowClick", &TTestForm::ThrowClick);
    return t;
  }();
  return table;
}

void TTestForm::ControlClick(TObject* sender) {
  events.push_back(NameOf(sender) + ".Click");
}

void TTestForm::ControlMouseDown(TObject* sender, TMouseButton button, TShiftState, int x, int y) {
  events.push_back(NameOf(sender) + ".Down" + (button == mbLeft ? "L" : "R") + "(" +
                   std::to_string(x) + "," + std::to_string(y) + ")");
}

void TTestForm::ControlMouseMove(TObject* sender, TShiftState, int x, int y) {
  events.push_back(NameOf(sender) + ".Move(" + std::to_string(x) + "," + std::to_string(y) + ")");
}

void TTestForm::ControlMouseUp(TObject* sender, TMouseButton, TShiftState, int x, int y) {
  events.push_back(NameOf(sender) + ".Up(" + std::to_string(x) + "," + std::to_string(y) + ")");
}

void TTestForm::FormMouseMove(TObject*, TShiftState, int x, int y) {
  events.push_back("Form.Move(" + std::to_string(x) + "," + std::to_string(y) + ")");
}

void TTestForm::FormClose(TObject*, TCloseAction& action) {
  events.push_back("Form.Close");
  action = closeAction;
}

void TTestForm::CloseClick(TObject*) {
  Close();
}

void TTestForm::ThrowClick(TObject*) {
  throw Exception("handler failed");
}

bool WriteSolidBitmap(const std::string& path, int width, int height, COLORREF color) {
  const int rowBytes = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(rowBytes * height);
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  std::fwrite(&file, sizeof file, 1, f);
  std::fwrite(&info, sizeof info, 1, f);
  std::string row(static_cast<std::size_t>(rowBytes), '\0');
  for (int x = 0; x < width; ++x) {
    row[x * 3] = static_cast<char>(GetBValue(color));
    row[x * 3 + 1] = static_cast<char>(GetGValue(color));
    row[x * 3 + 2] = static_cast<char>(GetRValue(color));
  }
  for (int y = 0; y < height; ++y) std::fwrite(row.data(), 1, row.size(), f);
  return std::fclose(f) == 0;
}
