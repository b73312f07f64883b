// Components: named objects with an owner that destroys them.
#pragma once

#include <string>
#include <vector>

#include "winlib/controls/events.h"

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  // The class name as a length-prefixed short string.
  virtual const unsigned char* ClassName() const;

  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }
  TComponent* Owner() const { return owner_; }

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_[index]; }
  TComponent* FindComponent(const std::string& name) const;

 private:
  void InsertComponent(TComponent* component) { components_.push_back(component); }
  void RemoveComponent(TComponent* component);

  TComponent* owner_;                    // not owned
  std::vector<TComponent*> components_;  // owned, destroyed last-created first
  std::string name_;
};
