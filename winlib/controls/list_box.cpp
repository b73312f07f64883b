#include "winlib/controls/list_box.h"

#include <vector>

#include "winlib/system/exception.h"

const unsigned char* TListBox::ClassName() const {
  static const unsigned char name[] = "\x08TListBox";
  return name;
}

int TListBox::TItems::Add(const std::string& text) {
  return static_cast<int>(
      SendMessageA(box_.Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

int TListBox::TItems::Count() const {
  return static_cast<int>(SendMessageA(box_.Handle(), LB_GETCOUNT, 0, 0));
}

std::string TListBox::TItems::Strings(int index) const {
  const LRESULT length = SendMessageA(box_.Handle(), LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(box_.Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return std::string(text.data());
}

int TListBox::ItemIndex() const {
  return static_cast<int>(SendMessageA(Handle(), LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index) {
  SendMessageA(Handle(), LB_SETCURSEL, index, 0);
}

void TListBox::SetItemHeight(int height) {
  itemHeight_ = height;
  if (Handle() != nullptr) SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, height);
}

void TListBox::SetParent(TWinControl* parent) {
  if (Handle() == nullptr && parent != nullptr && parent->Handle() != nullptr) {
    CreateHandle(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS |
                     LBS_NOINTEGRALHEIGHT,
                 WS_EX_CLIENTEDGE, parent->Handle(), "LISTBOX");
  }
  TWinControl::SetParent(parent);
  FontChanged();
}

void TListBox::FontChanged() {
  if (Handle() == nullptr) return;
  SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
  SendMessageA(Handle(), LB_SETITEMHEIGHT, 0, itemHeight_);
}

bool TListBox::SetProperty(const std::string& name, const std::string& value) {
  if (name == "ItemHeight") {
    SetItemHeight(IntFromText(name, value));
  } else if (name == "ExtendedSelect" || name == "MultiSelect") {
    // One entry at a time is all the list offers.
    if (BoolFromText(name, value)) throw ELayoutError(Name() + ": multiple selection");
  } else {
    return TWinControl::SetProperty(name, value);
  }
  return true;
}
