// TToolbarWithBitmap: a flat, transparent toolbar with a picture behind its buttons, the
// picture repeated side by side along the top edge.
#pragma once

#include "toolkit/ComCtrls.h"

class TToolbarWithBitmap : public TToolBar {
 public:
  explicit TToolbarWithBitmap(TComponent* owner);
  // The background picture; not owned. Null: the toolbar's ordinary background.
  const TBitmap* Image() const { return image_; }
  void SetImage(const TBitmap* image);

 protected:
  void CreateParams(TCreateParams& params) override;
  bool EraseBackground(HDC dc) override;

 private:
  const TBitmap* image_ = nullptr;
};
