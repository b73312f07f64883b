#include "skin/button_group.h"

#include "winlib/controls/image.h"
#include "winlib/system/files.h"

void CButtonGroup::AddButton(TImage* button) {
  buttons_.push_back(button);
  homes_.push_back(POINT{button->Left(), button->Top()});
}

std::string CButtonGroup::FindSkinImage(const std::string& stem) const {
  for (const std::string* folder : {&formFolder_, &commonFolder_}) {
    for (const char* extension : {".gif", ".jpg", ".bmp"}) {
      const std::string path = *folder + stem + extension;
      if (FileExists(path)) return path;
    }
  }
  return std::string();
}

void CButtonGroup::ButtonMouseMove(TImage* button) {
  if (button == hovered_) return;  // moving over the hovered button costs nothing
  RestoreHovered();
  hovered_ = button;
  const std::string path = FindSkinImage(button->Name() + "-a");
  if (!path.empty()) button->LoadFromFile(path);
}

void CButtonGroup::ButtonMouseDown(TImage* button) {
  const std::string path = FindSkinImage(button->Name() + "-p");
  if (!path.empty()) {
    button->LoadFromFile(path);
  } else {
    button->SetLeft(button->Left() + 1);
    button->SetTop(button->Top() + 1);
  }
}

void CButtonGroup::ButtonMouseUp(TImage* button) {
  if (FindSkinImage(button->Name() + "-p").empty()) {
    const int i = IndexOfButton(button);
    if (i >= 0) {
      button->SetLeft(homes_[static_cast<std::size_t>(i)].x);
      button->SetTop(homes_[static_cast<std::size_t>(i)].y);
    }
  }
  const std::string path = FindSkinImage(button->Name());
  if (!path.empty()) button->LoadFromFile(path);
}

void CButtonGroup::RestoreHovered() {
  if (hovered_ == nullptr) return;
  const std::string stem = hovered_->Enabled() ? hovered_->Name() : hovered_->Name() + "-d";
  const std::string path = FindSkinImage(stem);
  // A picture that fails to load leaves the button hovered.
  if (!path.empty()) hovered_->LoadFromFile(path);
  hovered_ = nullptr;
}

int CButtonGroup::IndexOfButton(const TImage* button) const {
  for (std::size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i] == button) return static_cast<int>(i);
  }
  return -1;
}

void CButtonGroup::SetFolders(const std::string& formFolder, const std::string& commonFolder) {
  formFolder_ = formFolder;
  commonFolder_ = commonFolder;
}
