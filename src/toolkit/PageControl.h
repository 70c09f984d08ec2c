// Pages behind tabs, over the system's tab control: each tab sheet is a plain window
// that holds the page's controls; only the selected one is visible.
#pragma once

#include <string>
#include <vector>

#include "toolkit/Controls.h"

class TPageControl;

class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* owner);
  TPageControl* PageControl() const { return pageControl_; }
  // The caption is the tab's text.
  void SetCaption(const std::string& text) override;
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
};

class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* owner);
  // A new sheet, owned by the page control's owner.
  TTabSheet* AddPage(const std::string& caption);
  size_t PageCount() const { return pages_.size(); }
  TTabSheet* Page(size_t i) const { return pages_.at(i); }
  TTabSheet* ActivePage() const { return active_; }
  void SetActivePage(TTabSheet* page);
  // The sheets' area inside the tab control, in its client coordinates.
  RECT DisplayRect();

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  void BoundsChanged() override;
  bool Notify(NMHDR* header, LRESULT& result) override;

 private:
  friend class TTabSheet;
  void RebuildTabs();
  void PlaceSheets();
  std::vector<TTabSheet*> pages_;
  TTabSheet* active_ = nullptr;
};
