#include "delivery/fDragSource.h"

#include <algorithm>

#include "controls/Gradbox.h"
#include "delivery/DragDropComps.h"
#include "delivery/DragPictures.h"

std::string DragNAttachCaption = "Drag & Attach";
std::string DragNAttachPrompt = "Drag the icon and drop it to your e-mail message.";

namespace {
constexpr UINT kKeepOnTop = WM_USER + 1;
constexpr const char* kDragTitle = "Vocalet message";  // not translated
}  // namespace

POINT DragNAttachPosition(POINT cursor, int outerWidth) {
  return POINT{std::max<LONG>(0, cursor.x - outerWidth + 5), std::max<LONG>(0, cursor.y - 15)};
}

TDragNAttachForm::TDragNAttachForm(TComponent* owner) : TForm(owner) {
  BorderStyle = bsToolWindow;
  FormStyle = fsStayOnTop;
  Color = clWindow;
  Font.Name = "Tahoma";
  Font.Height = -11;
  SetClientSize(183, 50);

  Gradient = Make<TGradient>(this);
  Gradient->SetParent(this);
  Gradient->SetLeftColor(clWhite);
  Gradient->SetRightColor(14147299);  // red 227, green 222, blue 215
  Gradient->SetGradations(0);

  LDrag = Make<TLabel>(this);
  LDrag->SetParent(this);
  LDrag->Transparent = true;
  LDrag->AutoSize = false;
  LDrag->WordWrap = true;
  LDrag->Font = Font;
  LDrag->SetBounds(50, 5, 125, 39);

  Image1 = Make<TImage>(this);
  Image1->SetParent(this);
  Image1->SetBounds(7, 5, 39, 41);
  DrawMessagePicture(Image1->Picture(), clWindow);

  DragService = Make<TDragService>(this);
  DragService->DefaultDragEffects = false;
  DragService->OnGetStrData = [this](void*, std::string& data, bool dropping, bool& cancel) {
    DragServiceGetStrData(data, dropping, cancel);
  };
  DragService->OnEndDrag = [this](TComponent*) { DragServiceEndDrag(); };

  auto begin = [this](TComponent*, TMouseButton, TShiftState, int, int) { cmdBeginDrag(); };
  OnMouseDown = begin;
  // The gradient covers the whole client area: a press anywhere lands on it first.
  Gradient->OnMouseDown = begin;
  LDrag->OnMouseDown = begin;
  Image1->OnMouseDown = begin;
  FormCreate();
}

void TDragNAttachForm::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  params.ClassName = "TDragNAttachForm";
}

void TDragNAttachForm::FormCreate() {
  SetClientSize(183, 50);
  // On 256 colours the bands would dither: the plain window colour shows instead.
  int bits = 0;
  if (HDC dc = GetDC(Handle())) {
    bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(Handle(), dc);
  }
  Gradient->SetVisible(bits > 8);
  Gradient->SetBounds(0, 0, 183, 50);
}

void TDragNAttachForm::DoShow() {
  TForm::DoShow();
  Application->ProcessMessages();
  PostMessageA(Handle(), kKeepOnTop, 0, 0);
}

LRESULT TDragNAttachForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kKeepOnTop) {
    // Above the mail program while the user drags into it.
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    return 0;
  }
  return TForm::WndProc(msg, wp, lp);
}

bool TDragNAttachForm::IsShortCut(WORD key, TShiftState shift) {
  if (key == VK_ESCAPE) {
    ModalResult = mrCancel;
    return true;
  }
  return TForm::IsShortCut(key, shift);
}

void TDragNAttachForm::cmdBeginDrag() { DragService->StartDrag(kDragTitle); }

void TDragNAttachForm::DragServiceGetStrData(std::string& data, bool dropping, bool&) {
  // A target looking while the pointer moves gets an empty list and prepares nothing.
  if (!dropping) return;
  if (OnPrepare) OnPrepare();
  data = FileName;
  Dropped = true;
}

void TDragNAttachForm::DragServiceEndDrag() { ModalResult = Dropped ? mrOk : mrCancel; }

bool ShowDragNAttach(const std::string& fileName, std::function<void()> onPrepare) {
  TDragNAttachForm form(nullptr);
  form.OnPrepare = std::move(onPrepare);
  POINT cursor{};
  GetCursorPos(&cursor);
  RECT outer{};
  GetWindowRect(form.Handle(), &outer);
  POINT at = DragNAttachPosition(cursor, outer.right - outer.left);
  SetWindowPos(form.Handle(), nullptr, at.x, at.y, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  form.FileName = fileName;
  form.SetCaption(DragNAttachCaption);
  form.LDrag->SetCaption(DragNAttachPrompt);
  return form.ShowModal() == mrOk;
}
