#include "desktop/EasyLaunchArt.h"

namespace {

// A short-lived GDI pen and brush selected into a DC.
class TDraw {
 public:
  explicit TDraw(HDC dc) : dc_(dc) {}
  ~TDraw() {
    if (oldPen_) SelectObject(dc_, oldPen_);
    if (oldBrush_) SelectObject(dc_, oldBrush_);
  }
  TDraw(const TDraw&) = delete;
  TDraw& operator=(const TDraw&) = delete;
  void Pen(COLORREF c, int width = 1) {
    GdiObject p(CreatePen(PS_SOLID, width, c));
    HGDIOBJ old = SelectObject(dc_, p.get());
    if (!oldPen_) oldPen_ = old;
    pen_ = std::move(p);
  }
  void Brush(COLORREF c) {
    GdiObject b(CreateSolidBrush(c));
    HGDIOBJ old = SelectObject(dc_, b.get());
    if (!oldBrush_) oldBrush_ = old;
    brush_ = std::move(b);
  }
  void Box(int l, int t, int r, int b) { ::Rectangle(dc_, l, t, r, b); }
  void Fill(int l, int t, int r, int b, COLORREF c) {
    RECT rc{l, t, r, b};
    GdiObject br(CreateSolidBrush(c));
    FillRect(dc_, &rc, static_cast<HBRUSH>(br.get()));
  }
  void Line(int x1, int y1, int x2, int y2) {
    MoveToEx(dc_, x1, y1, nullptr);
    LineTo(dc_, x2, y2);
  }
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  GdiObject pen_, brush_;
  HGDIOBJ oldPen_ = nullptr, oldBrush_ = nullptr;
};

void Clear(TBitmap& bitmap, int w, int h) {
  bitmap.SetSize(w, h);
  bitmap.Transparent = true;
  bitmap.TransparentColor = clFuchsia;
  TDraw d(bitmap.DC());
  d.Fill(0, 0, w, h, clFuchsia);
}

}  // namespace

void DrawComputerIcon(TBitmap& bitmap) {
  Clear(bitmap, 32, 32);
  TDraw d(bitmap.DC());
  // Monitor: beige case, dark screen with a blue desktop.
  d.Pen(RGB(64, 64, 64));
  d.Brush(RGB(214, 208, 190));
  d.Box(3, 2, 29, 22);
  d.Brush(RGB(0, 0, 0));
  d.Box(6, 5, 26, 19);
  d.Fill(7, 6, 25, 18, RGB(0, 110, 160));
  d.Fill(9, 8, 15, 11, RGB(255, 255, 255));
  // Stand and keyboard.
  d.Brush(RGB(214, 208, 190));
  d.Box(12, 22, 20, 25);
  d.Box(4, 25, 28, 30);
  d.Pen(RGB(128, 128, 128));
  for (int x = 7; x < 26; x += 3) d.Line(x, 27, x + 2, 27);
}

void DrawDocumentsIcon(TBitmap& bitmap) {
  Clear(bitmap, 32, 32);
  TDraw d(bitmap.DC());
  // A yellow folder with a sheet of paper sticking out.
  d.Pen(RGB(128, 96, 0));
  d.Brush(RGB(230, 190, 60));
  d.Box(2, 6, 14, 11);
  d.Pen(RGB(96, 96, 96));
  d.Brush(RGB(255, 255, 255));
  d.Box(7, 3, 26, 22);
  d.Pen(RGB(0, 0, 160));
  for (int y = 7; y < 18; y += 3) d.Line(10, y, 23, y);
  d.Pen(RGB(128, 96, 0));
  d.Brush(RGB(250, 214, 90));
  d.Box(2, 11, 30, 29);
  d.Pen(RGB(255, 240, 180));
  d.Line(3, 12, 29, 12);
}

void DrawTaskbar(TBitmap& bitmap, int width, int height, int quickLaunchX) {
  bitmap.SetSize(width, height);
  bitmap.Transparent = false;
  const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT),
                 shadow = GetSysColor(COLOR_BTNSHADOW), text = GetSysColor(COLOR_BTNTEXT);
  TDraw d(bitmap.DC());
  d.Fill(0, 0, width, height, face);
  d.Pen(light);
  d.Line(0, 1, width, 1);
  // Start button: raised, with a four-colour flag and the word "Start".
  RECT start{2, 4, 50, height - 2};
  DrawEdge(d.dc(), &start, EDGE_RAISED, BF_RECT);
  d.Fill(6, 8, 10, 12, RGB(230, 60, 30));
  d.Fill(11, 8, 15, 12, RGB(60, 170, 60));
  d.Fill(6, 13, 10, 17, RGB(30, 90, 220));
  d.Fill(11, 13, 15, 17, RGB(250, 200, 20));
  GdiObject font(CreateFontA(-11, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, "MS Sans Serif"));
  HGDIOBJ oldFont = SelectObject(d.dc(), font.get());
  SetBkMode(d.dc(), TRANSPARENT);
  SetTextColor(d.dc(), text);
  TextOutA(d.dc(), 18, 7, "Start", 5);
  SelectObject(d.dc(), oldFont);
  // The Quick Launch area: a grip, then two icons of other programs before ours.
  const int grip = quickLaunchX - 44;
  d.Pen(shadow);
  d.Line(grip, 4, grip, height - 3);
  d.Pen(light);
  d.Line(grip + 1, 4, grip + 1, height - 3);
  // A globe.
  d.Pen(RGB(0, 60, 140));
  d.Brush(RGB(70, 140, 230));
  Ellipse(d.dc(), grip + 6, 5, grip + 21, 20);
  d.Pen(RGB(40, 160, 60));
  d.Line(grip + 9, 10, grip + 15, 9);
  d.Line(grip + 11, 14, grip + 18, 15);
  // An envelope.
  d.Pen(RGB(90, 90, 90));
  d.Brush(RGB(255, 250, 230));
  d.Box(grip + 24, 7, grip + 39, 18);
  d.Line(grip + 24, 7, grip + 31, 13);
  d.Line(grip + 31, 13, grip + 39, 7);
  // The tray at the right end, sunken.
  RECT tray{width - 34, 4, width - 2, height - 2};
  DrawEdge(d.dc(), &tray, BDR_SUNKENOUTER, BF_RECT);
}

void DrawCheckBadge(TBitmap& bitmap) {
  Clear(bitmap, 19, 19);
  TDraw d(bitmap.DC());
  d.Pen(RGB(0, 100, 0));
  d.Brush(RGB(40, 170, 40));
  Ellipse(d.dc(), 0, 0, 19, 19);
  d.Pen(RGB(255, 255, 255), 2);
  d.Line(5, 9, 8, 13);
  d.Line(8, 13, 14, 5);
}
