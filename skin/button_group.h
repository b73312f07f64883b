// The image buttons of a skinned window: pictures per state from the skin folders, the
// one-pixel nudge of a button without a pressed picture, and the hovered button.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class TImage;

class CButtonGroup {
 public:
  // Registers a button with its current position as its home.
  void AddButton(TImage* button);
  // The first of the six skin paths of stem that names a file, or the empty text.
  std::string FindSkinImage(const std::string& stem) const;

  void ButtonMouseMove(TImage* button);
  void ButtonMouseDown(TImage* button);
  void ButtonMouseUp(TImage* button);
  // The pointer left the hovered button: its normal (or disabled) picture comes back.
  void RestoreHovered();
  int IndexOfButton(const TImage* button) const;

  void SetFolders(const std::string& formFolder, const std::string& commonFolder);
  const std::string& FormFolder() const { return formFolder_; }
  const std::string& CommonFolder() const { return commonFolder_; }
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  TImage* Button(int index) const { return buttons_[index]; }
  TImage* Hovered() const { return hovered_; }

 private:
  std::vector<TImage*> buttons_;  // not owned: the window owns its controls
  std::vector<POINT> homes_;      // each button's place when registered, by index
  std::string commonFolder_;
  std::string formFolder_;
  TImage* hovered_ = nullptr;
};
