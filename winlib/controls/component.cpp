#include "winlib/controls/component.h"

#include <algorithm>

TComponent::TComponent(TComponent* owner) : owner_(owner) {
  if (owner_ != nullptr) owner_->InsertComponent(this);
}

TComponent::~TComponent() {
  while (!components_.empty()) delete components_.back();  // each removes itself
  if (owner_ != nullptr) owner_->RemoveComponent(this);
}

const unsigned char* TComponent::ClassName() const {
  static const unsigned char name[] = "\x0aTComponent";
  return name;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  for (TComponent* c : components_) {
    if (c->Name() == name) return c;
  }
  return nullptr;
}

void TComponent::RemoveComponent(TComponent* component) {
  components_.erase(std::remove(components_.begin(), components_.end(), component),
                    components_.end());
}
