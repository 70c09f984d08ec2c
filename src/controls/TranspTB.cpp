#include "controls/TranspTB.h"

TToolbarWithBitmap::TToolbarWithBitmap(TComponent* owner) : TToolBar(owner) { SetFlat(true); }

void TToolbarWithBitmap::SetImage(const TBitmap* image) {
  if (image == image_) return;
  image_ = image;
  if (HandleAllocated()) {
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
  }
}

void TToolbarWithBitmap::CreateParams(TCreateParams& params) {
  TToolBar::CreateParams(params);
  // The buttons are drawn over the picture.
  params.Style |= TBSTYLE_TRANSPARENT;
}

// The picture is the background while the toolbar is flat, which it is from construction.
bool TToolbarWithBitmap::EraseBackground(HDC dc) {
  if (!Flat() || !image_ || image_->Empty() || image_->Width() <= 0 || image_->Height() <= 0)
    return false;
  const int w = image_->Width(), h = image_->Height();
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int copies = client.right / w;
  for (int i = 0; i <= copies; ++i) BitBlt(dc, i * w, 0, w, h, image_->DC(), 0, 0, SRCCOPY);
  return true;
}
