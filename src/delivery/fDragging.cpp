#include "delivery/fDragging.h"

#include "delivery/DragHook.h"
#include "delivery/DragPictures.h"
#include "delivery/Win2KUtils.h"

TDragForm::TDragForm(TComponent* owner) : TForm(owner) {
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  SetCaption("DragForm");
  // Every pixel that no picture or text covers is keyed out.
  Color = kDragKeyColor;
  imgIcon = Make<TImage>(this);
  imgIcon->SetParent(this);
  imgIcon->Picture().Transparent = true;
  imgNoDrop = Make<TImage>(this);
  imgNoDrop->SetVisible(false);
  DrawNoDropPicture(imgNoDrop->Picture());
  imgCanDrop = Make<TImage>(this);
  imgCanDrop->SetVisible(false);
  DrawCanDropPicture(imgCanDrop->Picture());
  LTitle = Make<TLabel>(this);
  LTitle->SetParent(this);
  LTitle->Transparent = true;
  LTitle->Font.Name = "Tahoma";
  LTitle->Font.Height = -11;
  LTitle->Font.Color = clBlack;
  LTitle->SetBounds(46, 25, 0, 0);
}

void TDragForm::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  // The hook library finds the window by class and caption.
  params.ClassName = "TDragForm";
  params.ExStyle |= WS_EX_TOOLWINDOW;
}

void TDragForm::ShowPicture(bool canDrop) {
  TBitmap& from = (canDrop ? imgCanDrop : imgNoDrop)->Picture();
  TBitmap& to = imgIcon->Picture();
  to.SetSize(from.Width(), from.Height());
  BitBlt(to.DC(), 0, 0, from.Width(), from.Height(), from.DC(), 0, 0, SRCCOPY);
  imgIcon->SetBounds(0, 0, from.Width(), from.Height());
  imgIcon->Invalidate();
}

bool TDragForm::StartFeedback() {
  if (!HookLoaded() && !LoadHookLibrary()) return false;
  canDrop_ = false;
  ShowPicture(false);
  LTitle->AdjustSize();
  int width = LTitle->Left() + LTitle->Width();
  int height = imgIcon->Height();
  HWND h = Handle();
  if (LayeredSupported()) {
    SetWindowLongA(h, GWL_EXSTYLE,
                   GetWindowLongA(h, GWL_EXSTYLE) | WS_EX_LAYERED | WS_EX_TRANSPARENT);
    SetLayeredAttributes(h, kDragKeyColor, kDragOpacity, LWA_COLORKEY | LWA_ALPHA);
  }
  POINT pt{};
  GetCursorPos(&pt);
  SetWindowPos(h, HWND_TOPMOST, pt.x + kDragOffsetX, pt.y + kDragOffsetY, width, height,
               SWP_NOACTIVATE);
  ShowWindow(h, SW_SHOWNA);
  HookBegin("TDragForm", Caption(), kDragOffsetX, kDragOffsetY);
  return true;
}

void TDragForm::EndFeedback() {
  if (!HookLoaded()) return;
  HookEnd();
  UnloadHookLibrary();
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

HRESULT TDragForm::DragFeedback(TDragObject*, DWORD effect) {
  bool possible = (effect & (DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK)) != 0;
  if (possible != canDrop_) ShowPicture(possible);
  canDrop_ = possible;
  // S_OK: OLE sets no cursor; the pictures carry the pointer arrow.
  return S_OK;
}
