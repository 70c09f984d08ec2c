// TVolumeGauge: a signal level as a row of thin vertical lines lit from the left, with end
// marks and an optional peak marker. A new level redraws only the lines that change.
#pragma once

#include "controls/GaugeLayout.h"
#include "toolkit/Controls.h"

class TVolumeGauge : public TGraphicControl {
 public:
  explicit TVolumeGauge(TComponent* owner);

  // Background picture in place of Color; not owned.
  const TBitmap* Image() const { return image_; }
  void SetImage(const TBitmap* image);
  int MaxLevel() const { return maxLevel_; }
  void SetMaxLevel(int value);
  int Level() const { return level_; }
  // Ignored unless it differs, lies in 0 .. MaxLevel.
  void SetLevel(int value);
  void SetColor(TColor value);  // Color (of TControl) is the background and the eraser
  TColor MarkColor() const { return markColor_; }
  void SetMarkColor(TColor value);
  TColor PeakColor() const { return peakColor_; }
  void SetPeakColor(TColor value);
  bool PeakMeter() const { return peakMeter_; }
  void SetPeakMeter(bool on);
  int PeakFreq = 0;  // level changes for which the peak is held

  void Paint(TCanvas& canvas) override;

 private:
  void Redraw();
  void DrawGauge(TCanvas& canvas);
  void DrawEndMark(TCanvas& canvas, int x, int y);
  void DrawPeakMark(TCanvas& canvas, int x, TColor color);

  const TBitmap* image_ = nullptr;
  int maxLevel_ = 10;
  int level_ = 4;
  TColor markColor_ = 0xB7FF0D;
  TColor peakColor_ = 0x0066FF;
  bool peakMeter_ = false;
  TGaugePeak peak_;
  int peakX_ = 0;  // x of the marker drawn last, so that it can be erased
};
