#include "controls/Slider.h"

#include <algorithm>

#include "toolkit/Forms.h"
#include "toolkit/Screen.h"

TSlider::TSlider(TComponent* owner) : TWinControl(owner) {
  HolderCursor = LoadCursor(nullptr, IDC_HAND);
  Color = clBtnFace;
  TWinControl::SetBounds(0, 0, 150, 25);
  model_.OnChange = [this] {
    Redraw();
    if (OnChange) OnChange(this);
  };
}

void TSlider::SetBounds(int left, int top, int width, int height) {
  TWinControl::SetBounds(left, top, width, height);
  model_.SetSize(width, height);
}

void TSlider::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  Redraw();
}

void TSlider::SetTranspColor(TColor c) {
  if (c == transpColor_) return;
  transpColor_ = c;
  Redraw();
}

void TSlider::SetNumImages(int v) {
  model_.SetNumImages(v);
  Redraw();
}

void TSlider::SetImageIndex(int v) {
  model_.SetImageIndex(v);
  Redraw();
}

void TSlider::SetDisabledIndex(int v) {
  model_.SetDisabledIndex(v);
  Redraw();
}

void TSlider::SetPosition(int v) {
  model_.SetPosition(v);
  Redraw();
}

void TSlider::SetStyle(TSliderStyle s) {
  model_.SetStyle(s);
  Redraw();
}

void TSlider::SetHolderImage(TImage* image) {
  holderImage_ = image;
  const bool present = image && !image->Picture().Empty();
  model_.SetHolder(present, present ? image->Picture().Width() : 0,
                   present ? image->Picture().Height() : 0);
  Redraw();
}

void TSlider::SetBkgImage(TImage* image) {
  bkgImage_ = image;
  const bool present = image && !image->Picture().Empty();
  if (present) {
    TWinControl::SetBounds(Left(), Top(), image->Picture().Width(), image->Picture().Height());
  }
  model_.SetBackground(present, Width(), Height());
  Redraw();
}

void TSlider::SetEnabled(bool v) {
  TWinControl::SetEnabled(v);
  model_.SetEnabled(v);
  Redraw();
}

void TSlider::PaintTo(HDC dc) {
  RECT all = ClientRect();
  if (bkgImage_ && !bkgImage_->Picture().Empty()) {
    BitBlt(dc, 0, 0, bkgImage_->Picture().Width(), bkgImage_->Picture().Height(),
           bkgImage_->Picture().DC(), 0, 0, SRCCOPY);
  } else {
    TCanvas canvas(dc);
    canvas.SetBrushColor(Color);
    canvas.FillRect(all);
  }
  if (!model_.HasHolder() || !holderImage_) return;
  const TSliderRect s = model_.SourceRect();
  const TSliderRect& d = model_.HolderRect();
  const int w = s.Right - s.Left, h = s.Bottom - s.Top;
  if (w <= 0 || h <= 0) return;
  HDC src = holderImage_->Picture().DC();
  if (transparent_) {
    TransparentBlt(dc, d.Left, d.Top, w, h, src, s.Left, s.Top, w, h, ColorToRGB(transpColor_));
  } else {
    BitBlt(dc, d.Left, d.Top, w, h, src, s.Left, s.Top, SRCCOPY);
  }
}

void TSlider::Redraw() {
  if (!HandleAllocated()) return;
  const int w = std::max(Width(), 1), h = std::max(Height(), 1);
  // Composed off screen and copied once, so that a drag does not flicker.
  TBitmap buffer(w, h);
  PaintTo(buffer.DC());
  HDC dc = GetDC(hwnd_);
  BitBlt(dc, 0, 0, w, h, buffer.DC(), 0, 0, SRCCOPY);
  ReleaseDC(hwnd_, dc);
}

void TSlider::PaintWindow(TCanvas& canvas) { PaintTo(canvas.Handle()); }

static TSliderButton SliderButton(TMouseButton b) {
  return b == mbLeft ? sbLeft : b == mbRight ? sbRight : sbMiddle;
}

void TSlider::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TWinControl::MouseDown(button, shift, x, y);
  if (HandleAllocated()) SetCapture(hwnd_);
  model_.MouseDown(SliderButton(button), x, y, Hint);
  if (Application) Application->CancelHint();
}

void TSlider::MouseMove(TShiftState shift, int x, int y) {
  TWinControl::MouseMove(shift, x, y);
  model_.MouseMove(x, y);
}

void TSlider::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TWinControl::MouseUp(button, shift, x, y);
  if (HandleAllocated() && GetCapture() == hwnd_) ReleaseCapture();
  model_.MouseUp(Hint);
  Redraw();
}

LRESULT TSlider::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETCURSOR && reinterpret_cast<HWND>(wp) == hwnd_ && LOWORD(lp) == HTCLIENT) {
    if (HCURSOR screen = ScreenCursor()) {
      ::SetCursor(screen);
      return TRUE;
    }
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(hwnd_, &p);
    if (model_.HasHolder() && model_.HolderRect().Contains(p.x, p.y)) {
      ::SetCursor(HolderCursor);
      return TRUE;
    }
  }
  if (msg == WM_CAPTURECHANGED && reinterpret_cast<HWND>(lp) != hwnd_ && model_.Dragging()) {
    // Another window took the mouse (a menu, a dialog, a switch to another program): the
    // drag is over, or the holder would follow a pointer whose button is up.
    model_.MouseUp(Hint);
    Redraw();
  }
  return TWinControl::WndProc(msg, wp, lp);
}
