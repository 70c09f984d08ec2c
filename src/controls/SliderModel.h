// The bitmap slider's figures and mouse rules, without any window: the scale, where the
// holder sits, which position a pointer means, and the drag with its change events. The
// window control (Slider.h) feeds it sizes and mouse input and paints what it says.
#pragma once

#include <functional>
#include <string>

enum TSliderStyle { ssVertical = 0, ssHorizontal = 1 };
enum TSliderButton { sbLeft, sbRight, sbMiddle };

struct TSliderRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  bool operator==(const TSliderRect&) const = default;
};

// Round to nearest with halves to even, as the slider's arithmetic rounds.
int RoundHalfEven(double value);

class TSliderModel {
 public:
  // The control's size; the background picture's size replaces it (SetBackground).
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetSize(int width, int height);
  // A background of this size: the control takes it. No background: the size stays.
  void SetBackground(bool present, int width, int height);
  // The holder strip's bitmap: its whole width (all frames) and height.
  void SetHolder(bool present, int bitmapWidth, int bitmapHeight);
  bool HasHolder() const { return hasHolder_; }

  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetMin(int v);
  void SetMax(int v);
  int Position() const { return position_; }
  // Stored as given, not clamped and without a change event.
  void SetPosition(int v);
  TSliderStyle Style() const { return style_; }
  void SetStyle(TSliderStyle s);
  int NumImages() const { return numImages_; }
  void SetNumImages(int v);  // 0 or less is stored as 1
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v) { imageIndex_ = v; }
  int DisabledIndex() const { return disabledIndex_; }
  void SetDisabledIndex(int v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);

  int TrackLength() const { return trackLength_; }
  float PixelsPerUnit() const { return pixelsPerUnit_; }
  int FrameWidth() const { return frameWidth_; }
  const TSliderRect& HolderRect() const { return holderRect_; }
  // The part of the holder strip shown now.
  TSliderRect SourceRect() const;
  // The position a pointer at this coordinate (y when vertical, x when horizontal) means.
  int PositionAt(int coordinate) const;

  // Mouse input in client coordinates. The hint is the control's: it is put aside while a
  // button is down, so that no tooltip covers the holder during a drag.
  void MouseDown(TSliderButton button, int x, int y, std::string& hint);
  void MouseMove(int x, int y);
  void MouseUp(std::string& hint);
  bool Dragging() const { return dragging_; }

  // Raised when a drag moves the position; never for a position set from code.
  std::function<void()> OnChange;

 private:
  void UpdateScale();
  void UpdateHolderRect();

  int width_ = 150, height_ = 25;
  bool hasHolder_ = false;
  int holderBitmapWidth_ = 0, holderHeight_ = 0;
  int min_ = 0, max_ = 100, position_ = 0;
  TSliderStyle style_ = ssVertical;
  int numImages_ = 1, imageIndex_ = 0, disabledIndex_ = 0;
  bool enabled_ = true;

  std::string savedHint_;
  bool hintSaved_ = false;
  bool dragging_ = false;
  int trackLength_ = 0;
  float pixelsPerUnit_ = 0;
  TSliderRect holderRect_;
  int frameWidth_ = 0;
};
