// A Win32 list box, so that assistive tools and automation can read it.
#pragma once

#include <string>

#include "winlib/controls/win_control.h"

class TListBox : public TWinControl {
 public:
  // A list takes the focus by Tab.
  explicit TListBox(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }
  const unsigned char* ClassName() const override;

  // The entries, as the list box holds them.
  class TItems {
   public:
    explicit TItems(TListBox& box) : box_(box) {}
    int Add(const std::string& text);
    int Count() const;
    std::string Strings(int index) const;

   private:
    TListBox& box_;
  };
  TItems& Items() { return items_; }

  // The selected entry, or -1.
  int ItemIndex() const;
  void SetItemIndex(int index);
  void SetItemHeight(int height);

  void SetParent(TWinControl* parent) override;
  void FontChanged() override;
  bool SetProperty(const std::string& name, const std::string& value) override;

 private:
  TItems items_{*this};
  int itemHeight_ = 13;
};
