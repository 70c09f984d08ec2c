// The ordinary controls: labels, images, paint boxes, bevels, speed buttons (windowless);
// panels, notebooks, buttons, check boxes and radio buttons (with windows).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  void Paint(TCanvas& canvas) override;
  void SetCaption(const std::string& text) override;
  bool Transparent = false;
  bool AutoSize = true;
  bool WordWrap = false;
  // "&x" underlines x and "&&" shows one ampersand, as in captions of buttons.
  bool ShowAccelChar = false;
  TAlignment Alignment = taLeftJustify;
  // Width and height of the caption in the label's font.
  SIZE TextSize() const;
  void AdjustSize();
};

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  void Paint(TCanvas& canvas) override;
  TBitmap& Picture() { return picture_; }
  bool Stretch = false;
  bool Center = false;
  // The picture and, when AutoSize is set, the control's size follow the resource.
  bool LoadFromResource(const std::string& name);
  bool AutoSize = false;
  // An icon shown instead of the picture, drawn to the control's size; not owned.
  HICON Icon = nullptr;

 private:
  TBitmap picture_;
};

class TPaintBox : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  std::function<void(TComponent* sender, TCanvas& canvas)> OnPaint;
  void Paint(TCanvas& canvas) override {
    if (OnPaint) OnPaint(this, canvas);
  }
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  TBevelShape Shape = bsBox;
  TBevelStyle Style = bsLowered;
  void Paint(TCanvas& canvas) override;
};

class TSpeedButton : public TGraphicControl {
 public:
  explicit TSpeedButton(TComponent* owner);
  void Paint(TCanvas& canvas) override;
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
  void MouseMove(TShiftState s, int x, int y) override;
  void MouseUp(TMouseButton b, TShiftState s, int x, int y) override;
  void Click() override;

  bool Flat = false;
  int GroupIndex = 0;
  bool AllowAllUp = false;
  bool Down() const { return down_; }
  void SetDown(bool down);
  TBitmap& Glyph() { return glyph_; }
  // Glyph and caption side by side (the glyph left) or stacked (the glyph on top).
  bool GlyphOnTop = false;

 private:
  TBitmap glyph_;
  bool down_ = false;
  bool pressed_ = false;
  bool inside_ = false;
};

enum TPanelBevel { bvNone, bvLowered, bvRaised };

class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner);
  TPanelBevel BevelOuter = bvRaised;
  TAlignment Alignment = taCenter;
  bool ShowCaption = true;

 protected:
  void PaintWindow(TCanvas& canvas) override;
};

// A stack of pages of which one is visible.
class TNotebook : public TWinControl {
 public:
  explicit TNotebook(TComponent* owner);
  TPanel* AddPage(const std::string& name);
  TPanel* Page(size_t i) const { return pages_.at(i); }
  size_t PageCount() const { return pages_.size(); }
  int PageIndex() const { return pageIndex_; }
  void SetPageIndex(int index);

 protected:
  void BoundsChanged() override;

 private:
  std::vector<TPanel*> pages_;
  int pageIndex_ = -1;
};

// Controls of the system's BUTTON class.
class TButtonControl : public TWinControl {
 public:
  using TWinControl::TWinControl;
  bool Checked();
  void SetChecked(bool checked);
  TNotifyEvent OnChange;  // the check state changed by the user

 protected:
  void CreateParams(TCreateParams& params) override;
  bool CommandNotify(WORD code, WORD id) override;
  void HandleCreated() override;
  virtual DWORD ButtonStyle() const = 0;
  bool checked_ = false;
};

class TButton : public TButtonControl {
 public:
  using TButtonControl::TButtonControl;
  int ModalResult = 0;  // closes its modal form with this result when clicked
  bool Default = false;
  bool Cancel = false;
  void Click() override;

 protected:
  DWORD ButtonStyle() const override { return Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON; }
};

class TCheckBox : public TButtonControl {
 public:
  using TButtonControl::TButtonControl;

 protected:
  DWORD ButtonStyle() const override { return BS_AUTOCHECKBOX; }
};

class TRadioButton : public TButtonControl {
 public:
  using TButtonControl::TButtonControl;

 protected:
  DWORD ButtonStyle() const override { return BS_AUTORADIOBUTTON; }
};

class TGroupBox : public TButtonControl {
 public:
  using TButtonControl::TButtonControl;

 protected:
  DWORD ButtonStyle() const override { return BS_GROUPBOX; }
  // The system's group box draws only its frame and caption; the inside is ours.
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// Screen size as the program sees it.
int ScreenWidth();
int ScreenHeight();
