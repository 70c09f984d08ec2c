#include "delivery/DragPictures.h"

namespace {

// The system's pointer arrow at the top-left corner, which stands in for the hidden cursor.
void DrawArrow(TCanvas& c) {
  HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
  DrawIconEx(c.Handle(), 0, 0, arrow, 0, 0, 0, nullptr, DI_NORMAL);
}

void Polygon(TCanvas& c, TColor fill, std::initializer_list<POINT> points) {
  c.SetPenColor(RGB(40, 40, 40));
  c.SetBrushColor(fill);
  GdiObject brush(CreateSolidBrush(fill));
  HGDIOBJ old = SelectObject(c.Handle(), brush.get());
  ::Polygon(c.Handle(), points.begin(), static_cast<int>(points.size()));
  SelectObject(c.Handle(), old);
}

void Hand(TCanvas& c, int x, int y) {
  const TColor skin = RGB(250, 214, 170);
  Polygon(c, skin, {{x, y + 8}, {x + 4, y}, {x + 8, y + 8}, {x + 10, y + 1}, {x + 14, y + 8},
                    {x + 16, y + 2}, {x + 20, y + 9}, {x + 22, y + 5}, {x + 25, y + 10},
                    {x + 24, y + 22}, {x + 18, y + 28}, {x + 6, y + 28}, {x, y + 20}});
}

void Prepare(TBitmap& picture, int width, int height) {
  picture.SetSize(width, height);
  TCanvas c(picture.DC());
  c.SetBrushColor(kDragKeyColor);
  RECT all{0, 0, width, height};
  c.FillRect(all);
}

}  // namespace

void DrawNoDropPicture(TBitmap& picture) {
  Prepare(picture, 54, 50);
  TCanvas c(picture.DC());
  Hand(c, 18, 16);
  // The prohibition sign: a red ring with a bar.
  GdiObject pen(CreatePen(PS_SOLID, 3, RGB(220, 0, 0)));
  HGDIOBJ oldPen = SelectObject(c.Handle(), pen.get());
  HGDIOBJ oldBrush = SelectObject(c.Handle(), GetStockObject(NULL_BRUSH));
  Ellipse(c.Handle(), 32, 28, 52, 48);
  MoveToEx(c.Handle(), 35, 31, nullptr);
  LineTo(c.Handle(), 49, 45);
  SelectObject(c.Handle(), oldBrush);
  SelectObject(c.Handle(), oldPen);
  DrawArrow(c);
}

void DrawCanDropPicture(TBitmap& picture) {
  Prepare(picture, 50, 45);
  TCanvas c(picture.DC());
  // The small document with a folded corner, held above the hand.
  Polygon(c, RGB(255, 255, 255), {{26, 6}, {38, 6}, {43, 11}, {43, 26}, {26, 26}});
  Hand(c, 18, 16);
  DrawArrow(c);
}

void DrawMessagePicture(TBitmap& picture, TColor background) {
  picture.SetSize(39, 41);
  TCanvas c(picture.DC());
  c.SetBrushColor(background);
  RECT all{0, 0, 39, 41};
  c.FillRect(all);
  // The document with its folded corner.
  Polygon(c, RGB(255, 255, 255), {{4, 1}, {26, 1}, {34, 9}, {34, 39}, {4, 39}});
  Polygon(c, RGB(210, 210, 210), {{26, 1}, {26, 9}, {34, 9}});
  // The loudspeaker and its sound waves.
  Polygon(c, RGB(60, 90, 160), {{10, 18}, {15, 18}, {21, 12}, {21, 32}, {15, 26}, {10, 26}});
  GdiObject pen(CreatePen(PS_SOLID, 2, RGB(60, 90, 160)));
  HGDIOBJ old = SelectObject(c.Handle(), pen.get());
  Arc(c.Handle(), 16, 15, 28, 29, 25, 15, 25, 29);
  Arc(c.Handle(), 14, 11, 32, 33, 29, 11, 29, 33);
  SelectObject(c.Handle(), old);
}
