#include "toolkit/Graphics.h"

TColor ColorToRGB(TColor c) {
  if (c & clSystemFlag) return GetSysColor(static_cast<int>(c & 0xFF));
  return c;
}

HFONT CreateFontFrom(const TFontSpec& font) {
  return CreateFontA(font.Height, 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, font.Italic,
                     font.Underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                     font.Name.c_str());
}

TCanvas::TCanvas(HDC dc) : dc_(dc) {}

TCanvas::~TCanvas() {
  if (oldPen_) SelectObject(dc_, oldPen_);
  if (oldFont_) SelectObject(dc_, oldFont_);
}

void TCanvas::SetPenColor(TColor c) {
  if (c != pen_) penDirty_ = true;
  pen_ = c;
}

void TCanvas::SetBrushColor(TColor c) { brush_ = c; }

void TCanvas::SetFont(const TFontSpec& font) {
  GdiObject f(CreateFontFrom(font));
  HGDIOBJ prev = SelectObject(dc_, f.get());
  if (!oldFont_) oldFont_ = prev;
  fontObj_ = std::move(f);
  ::SetTextColor(dc_, ColorToRGB(font.Color));
}

void TCanvas::SelectPen() {
  if (!penDirty_) return;
  GdiObject p(CreatePen(PS_SOLID, 1, ColorToRGB(pen_)));
  HGDIOBJ prev = SelectObject(dc_, p.get());
  if (!oldPen_) oldPen_ = prev;
  penObj_ = std::move(p);
  penDirty_ = false;
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(dc_, x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  SelectPen();
  ::LineTo(dc_, x, y);
}

void TCanvas::FillRect(const RECT& r) {
  GdiObject b(CreateSolidBrush(ColorToRGB(brush_)));
  ::FillRect(dc_, &r, static_cast<HBRUSH>(b.get()));
}

void TCanvas::FrameRect(const RECT& r) {
  GdiObject b(CreateSolidBrush(ColorToRGB(pen_)));
  ::FrameRect(dc_, &r, static_cast<HBRUSH>(b.get()));
}

void TCanvas::Rectangle(const RECT& r) {
  FillRect(r);
  FrameRect(r);
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  int oldMode = SetBkMode(dc_, TRANSPARENT);
  ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
  SetBkMode(dc_, oldMode);
}

SIZE TCanvas::TextExtent(const std::string& text) {
  SIZE s{};
  GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &s);
  return s;
}

void TCanvas::DrawText(const std::string& text, RECT& r, UINT format) {
  int oldMode = SetBkMode(dc_, TRANSPARENT);
  ::DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &r, format);
  SetBkMode(dc_, oldMode);
}

void TCanvas::SetPixel(int x, int y, TColor c) { ::SetPixel(dc_, x, y, ColorToRGB(c)); }

TColor TCanvas::Pixel(int x, int y) const { return ::GetPixel(dc_, x, y); }

TBitmap::~TBitmap() { Reset(); }

void TBitmap::Reset() {
  if (dc_ && old_) SelectObject(dc_.get(), old_);
  old_ = nullptr;
  dc_.reset();
  bitmap_.reset();
  bits_ = nullptr;
  width_ = height_ = 0;
}

void TBitmap::SetSize(int width, int height) {
  Reset();
  if (width <= 0 || height <= 0) return;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down rows
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp) return;
  bitmap_.reset(bmp);
  bits_ = static_cast<unsigned char*>(bits);
  dc_.reset(CreateCompatibleDC(nullptr));
  old_ = SelectObject(dc_.get(), bmp);
  width_ = width;
  height_ = height;
  RECT r{0, 0, width, height};
  FillRect(dc_.get(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

bool TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
  HBITMAP loaded = static_cast<HBITMAP>(
      LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!loaded) return false;
  GdiObject src(loaded);
  BITMAP bm{};
  GetObjectA(loaded, sizeof bm, &bm);
  // Copy into our own 32-bit DIB so that every picture has the same pixel access.
  SetSize(bm.bmWidth, bm.bmHeight);
  if (Empty()) return false;
  MemoryDC srcDC(CreateCompatibleDC(nullptr));
  HGDIOBJ old = SelectObject(srcDC.get(), loaded);
  BitBlt(dc_.get(), 0, 0, width_, height_, srcDC.get(), 0, 0, SRCCOPY);
  SelectObject(srcDC.get(), old);
  GdiFlush();
  return true;
}

TColor TBitmap::Pixel(int x, int y) const {
  if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return clNone;
  GdiFlush();
  const unsigned char* p = bits_ + (static_cast<size_t>(y) * width_ + x) * 4;
  return RGB(p[2], p[1], p[0]);
}

void TBitmap::Draw(HDC dest, int x, int y) const {
  DrawPart(dest, x, y, RECT{0, 0, width_, height_});
}

void TBitmap::DrawPart(HDC dest, int x, int y, const RECT& s) const {
  if (Empty()) return;
  int w = s.right - s.left, h = s.bottom - s.top;
  if (Transparent) {
    TColor key = TransparentColor == clNone ? Pixel(0, height_ - 1) : TransparentColor;
    TransparentBlt(dest, x, y, w, h, dc_.get(), s.left, s.top, w, h, ColorToRGB(key));
  } else {
    BitBlt(dest, x, y, w, h, dc_.get(), s.left, s.top, SRCCOPY);
  }
}
