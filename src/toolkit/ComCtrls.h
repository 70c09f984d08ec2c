// The common-controls toolbar with its buttons.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "toolkit/Controls.h"

class TToolBar;

class TToolButton : public TComponent {
 public:
  TToolButton(TComponent* owner, TToolBar* bar, bool separator);
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& text);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  bool Visible() const { return visible_; }
  void SetVisible(bool on);
  int ImageIndex = -1;
  std::string Hint;
  TNotifyEvent OnClick;
  UINT Command() const { return command_; }
  bool IsSeparator() const { return separator_; }
  // Screen position of a point given in the button's own coordinates.
  POINT ClientToScreen(POINT p) const;
  RECT BoundsRect() const;

 private:
  friend class TToolBar;
  TToolBar* bar_;
  bool separator_;
  std::string caption_;
  bool enabled_ = true, visible_ = true;
  UINT command_;
};

class TToolBar : public TWinControl {
 public:
  explicit TToolBar(TComponent* owner);
  ~TToolBar() override;
  TToolButton* AddButton(const std::string& name, int imageIndex);
  TToolButton* AddSeparator(const std::string& name);
  const std::vector<TToolButton*>& Buttons() const { return buttons_; }
  // Image lists are not owned; the hot list may be the normal one.
  void SetImages(HIMAGELIST normal, HIMAGELIST disabled, HIMAGELIST hot);
  SIZE ButtonSize{54, 40};
  SIZE ImageSize{20, 20};
  bool ShowCaptions = true;
  bool Flat() const { return flat_; }
  void SetFlat(bool on);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool on);
  void UpdateButton(TToolButton* button);
  void Rebuild();

 protected:
  void CreateParams(TCreateParams& params) override;
  void HandleCreated() override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  bool CommandNotify(WORD code, WORD id) override;
  bool Notify(NMHDR* header, LRESULT& result) override;
  // WM_ERASEBKGND; true when the background was drawn. The default leaves it to the toolbar.
  virtual bool EraseBackground(HDC /*dc*/) { return false; }

 private:
  // The toolbar reads its look from the style it was created with.
  void Recreate();
  bool flat_ = false;
  bool transparent_ = false;
  std::vector<TToolButton*> buttons_;
  HIMAGELIST normal_ = nullptr, disabled_ = nullptr, hot_ = nullptr;
};

// An image list filled from a strip picture in the resources, with a mask from a key colour.
HIMAGELIST ImageListFromResource(const std::string& name, int width, COLORREF mask);
