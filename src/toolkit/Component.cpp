#include "toolkit/Component.h"

#include <algorithm>

TComponent::~TComponent() {
  // Last created first, so that a component never outlives one it was built on.
  while (!components_.empty()) {
    std::unique_ptr<TComponent> last = std::move(components_.back());
    components_.pop_back();
    last.reset();
  }
}

void TComponent::FreeComponent(TComponent* component) {
  auto it = std::find_if(components_.begin(), components_.end(),
                         [component](const auto& p) { return p.get() == component; });
  if (it == components_.end()) return;
  std::unique_ptr<TComponent> victim = std::move(*it);
  components_.erase(it);
}
