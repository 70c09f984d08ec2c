#include "toolkit/Controls.h"

#include <windowsx.h>

#include <algorithm>
#include <set>

#include "toolkit/Forms.h"
#include "toolkit/Screen.h"

namespace {
const char kWrapperProp[] = "VocaletControl";
}

HINSTANCE ModuleInstance() { return GetModuleHandleA(nullptr); }

void RegisterOwnClass(const std::string& name, UINT style, HBRUSH background, WNDPROC proc) {
  static std::set<std::string> registered;
  if (registered.count(name)) return;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = ModuleInstance();
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name.c_str();
  wc.hIcon = LoadIconA(ModuleInstance(), "MAINICON");
  RegisterClassExA(&wc);
  registered.insert(name);
}

// --- TControl -----------------------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  // The hint timer must not reach a control that is gone.
  if (Application) Application->ControlDestroyed(this);
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_) parent_->RemoveControl(this);
  parent_ = parent;
  if (parent_) parent_->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  RECT old = bounds_;
  bounds_ = RECT{left, top, left + width, top + height};
  if (EqualRect(&old, &bounds_)) return;
  if (parent_ && parent_->HandleAllocated()) {
    InvalidateRect(parent_->Handle(), &old, TRUE);
    Invalidate();
  }
  BoundsChanged();
}

void TControl::SetVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  if (parent_ && parent_->HandleAllocated()) InvalidateRect(parent_->Handle(), &bounds_, TRUE);
}

void TControl::SetEnabled(bool v) {
  if (enabled_ == v) return;
  enabled_ = v;
  Invalidate();
}

void TControl::SetCaption(const std::string& text) {
  if (caption_ == text) return;
  caption_ = text;
  Invalidate();
}

void TControl::Invalidate() {
  if (parent_) parent_->InvalidateChild(this);
}

void TControl::Repaint() {
  Invalidate();
  if (parent_ && parent_->HandleAllocated()) UpdateWindow(parent_->Handle());
}

void TControl::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, b, s, x, y);
}
void TControl::MouseMove(TShiftState s, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, s, x, y);
}
void TControl::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, b, s, x, y);
}
void TControl::Click() {
  if (OnClick) OnClick(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

POINT TControl::ClientToScreen(POINT p) const {
  if (auto* self = dynamic_cast<const TWinControl*>(this); self && self->HandleAllocated()) {
    ::ClientToScreen(const_cast<TWinControl*>(self)->Handle(), &p);
    return p;
  }
  if (!parent_) return p;
  return parent_->ClientToScreen(POINT{p.x + Left(), p.y + Top()});
}

POINT TControl::ScreenToClient(POINT p) const {
  if (auto* self = dynamic_cast<const TWinControl*>(this); self && self->HandleAllocated()) {
    ::ScreenToClient(const_cast<TWinControl*>(self)->Handle(), &p);
    return p;
  }
  if (!parent_) return p;
  POINT q = parent_->ScreenToClient(p);
  return POINT{q.x - Left(), q.y - Top()};
}

// --- TGraphicControl ---------------------------------------------------------------------

void TGraphicControl::DrawNow(const std::function<void(TCanvas&)>& draw) {
  if (DrawTarget) {
    int saved = SaveDC(DrawTarget);
    IntersectClipRect(DrawTarget, 0, 0, Width(), Height());
    {
      TCanvas canvas(DrawTarget);
      draw(canvas);
    }
    RestoreDC(DrawTarget, saved);
    return;
  }
  if (!visible_ || !parent_ || !parent_->HandleAllocated()) return;
  HWND wnd = parent_->Handle();
  HDC dc = GetDC(wnd);
  if (!dc) return;
  SetViewportOrgEx(dc, bounds_.left, bounds_.top, nullptr);
  IntersectClipRect(dc, 0, 0, Width(), Height());
  {
    TCanvas canvas(dc);
    draw(canvas);
  }
  ReleaseDC(wnd, dc);
}

// --- TWinControl --------------------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  for (TControl* c : std::vector<TControl*>(children_)) RemoveControl(c);
  DestroyHandle();
}

void TWinControl::InsertControl(TControl* child) {
  children_.push_back(child);
  if (HandleAllocated()) {
    if (auto* w = dynamic_cast<TWinControl*>(child)) w->Handle();
    InvalidateChild(child);
  }
}

void TWinControl::RemoveControl(TControl* child) {
  auto it = std::find(children_.begin(), children_.end(), child);
  if (it == children_.end()) return;
  children_.erase(it);
  if (captured_ == child) captured_ = nullptr;
  if (hovered_ == child) hovered_ = nullptr;
  if (auto* w = dynamic_cast<TWinControl*>(child)) w->DestroyHandle();
  if (HandleAllocated()) {
    RECT r = child->BoundsRect();
    InvalidateRect(hwnd_, &r, TRUE);
  }
  // The child forgets us without calling back.
  struct Access : TControl {
    static void Clear(TControl* c) { static_cast<Access*>(c)->parent_ = nullptr; }
  };
  Access::Clear(child);
}

void TWinControl::InvalidateChild(TControl* child) {
  if (!HandleAllocated()) return;
  RECT r = child->BoundsRect();
  InvalidateRect(hwnd_, &r, FALSE);
}

TGraphicControl* TWinControl::GraphicChildAt(int x, int y) const {
  for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
    auto* g = dynamic_cast<TGraphicControl*>(*it);
    if (!g || !g->Visible()) continue;
    RECT r = g->BoundsRect();
    POINT p{x, y};
    if (PtInRect(&r, p)) return g;
  }
  return nullptr;
}

void TWinControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  DestroyHandle();
  TControl::SetParent(parent);
  if (parent && parent->HandleAllocated()) Handle();
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.ClassName = "VocaletWindow";
  p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (visible_) p.Style |= WS_VISIBLE;
  if (!enabled_) p.Style |= WS_DISABLED;
  if (parent_) p.ParentWnd = parent_->Handle();
}

HWND TWinControl::Handle() {
  if (!hwnd_) CreateHandle();
  return hwnd_;
}

void TWinControl::CreateHandle() {
  TCreateParams p;
  CreateParams(p);
  if (p.OwnClass) RegisterOwnClass(p.ClassName, p.ClassStyle, p.Background, StaticWndProc);
  HWND h = CreateWindowExA(p.ExStyle, p.ClassName.c_str(), caption_.c_str(), p.Style,
                           bounds_.left, bounds_.top, Width(), Height(), p.ParentWnd, nullptr,
                           ModuleInstance(), this);
  if (!h) return;
  if (!p.OwnClass) {
    hwnd_ = h;
    SetPropA(h, kWrapperProp, this);
    oldProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWndProc)));
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  }
  hwnd_ = h;
  for (TControl* c : children_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->Handle();
  HandleCreated();
}

void TWinControl::DestroyHandle() {
  if (!hwnd_) return;
  for (TControl* c : children_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  HWND h = hwnd_;
  DestroyWindow(h);
  hwnd_ = nullptr;
}

TWinControl* TWinControl::FromHandle(HWND hwnd) {
  if (!hwnd) return nullptr;
  return static_cast<TWinControl*>(GetPropA(hwnd, kWrapperProp));
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
  bounds_ = RECT{left, top, left + width, top + height};
  if (hwnd_) SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  BoundsChanged();
}

void TWinControl::SetVisible(bool v) {
  visible_ = v;
  if (hwnd_) ShowWindow(hwnd_, v ? SW_SHOW : SW_HIDE);
}

void TWinControl::SetEnabled(bool v) {
  enabled_ = v;
  if (hwnd_) EnableWindow(hwnd_, v);
}

void TWinControl::SetCaption(const std::string& text) {
  caption_ = text;
  if (hwnd_) SetWindowTextA(hwnd_, text.c_str());
}

void TWinControl::Invalidate() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TWinControl::SetFocus() {
  if (hwnd_) ::SetFocus(hwnd_);
}

void TWinControl::PaintWindow(TCanvas& canvas) {
  canvas.SetBrushColor(Color);
  RECT r = ClientRect();
  if (hwnd_) GetClientRect(hwnd_, &r);
  canvas.FillRect(r);
}

void TWinControl::PaintControls(HDC dc) {
  for (TControl* c : children_) {
    auto* g = dynamic_cast<TGraphicControl*>(c);
    if (!g || !g->Visible()) continue;
    RECT r = g->BoundsRect();
    if (!RectVisible(dc, &r)) continue;
    int saved = SaveDC(dc);
    POINT org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x + r.left, org.y + r.top, nullptr);
    IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
    {
      TCanvas canvas(dc);
      g->Paint(canvas);
    }
    RestoreDC(dc, saved);
  }
}

TShiftState ShiftFromMouse(WPARAM wp) {
  TShiftState s = 0;
  if (wp & MK_SHIFT) s |= ssShift;
  if (wp & MK_CONTROL) s |= ssCtrl;
  if (wp & MK_LBUTTON) s |= ssLeft;
  if (wp & MK_RBUTTON) s |= ssRight;
  if (wp & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TShiftState ShiftFromKeyboard() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

static TShiftState ShiftOf(WPARAM wp) { return ShiftFromMouse(wp); }

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) {
  if (oldProc_) return CallWindowProcA(oldProc_, hwnd_, msg, wp, lp);
  return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      if (oldProc_) break;
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT cr;
      GetClientRect(hwnd_, &cr);
      // Paint into a memory picture first: meters and lamps repaint many times a second.
      HDC mem = CreateCompatibleDC(dc);
      HBITMAP bmp = CreateCompatibleBitmap(dc, std::max<LONG>(cr.right, 1), std::max<LONG>(cr.bottom, 1));
      HGDIOBJ old = SelectObject(mem, bmp);
      IntersectClipRect(mem, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
      {
        TCanvas canvas(mem);
        canvas.SetFont(Font);
        PaintWindow(canvas);
      }
      PaintControls(mem);
      BitBlt(dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right - ps.rcPaint.left,
             ps.rcPaint.bottom - ps.rcPaint.top, mem, ps.rcPaint.left, ps.rcPaint.top, SRCCOPY);
      SelectObject(mem, old);
      DeleteObject(bmp);
      DeleteDC(mem);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      if (!oldProc_) return 1;
      break;
    case WM_COMMAND:
      if (lp) {
        if (TWinControl* c = FromHandle(reinterpret_cast<HWND>(lp)); c && c != this)
          if (c->CommandNotify(HIWORD(wp), LOWORD(wp))) return 0;
      }
      break;
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      if (TWinControl* c = FromHandle(hdr->hwndFrom); c && c != this) {
        LRESULT result = 0;
        if (c->Notify(hdr, result)) return result;
      }
      break;
    }
    case WM_SIZE: {
      RECT wr;
      GetWindowRect(hwnd_, &wr);
      if (HWND p = GetParent(hwnd_)) MapWindowPoints(nullptr, p, reinterpret_cast<POINT*>(&wr), 2);
      bounds_ = wr;
      if (OnResize) OnResize(this);
      break;
    }
    case WM_SETCURSOR:
      if (HCURSOR screen = ScreenCursor(); screen && LOWORD(lp) == HTCLIENT) {
        ::SetCursor(screen);
        return TRUE;
      }
      if (LOWORD(lp) == HTCLIENT && reinterpret_cast<HWND>(wp) == hwnd_ && !oldProc_) {
        POINT p;
        GetCursorPos(&p);
        ::ScreenToClient(hwnd_, &p);
        TGraphicControl* g = captured_ ? captured_ : GraphicChildAt(p.x, p.y);
        HCURSOR c = g && g->Cursor ? g->Cursor : Cursor;
        ::SetCursor(c ? c : LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
      TMouseButton b = msg == WM_RBUTTONDOWN ? mbRight : msg == WM_MBUTTONDOWN ? mbMiddle : mbLeft;
      TGraphicControl* g = GraphicChildAt(x, y);
      if (g && !g->Enabled()) g = nullptr;
      if (g) {
        captured_ = g;
        SetCapture(hwnd_);
        if (msg == WM_LBUTTONDBLCLK) g->DblClick();
        g->MouseDown(b, ShiftOf(wp), x - g->Left(), y - g->Top());
        return 0;
      }
      if (msg == WM_LBUTTONDBLCLK) DblClick();
      MouseDown(b, ShiftOf(wp), x, y);
      if (oldProc_) break;
      return 0;
    }
    case WM_MOUSEMOVE: {
      int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
      TGraphicControl* g = captured_ ? captured_ : GraphicChildAt(x, y);
      hovered_ = g;
      if (Application) {
        Application->HintMouseMove(g ? static_cast<TControl*>(g) : this);
        TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd_, 0};
        TrackMouseEvent(&tme);
      }
      if (g) {
        g->MouseMove(ShiftOf(wp), x - g->Left(), y - g->Top());
        return 0;
      }
      MouseMove(ShiftOf(wp), x, y);
      if (oldProc_) break;
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
      TMouseButton b = msg == WM_RBUTTONUP ? mbRight : msg == WM_MBUTTONUP ? mbMiddle : mbLeft;
      if (TGraphicControl* g = captured_) {
        captured_ = nullptr;
        if (GetCapture() == hwnd_) ReleaseCapture();
        int cx = x - g->Left(), cy = y - g->Top();
        g->MouseUp(b, ShiftOf(wp), cx, cy);
        RECT r = g->ClientRect();
        if (b == mbLeft && PtInRect(&r, POINT{cx, cy})) g->Click();
        return 0;
      }
      MouseUp(b, ShiftOf(wp), x, y);
      if (oldProc_) break;
      RECT r;
      GetClientRect(hwnd_, &r);
      if (b == mbLeft && PtInRect(&r, POINT{x, y})) Click();
      return 0;
    }
    case WM_MOUSELEAVE:
      if (Application) Application->HintMouseMove(nullptr);
      break;
    case WM_CAPTURECHANGED:
      captured_ = nullptr;
      break;
    case WM_KEYDOWN:
      if (OnKeyDown) {
        WORD key = static_cast<WORD>(wp);
        OnKeyDown(this, key, ShiftFromKeyboard());
        if (key == 0) return 0;
      }
      break;
    default:
      break;
  }
  return DefaultHandler(msg, wp, lp);
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    if (cs->lpCreateParams) {
      auto* self = static_cast<TWinControl*>(cs->lpCreateParams);
      self->hwnd_ = hwnd;
      SetPropA(hwnd, kWrapperProp, self);
    }
  }
  TWinControl* self = FromHandle(hwnd);
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    RemovePropA(hwnd, kWrapperProp);
    WNDPROC old = self->oldProc_;
    self->hwnd_ = nullptr;
    self->oldProc_ = nullptr;
    return old ? CallWindowProcA(old, hwnd, msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
  }
  // Nothing throws through a window procedure: an error in a handler goes to the
  // application's error box and the window stays usable.
  try {
    return self->WndProc(msg, wp, lp);
  } catch (const std::exception& e) {
    Application->HandleException(&e);
  } catch (...) {
    Application->HandleException(nullptr);
  }
  return 0;
}
