#include "toolkit/StdCtrls.h"

#include "toolkit/Forms.h"

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

// --- TLabel -------------------------------------------------------------------------------

namespace {
constexpr int kInkMargin = 2;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 65, 13); }

SIZE TLabel::TextSize() const {
  HDC dc = GetDC(nullptr);
  SIZE s{0, 0};
  {
    TCanvas c(dc);
    c.SetFont(Font);
    RECT r{0, 0, WordWrap ? Width() : 0, 0};
    std::string text = caption_.empty() ? " " : caption_;
    c.DrawText(text, r, DT_CALCRECT | (ShowAccelChar ? 0 : DT_NOPREFIX) | (WordWrap ? DT_WORDBREAK : 0));
    s.cx = r.right - r.left;
    s.cy = r.bottom - r.top;
  }
  ReleaseDC(nullptr, dc);
  return s;
}

void TLabel::AdjustSize() {
  SIZE s = TextSize();
  // The glyphs' ink may reach a pixel or two past the advance that DrawText measures (bold
  // Cyrillic under Wine does): a label that fits its text exactly would clip it.
  if (!WordWrap && !caption_.empty()) s.cx += kInkMargin;
  int left = Left();
  if (Alignment == taRightJustify) left = Left() + Width() - s.cx;
  SetBounds(left, Top(), WordWrap ? Width() : s.cx, s.cy);
}

void TLabel::SetCaption(const std::string& text) {
  TControl::SetCaption(text);
  if (AutoSize) AdjustSize();
}

void TLabel::Paint(TCanvas& canvas) {
  RECT r = ClientRect();
  if (!Transparent) {
    canvas.SetBrushColor(ShownColor());
    canvas.FillRect(r);
  }
  TFontSpec f = Font;
  if (!Enabled()) f.Color = clGray;
  canvas.SetFont(f);
  UINT format = (ShowAccelChar ? 0 : DT_NOPREFIX) | (WordWrap ? DT_WORDBREAK : DT_SINGLELINE);
  if (Alignment == taRightJustify) format |= DT_RIGHT;
  if (Alignment == taCenter) format |= DT_CENTER;
  canvas.DrawText(caption_, r, format);
}

// --- TImage -------------------------------------------------------------------------------

TImage::TImage(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 105, 105); }

bool TImage::LoadFromResource(const std::string& name) {
  if (!picture_.LoadFromResourceName(ModuleInstance(), name)) return false;
  if (AutoSize) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
  Invalidate();
  return true;
}

void TImage::Paint(TCanvas& canvas) {
  if (Icon) {
    DrawIconEx(canvas.Handle(), 0, 0, Icon, Stretch ? Width() : 0, Stretch ? Height() : 0, 0,
               nullptr, DI_NORMAL);
    return;
  }
  if (picture_.Empty()) return;
  if (Stretch) {
    if (picture_.Transparent) {
      TColor key = picture_.TransparentColor == clNone ? picture_.Pixel(0, picture_.Height() - 1)
                                                       : picture_.TransparentColor;
      TransparentBlt(canvas.Handle(), 0, 0, Width(), Height(), picture_.DC(), 0, 0,
                     picture_.Width(), picture_.Height(), ColorToRGB(key));
    } else {
      StretchBlt(canvas.Handle(), 0, 0, Width(), Height(), picture_.DC(), 0, 0,
                 picture_.Width(), picture_.Height(), SRCCOPY);
    }
    return;
  }
  int x = 0, y = 0;
  if (Center) {
    x = (Width() - picture_.Width()) / 2;
    y = (Height() - picture_.Height()) / 2;
  }
  picture_.Draw(canvas.Handle(), x, y);
}

// --- TBevel -------------------------------------------------------------------------------

void TBevel::Paint(TCanvas& canvas) {
  TColor dark = Style == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor light = Style == bsLowered ? clBtnHighlight : clBtnShadow;
  const int w = Width(), h = Height();
  auto line = [&](TColor c, int x1, int y1, int x2, int y2) {
    canvas.SetPenColor(c);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
  };
  switch (Shape) {
    case bsBox:
    case bsFrame:
      line(dark, 0, h - 1, 0, 0);
      line(dark, 0, 0, w - 1, 0);
      line(light, w - 1, 0, w - 1, h - 1);
      line(light, w - 1, h - 1, 0, h - 1);
      break;
    case bsTopLine:
      line(dark, 0, 0, w, 0);
      line(light, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(dark, 0, h - 2, w, h - 2);
      line(light, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(dark, 0, 0, 0, h);
      line(light, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(dark, w - 2, 0, w - 2, h);
      line(light, w - 1, 0, w - 1, h);
      break;
    case bsSpacer:
      break;
  }
}

// --- TSpeedButton -------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetDown(bool down) {
  if (down == down_) return;
  down_ = down;
  Invalidate();
}

void TSpeedButton::MouseDown(TMouseButton b, TShiftState s, int x, int y) {
  TControl::MouseDown(b, s, x, y);
  if (b != mbLeft || !Enabled()) return;
  pressed_ = true;
  inside_ = true;
  Invalidate();
}

void TSpeedButton::MouseMove(TShiftState s, int x, int y) {
  TControl::MouseMove(s, x, y);
  RECT r = ClientRect();
  bool in = PtInRect(&r, POINT{x, y}) != 0;
  if (in != inside_) {
    inside_ = in;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton b, TShiftState s, int x, int y) {
  TControl::MouseUp(b, s, x, y);
  pressed_ = false;
  RECT r = ClientRect();
  inside_ = PtInRect(&r, POINT{x, y}) != 0;
  Invalidate();
}

void TSpeedButton::Click() {
  if (!Enabled()) return;
  // A grouped button flips before its handler runs, as the handler reads the new state.
  if (GroupIndex != 0) {
    if (down_ && AllowAllUp) {
      SetDown(false);
    } else if (!down_) {
      SetDown(true);
    }
  }
  TControl::Click();
}

void TSpeedButton::Paint(TCanvas& canvas) {
  RECT r = ClientRect();
  bool sunken = down_ || (pressed_ && inside_);
  if (!Flat || sunken || (pressed_ && inside_)) {
    DrawEdge(canvas.Handle(), &r, sunken ? EDGE_SUNKEN : (Flat ? BDR_RAISEDINNER : EDGE_RAISED),
             BF_RECT);
  }
  int shift = sunken ? 1 : 0;
  TFontSpec f = Font;
  if (!Enabled()) f.Color = clGray;
  canvas.SetFont(f);
  SIZE text = caption_.empty() ? SIZE{0, 0} : canvas.TextExtent(caption_);
  int gw = glyph_.Empty() ? 0 : glyph_.Width(), gh = glyph_.Empty() ? 0 : glyph_.Height();
  int gap = (gw && text.cx) ? 4 : 0;
  int gx, gy, tx, ty;
  if (GlyphOnTop) {
    int total = gh + gap + text.cy;
    gx = (Width() - gw) / 2;
    gy = (Height() - total) / 2;
    tx = (Width() - text.cx) / 2;
    ty = gy + gh + gap;
  } else {
    int total = gw + gap + text.cx;
    gx = (Width() - total) / 2;
    gy = (Height() - gh) / 2;
    tx = gx + gw + gap;
    ty = (Height() - text.cy) / 2;
  }
  if (gw) {
    if (Enabled()) {
      glyph_.Draw(canvas.Handle(), gx + shift, gy + shift);
    } else {
      // A disabled glyph is drawn embossed in grey, as the system draws disabled images.
      DrawStateA(canvas.Handle(), nullptr, nullptr, reinterpret_cast<LPARAM>(glyph_.Handle()), 0,
                 gx, gy, gw, gh, DST_BITMAP | DSS_DISABLED);
    }
  }
  if (text.cx) canvas.TextOut(tx + shift, ty + shift, caption_);
}

// --- TPanel -------------------------------------------------------------------------------

TPanel::TPanel(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 185, 41); }

void TPanel::PaintWindow(TCanvas& canvas) {
  TWinControl::PaintWindow(canvas);
  RECT r = ClientRect();
  if (BevelOuter != bvNone)
    DrawEdge(canvas.Handle(), &r, BevelOuter == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER,
             BF_RECT);
  if (ShowCaption && !caption_.empty()) {
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                  (Alignment == taCenter ? DT_CENTER : Alignment == taRightJustify ? DT_RIGHT : 0);
    InflateRect(&r, -2, -2);
    canvas.DrawText(caption_, r, format);
  }
}

// --- TNotebook ----------------------------------------------------------------------------

TNotebook::TNotebook(TComponent* owner) : TWinControl(owner) { SetBounds(0, 0, 150, 150); }

TPanel* TNotebook::AddPage(const std::string& name) {
  TPanel* page = Make<TPanel>(this);
  page->Name = name;
  page->BevelOuter = bvNone;
  page->ShowCaption = false;
  page->SetVisible(false);
  page->SetParent(this);
  page->SetBounds(0, 0, Width(), Height());
  pages_.push_back(page);
  if (pageIndex_ < 0) SetPageIndex(0);
  return page;
}

void TNotebook::SetPageIndex(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size())) return;
  pageIndex_ = index;
  for (size_t i = 0; i < pages_.size(); ++i) {
    if (static_cast<int>(i) != index) pages_[i]->SetVisible(false);
  }
  pages_[index]->SetVisible(true);
}

void TNotebook::BoundsChanged() {
  for (TPanel* p : pages_) p->SetBounds(0, 0, Width(), Height());
}

// --- Buttons ------------------------------------------------------------------------------

void TButtonControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = "BUTTON";
  p.OwnClass = false;
  p.Style = WS_CHILD | WS_TABSTOP | ButtonStyle();
  if (visible_) p.Style |= WS_VISIBLE;
  if (!enabled_) p.Style |= WS_DISABLED;
}

void TButtonControl::HandleCreated() {
  if (checked_) SendMessageA(hwnd_, BM_SETCHECK, BST_CHECKED, 0);
}

bool TButtonControl::Checked() {
  if (hwnd_) checked_ = SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return checked_;
}

void TButtonControl::SetChecked(bool checked) {
  checked_ = checked;
  if (hwnd_) SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TButtonControl::CommandNotify(WORD code, WORD) {
  if (code != BN_CLICKED) return false;
  bool before = checked_;
  if (Checked() != before && OnChange) OnChange(this);
  Click();
  return true;
}

LRESULT TGroupBox::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(hwnd_, &r);
    TCanvas canvas(reinterpret_cast<HDC>(wp));
    canvas.SetBrushColor(ShownColor());
    canvas.FillRect(r);
    return 1;
  }
  return TButtonControl::WndProc(msg, wp, lp);
}

void TButton::Click() {
  TButtonControl::Click();
  if (ModalResult != 0) {
    // The form that holds the button is the one whose modal loop ends.
    for (TControl* c = this; c; c = c->Parent()) {
      if (auto* form = dynamic_cast<TForm*>(c)) {
        form->ModalResult = ModalResult;
        break;
      }
    }
  }
}
