#include "controls/SliderModel.h"

#include <cfenv>
#include <cmath>

int RoundHalfEven(double value) {
  // nearbyint follows the rounding mode, which is to-nearest-even unless someone changed it.
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double r = std::nearbyint(value);
  std::fesetround(saved);
  return static_cast<int>(r);
}

void TSliderModel::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
  UpdateScale();
}

void TSliderModel::SetBackground(bool present, int width, int height) {
  if (present) {
    width_ = width;
    height_ = height;
  }
  UpdateScale();
}

void TSliderModel::SetHolder(bool present, int bitmapWidth, int bitmapHeight) {
  hasHolder_ = present;
  holderBitmapWidth_ = present ? bitmapWidth : 0;
  holderHeight_ = present ? bitmapHeight : 0;
  if (present) frameWidth_ = bitmapWidth / numImages_;
  UpdateScale();
}

void TSliderModel::SetMin(int v) {
  min_ = v;
  UpdateScale();
}

void TSliderModel::SetMax(int v) {
  max_ = v;
  UpdateScale();
}

void TSliderModel::SetPosition(int v) {
  position_ = v;
  UpdateHolderRect();
}

void TSliderModel::SetStyle(TSliderStyle s) {
  style_ = s;
  UpdateScale();
}

void TSliderModel::SetNumImages(int v) {
  numImages_ = v <= 0 ? 1 : v;
  if (hasHolder_) frameWidth_ = holderBitmapWidth_ / numImages_;
  UpdateScale();
}

void TSliderModel::SetDisabledIndex(int v) {
  disabledIndex_ = v;
  if (!enabled_) imageIndex_ = disabledIndex_;
}

void TSliderModel::SetEnabled(bool v) {
  enabled_ = v;
  imageIndex_ = v ? 0 : disabledIndex_;
}

void TSliderModel::UpdateScale() {
  if (style_ == ssVertical) {
    trackLength_ = height_ - (hasHolder_ ? holderHeight_ : 0);
  } else {
    trackLength_ = width_ - (hasHolder_ ? frameWidth_ : 0);
  }
  // A range of nothing would divide by zero: give it the usual hundred steps.
  if (min_ == max_) max_ = min_ + 100;
  pixelsPerUnit_ = static_cast<float>(trackLength_) / static_cast<float>(max_ - min_);
  UpdateHolderRect();
}

void TSliderModel::UpdateHolderRect() {
  if (!hasHolder_) return;
  // Min is not subtracted: a position sits at position x scale from the start edge.
  const int offset = RoundHalfEven(static_cast<double>(position_) * pixelsPerUnit_);
  if (style_ == ssVertical) {
    holderRect_ = TSliderRect{0, offset, frameWidth_, offset + holderHeight_};
  } else {
    holderRect_ = TSliderRect{offset, 0, offset + frameWidth_, holderHeight_};
  }
}

TSliderRect TSliderModel::SourceRect() const {
  const int left = numImages_ > 1 ? frameWidth_ * imageIndex_ : 0;
  return TSliderRect{left, 0, left + frameWidth_, holderHeight_};
}

int TSliderModel::PositionAt(int coordinate) const {
  // A track of no length has no positions to tell apart.
  const int p = pixelsPerUnit_ == 0 ? min_ : RoundHalfEven(coordinate / static_cast<double>(pixelsPerUnit_));
  if (p >= max_) return max_;
  if (p <= min_) return min_;
  return p;
}

void TSliderModel::MouseDown(TSliderButton button, int x, int y, std::string& hint) {
  // A second button while one is down must not take the cleared hint for the real one.
  if (!hintSaved_) savedHint_ = hint;
  hintSaved_ = true;
  hint.clear();
  if (button == sbLeft && enabled_ && hasHolder_ && holderRect_.Contains(x, y)) dragging_ = true;
}

void TSliderModel::MouseMove(int x, int y) {
  if (!dragging_) return;
  const int p = PositionAt(style_ == ssVertical ? y : x);
  if (p == position_) return;
  SetPosition(p);
  if (OnChange) OnChange();
}

void TSliderModel::MouseUp(std::string& hint) {
  dragging_ = false;
  if (!hintSaved_) return;
  hint = savedHint_;
  hintSaved_ = false;
}
