#include "controls/VolumeGauge.h"

TVolumeGauge::TVolumeGauge(TComponent* owner) : TGraphicControl(owner) {
  Color = clBlack;
  SetBounds(0, 0, 200, 12);
}

void TVolumeGauge::SetImage(const TBitmap* image) {
  image_ = image;
  Invalidate();
}

void TVolumeGauge::SetMaxLevel(int value) {
  maxLevel_ = value;
  Redraw();
}

void TVolumeGauge::SetLevel(int value) {
  if (value == level_ || value > maxLevel_ || value < 0) return;
  level_ = value;
  if (peakMeter_) peak_.Advance(value, PeakFreq);
  Redraw();
}

void TVolumeGauge::SetColor(TColor value) {
  Color = value;
  Redraw();
}

void TVolumeGauge::SetMarkColor(TColor value) {
  markColor_ = value;
  Redraw();
}

void TVolumeGauge::SetPeakColor(TColor value) {
  peakColor_ = value;
  Redraw();
}

void TVolumeGauge::SetPeakMeter(bool on) {
  peakMeter_ = on;
  Redraw();
}

void TVolumeGauge::Redraw() {
  DrawNow([this](TCanvas& canvas) { DrawGauge(canvas); });
}

void TVolumeGauge::Paint(TCanvas& canvas) {
  if (image_) {
    image_->Draw(canvas.Handle(), 0, 0);
  } else {
    canvas.SetBrushColor(Color);
    canvas.FillRect(ClientRect());
  }
  DrawGauge(canvas);
}

void TVolumeGauge::DrawEndMark(TCanvas& canvas, int x, int y) {
  const int h = Height();
  canvas.MoveTo(x, y);
  canvas.LineTo(x + 3, y);
  canvas.LineTo(x + 3, y + h - 1);
  canvas.LineTo(x, y + h - 1);
  canvas.LineTo(x, y);
}

void TVolumeGauge::DrawPeakMark(TCanvas& canvas, int x, TColor color) {
  if (!peakMeter_ || x == 0 || x == 3) return;
  const int h = Height();
  canvas.SetPenColor(color);
  canvas.MoveTo(x, 2);
  canvas.LineTo(x + 3, 2);
  canvas.LineTo(x + 3, h - 3);
  canvas.LineTo(x, h - 3);
  canvas.LineTo(x, 2);
}

void TVolumeGauge::DrawGauge(TCanvas& canvas) {
  // Without a positive maximum the proportions have no divisor; such a gauge shows nothing.
  if (maxLevel_ <= 0) return;
  const int w = Width(), h = Height();
  DrawPeakMark(canvas, peakX_, Color);

  canvas.SetPenColor(markColor_);
  DrawEndMark(canvas, 0, 0);
  DrawEndMark(canvas, w - 6, 0);

  const int last = GaugeLastColumn(w);
  const int lit = GaugeLitColumns(level_, maxLevel_, last);
  for (int k = 1; k <= lit; ++k) {
    canvas.MoveTo(GaugeColumnX(k), 2);
    canvas.LineTo(GaugeColumnX(k), h);
  }
  if (image_) {
    // The picture behind the unlit part takes the place of erasing it line by line.
    RECT part{3 * lit + 4, 0, w - 6, h - 2};
    if (part.right > part.left && part.bottom > part.top)
      image_->DrawPart(canvas.Handle(), part.left, part.top, part);
  }
  for (int k = lit + 1; k <= last + 1; ++k) {
    const int x = GaugeColumnX(k);
    if (!image_) {
      canvas.SetPenColor(Color);
      canvas.MoveTo(x, h - 2);
      canvas.LineTo(x, 1);
    }
    canvas.SetPenColor(markColor_);
    canvas.MoveTo(x, h - 2);
    canvas.LineTo(x, h);
  }

  peakX_ = GaugePeakX(peak_.Level, maxLevel_, last);
  DrawPeakMark(canvas, peakX_, peakColor_);
}
