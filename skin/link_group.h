// Link labels of a skinned window: underlined under the pointer, running their link command
// (held in HelpKeyword) when pressed.
#pragma once

#include <string>

class TControl;

class CLinkGroup {
 public:
  void LinkMouseMove(TControl* label);
  void LinkMouseDown(TControl* label);
  void LinkMouseUp(TControl* label);
  // The pointer left the links: the underlined one becomes plain.
  void ClearHoveredLink();

  void SetHelpFile(const std::string& helpFile) { helpFile_ = helpFile; }
  TControl* HoveredLink() const { return hovered_; }

 private:
  TControl* hovered_ = nullptr;  // not owned
  std::string helpFile_;
};
