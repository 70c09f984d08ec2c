// A slider made of pictures: a background and a holder (thumb) taken from two image
// components of the same form, the holder possibly a strip of frames, dragged along one axis.
#pragma once

#include <string>

#include "controls/SliderModel.h"
#include "toolkit/Controls.h"
#include "toolkit/StdCtrls.h"

class TSlider : public TWinControl {
 public:
  explicit TSlider(TComponent* owner);

  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  TColor TranspColor() const { return transpColor_; }
  void SetTranspColor(TColor c);
  int Min() const { return model_.Min(); }
  void SetMin(int v) { model_.SetMin(v); }
  int Max() const { return model_.Max(); }
  void SetMax(int v) { model_.SetMax(v); }
  int NumImages() const { return model_.NumImages(); }
  void SetNumImages(int v);
  int ImageIndex() const { return model_.ImageIndex(); }
  void SetImageIndex(int v);
  int DisabledIndex() const { return model_.DisabledIndex(); }
  void SetDisabledIndex(int v);
  int Position() const { return model_.Position(); }
  void SetPosition(int v);
  HCURSOR HolderCursor;  // the hand by default
  // Not owned: the images must outlive the slider or be detached first.
  TImage* HolderImage() const { return holderImage_; }
  void SetHolderImage(TImage* image);
  TImage* BkgImage() const { return bkgImage_; }
  void SetBkgImage(TImage* image);
  TSliderStyle Style() const { return model_.Style(); }
  void SetStyle(TSliderStyle s);
  TNotifyEvent OnChange;

  void SetEnabled(bool v) override;
  void SetBounds(int left, int top, int width, int height) override;

  const TSliderModel& Model() const { return model_; }
  // Composes the whole control at (0,0) of dc: what every paint puts on the screen.
  void PaintTo(HDC dc);
  // Composes off screen and puts it on the control's window in one copy.
  void Redraw();

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 protected:
  void PaintWindow(TCanvas& canvas) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  TSliderModel model_;
  bool transparent_ = false;
  TColor transpColor_ = clBlack;
  TImage* holderImage_ = nullptr;
  TImage* bkgImage_ = nullptr;
};
