// The root of our window layer: a component has an owner that frees it, a name and a tag.
#pragma once

#include <memory>
#include <string>
#include <vector>

class TComponent {
 public:
  explicit TComponent(TComponent* owner) : owner_(owner) {}
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  std::string Name;
  int Tag = 0;

  // Takes ownership of a component created with this one as owner; it is freed with this
  // one, the last inserted first.
  template <typename T>
  T* Insert(std::unique_ptr<T> component) {
    T* raw = component.get();
    components_.push_back(std::move(component));
    return raw;
  }
  // Frees an owned component before its owner goes.
  void FreeComponent(TComponent* component);
  size_t ComponentCount() const { return components_.size(); }
  TComponent* Components(size_t i) const { return components_[i].get(); }

 private:
  TComponent* owner_;
  std::vector<std::unique_ptr<TComponent>> components_;
};

// Creates a component owned by `owner` (which frees it) and returns it.
template <typename T, typename... Args>
T* Make(TComponent* owner, Args&&... args) {
  return owner->Insert(std::make_unique<T>(owner, std::forward<Args>(args)...));
}
