// A thin layer over GDI: colours, a canvas on a device context, and owned bitmaps.
#pragma once

#include <windows.h>

#include <string>

#include "util/Handles.h"

using TColor = COLORREF;  // red in the low byte
constexpr TColor clBlack = RGB(0, 0, 0);
constexpr TColor clWhite = RGB(255, 255, 255);
constexpr TColor clRed = RGB(255, 0, 0);
constexpr TColor clLime = RGB(0, 255, 0);
constexpr TColor clBlue = RGB(0, 0, 255);
constexpr TColor clYellow = RGB(255, 255, 0);
constexpr TColor clFuchsia = RGB(255, 0, 255);
constexpr TColor clGreen = RGB(0, 128, 0);
constexpr TColor clMaroon = RGB(128, 0, 0);
constexpr TColor clNavy = RGB(0, 0, 128);
constexpr TColor clGray = RGB(128, 128, 128);
constexpr TColor clSilver = RGB(192, 192, 192);
// System colours are kept as flagged indexes and resolved when drawn.
constexpr TColor clSystemFlag = 0x80000000u;
constexpr TColor clBtnFace = clSystemFlag | COLOR_BTNFACE;
constexpr TColor clWindow = clSystemFlag | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemFlag | COLOR_WINDOWTEXT;
constexpr TColor clBtnShadow = clSystemFlag | COLOR_BTNSHADOW;
constexpr TColor clBtnHighlight = clSystemFlag | COLOR_BTNHIGHLIGHT;
constexpr TColor clInfoBk = clSystemFlag | COLOR_INFOBK;
constexpr TColor clNone = 0x1FFFFFFFu;
TColor ColorToRGB(TColor c);

struct TFontSpec {
  std::string Name = "MS Sans Serif";
  int Height = -11;  // pixels, negative: character height as LOGFONT takes it
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  TColor Color = clWindowText;
};
HFONT CreateFontFrom(const TFontSpec& font);

// Draws on a device context it does not own. Pen, brush and font are selected lazily and
// deselected when the canvas goes.
class TCanvas {
 public:
  explicit TCanvas(HDC dc);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle() const { return dc_; }
  void SetPenColor(TColor c);
  void SetBrushColor(TColor c);
  void SetFont(const TFontSpec& font);

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void FillRect(const RECT& r);           // with the brush colour
  void FrameRect(const RECT& r);          // one-pixel frame with the pen colour
  void Rectangle(const RECT& r);          // pen frame, brush inside
  void TextOut(int x, int y, const std::string& text);  // transparent background
  SIZE TextExtent(const std::string& text);
  void DrawText(const std::string& text, RECT& r, UINT format);
  void SetPixel(int x, int y, TColor c);
  TColor Pixel(int x, int y) const;

 private:
  void SelectPen();
  HDC dc_;
  TColor pen_ = clBlack, brush_ = clWhite;
  GdiObject penObj_, fontObj_;
  HGDIOBJ oldPen_ = nullptr, oldFont_ = nullptr;
  bool penDirty_ = true;
};

// A device-independent 24-bit bitmap with its own memory DC; what it draws stays with it.
class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(int width, int height) { SetSize(width, height); }
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  void SetSize(int width, int height);
  bool LoadFromResourceName(HINSTANCE instance, const std::string& name);
  bool Empty() const { return !bitmap_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  HDC DC() const { return dc_.get(); }
  HBITMAP Handle() const { return static_cast<HBITMAP>(bitmap_.get()); }
  // The 0x00BBGGRR pixels of a DIB section, rows top-down; null for a loaded DDB.
  const unsigned char* Bits() const { return bits_; }
  TColor Pixel(int x, int y) const;

  bool Transparent = false;
  TColor TransparentColor = clNone;  // clNone: the bottom-left pixel's colour

  // Copies the picture (or a part of it) to dest, leaving out the transparent colour when
  // Transparent is set.
  void Draw(HDC dest, int x, int y) const;
  void DrawPart(HDC dest, int x, int y, const RECT& source) const;

 private:
  void Reset();
  GdiObject bitmap_;
  MemoryDC dc_;
  HGDIOBJ old_ = nullptr;
  unsigned char* bits_ = nullptr;
  int width_ = 0, height_ = 0;
};
