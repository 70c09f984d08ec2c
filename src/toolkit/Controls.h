// Controls: TControl (bounds, visibility, caption, hint, mouse events), TWinControl (a
// control with a window of its own) and TGraphicControl (windowless, painted by its parent).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/Graphics.h"

class TControl;
class TWinControl;

using TNotifyEvent = std::function<void(TComponent* sender)>;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TShiftState = unsigned;
enum : TShiftState { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
// The shift state of a mouse message's wParam, or of the keyboard now.
TShiftState ShiftFromMouse(WPARAM wp);
TShiftState ShiftFromKeyboard();
using TMouseEvent =
    std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;
using TKeyEvent = std::function<void(TComponent* sender, WORD& key, TShiftState shift)>;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return bounds_.left; }
  int Top() const { return bounds_.top; }
  int Width() const { return bounds_.right - bounds_.left; }
  int Height() const { return bounds_.bottom - bounds_.top; }
  RECT BoundsRect() const { return bounds_; }
  virtual void SetBounds(int left, int top, int width, int height);
  void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
  void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
  void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
  void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
  RECT ClientRect() const { return RECT{0, 0, Width(), Height()}; }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool v);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool v);
  const std::string& Caption() const { return caption_; }
  virtual void SetCaption(const std::string& text);
  std::string Hint;
  bool ShowHint = false;
  HCURSOR Cursor = nullptr;  // null: the arrow
  TColor Color = clBtnFace;
  // Drawn in the parent's colour instead of Color, so that a window's colour change reaches
  // the panels that only repeat it.
  bool ParentColor = false;
  // The colour the control is drawn in: Color, or the parent's when ParentColor is set.
  TColor ShownColor() const;
  TFontSpec Font;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

  virtual void Invalidate();
  void Repaint();
  // Mouse input in client coordinates of this control; the defaults raise the events.
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Click();
  virtual void DblClick();
  // Screen <-> client coordinates of this control.
  POINT ClientToScreen(POINT p) const;
  POINT ScreenToClient(POINT p) const;

 protected:
  virtual void BoundsChanged() {}
  RECT bounds_{0, 0, 0, 0};
  bool visible_ = true;
  bool enabled_ = true;
  std::string caption_;
  TWinControl* parent_ = nullptr;
};

class TGraphicControl : public TControl {
 public:
  using TControl::TControl;
  // Paints in the control's own coordinates: (0,0) is its top-left corner.
  virtual void Paint(TCanvas& canvas) = 0;

  // Draws at once, outside the parent's repaint, for a control that changes a few pixels
  // many times a second. `draw` gets a canvas in the control's coordinates, clipped to it:
  // on DrawTarget when one is set, else on the parent's window while the control is visible.
  void DrawNow(const std::function<void(TCanvas&)>& draw);
  // A device context in this control's coordinates that takes the direct drawing in place of
  // the parent's window (an off-screen picture of the control).
  HDC DrawTarget = nullptr;
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  HWND Handle();  // creates the window on first use
  bool HandleAllocated() const { return hwnd_ != nullptr; }
  void SetParent(TWinControl* parent) override;
  void SetBounds(int left, int top, int width, int height) override;
  void SetVisible(bool v) override;
  void SetEnabled(bool v) override;
  void SetCaption(const std::string& text) override;
  void Invalidate() override;
  void SetFocus();

  const std::vector<TControl*>& Controls() const { return children_; }
  void InsertControl(TControl* child);
  void RemoveControl(TControl* child);
  void InvalidateChild(TControl* child);
  // The graphic child under a client point, topmost first; null when none.
  TGraphicControl* GraphicChildAt(int x, int y) const;

  TKeyEvent OnKeyDown;
  TNotifyEvent OnResize;

  // The wrapper bound to a window of ours; null for foreign windows.
  static TWinControl* FromHandle(HWND hwnd);

 protected:
  struct TCreateParams {
    std::string ClassName;
    DWORD Style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD ExStyle = 0;
    UINT ClassStyle = CS_DBLCLKS;
    HWND ParentWnd = nullptr;
    HBRUSH Background = nullptr;
    bool OwnClass = true;  // false: a system class (button, toolbar...) is subclassed
  };
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateHandle();
  virtual void DestroyHandle();
  // Messages of this window; the default paints graphic children, routes mouse input to
  // them and reflects WM_COMMAND/WM_NOTIFY to the child wrappers.
  virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
  LRESULT DefaultHandler(UINT msg, WPARAM wp, LPARAM lp);
  // Background and own drawing before graphic children are painted.
  virtual void PaintWindow(TCanvas& canvas);
  virtual void PaintControls(HDC dc);
  // WM_COMMAND / WM_NOTIFY sent by the parent for this control; true when handled.
  virtual bool CommandNotify(WORD /*code*/, WORD /*id*/) { return false; }
  virtual bool Notify(NMHDR* /*header*/, LRESULT& /*result*/) { return false; }
  virtual void HandleCreated() {}

  HWND hwnd_ = nullptr;
  WNDPROC oldProc_ = nullptr;

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  friend class TApplication;
  std::vector<TControl*> children_;
  TGraphicControl* captured_ = nullptr;
  TGraphicControl* hovered_ = nullptr;
};

// Registers a window class of ours once per process.
void RegisterOwnClass(const std::string& name, UINT style, HBRUSH background, WNDPROC proc);
HINSTANCE ModuleInstance();
