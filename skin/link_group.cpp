#include "skin/link_group.h"

#include <windows.h>

#include "core/link_command.h"
#include "desktop/shell.h"
#include "winlib/controls/control.h"
#include "winlib/system/files.h"

namespace {

// Setting a style replaces the whole font style.
void SetLinkStyle(TControl* label, bool underlined) {
  label->Font().SetStyle(underlined ? TFontStyles{fsUnderline} : TFontStyles{0});
  label->FontChanged();
}

constexpr UINT kDisplayTopic = 0;  // HH_DISPLAY_TOPIC

}  // namespace

void CLinkGroup::LinkMouseMove(TControl* label) {
  if (label == hovered_) return;
  if (hovered_ != nullptr) SetLinkStyle(hovered_, false);
  hovered_ = label;
  SetLinkStyle(label, true);
}

void CLinkGroup::LinkMouseDown(TControl* label) {
  SetLinkStyle(label, false);
  const LinkCommand command =
      ParseLinkCommand(label->HelpKeyword(), helpFile_, FileExists("mailto.exe"));
  switch (command.kind) {
    case LinkCommand::kWeb:
      OpenWebAddress(command.argument);
      break;
    case LinkCommand::kHelp:
      ShowHtmlHelp(nullptr, command.argument.c_str(), kDisplayTopic, 0);
      break;
    case LinkCommand::kProgram:
    case LinkCommand::kMail:
      WinExec(command.argument.c_str(), SW_SHOWNORMAL);
      break;
    case LinkCommand::kNone:
      break;
  }
}

void CLinkGroup::LinkMouseUp(TControl* label) {
  SetLinkStyle(label, false);
}

void CLinkGroup::ClearHoveredLink() {
  if (hovered_ == nullptr) return;
  SetLinkStyle(hovered_, false);
  hovered_ = nullptr;
}
