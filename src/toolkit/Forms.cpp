#include "toolkit/Forms.h"

TApplication* Application = nullptr;

// --- TForm --------------------------------------------------------------------------------

TForm::TForm(TComponent* owner) : TWinControl(owner) { visible_ = false; }

TForm::~TForm() {
  if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
}

void TForm::CreateParams(TCreateParams& p) {
  p.ClassName = "VocaletForm";
  p.ClassStyle = CS_DBLCLKS;
  p.Style = WS_CLIPCHILDREN;
  switch (BorderStyle) {
    case bsNone: p.Style |= WS_POPUP; break;
    case bsSingle: p.Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_BORDER; break;
    case bsSizeable: p.Style |= WS_OVERLAPPEDWINDOW; break;
    case bsDialog:
      p.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
      p.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
    case bsToolWindow:
      p.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
      p.ExStyle |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      p.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
      p.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (FormStyle == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  if (AppWindow) p.ExStyle |= WS_EX_APPWINDOW;
  TForm* main = Application ? Application->MainForm() : nullptr;
  p.ParentWnd = (main && main != this) ? main->Handle() : nullptr;
}

void TForm::SetClientSize(int width, int height) {
  clientW_ = width;
  clientH_ = height;
  TCreateParams p;
  CreateParams(p);
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, p.Style, FALSE, p.ExStyle);
  if (hwnd_ && GetMenu(hwnd_)) {
    r = RECT{0, 0, width, height};
    AdjustWindowRectEx(&r, p.Style, TRUE, p.ExStyle);
  }
  SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

int TForm::ClientWidth() {
  if (!hwnd_) return clientW_ >= 0 ? clientW_ : Width();
  RECT r;
  GetClientRect(hwnd_, &r);
  return r.right;
}

int TForm::ClientHeight() {
  if (!hwnd_) return clientH_ >= 0 ? clientH_ : Height();
  RECT r;
  GetClientRect(hwnd_, &r);
  return r.bottom;
}

bool TForm::Minimized() const { return hwnd_ && IsIconic(hwnd_); }

void TForm::Show() {
  Handle();
  bool wasVisible = IsWindowVisible(hwnd_);
  visible_ = true;
  ShowWindow(hwnd_, SW_SHOW);
  if (!wasVisible) DoShow();
}

void TForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TForm::Hide() {
  visible_ = false;
  if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
  if (OnHide) OnHide(this);
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TForm::Close() {
  if (modal_) {
    if (ModalResult == mrNone) ModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = (Application && Application->MainForm() == this) ? caFree : caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application && Application->MainForm() == this && action != caMinimize) {
    Hide();
    Application->Terminate();
    return;
  }
  if (action == caMinimize) {
    ShowWindow(Handle(), SW_MINIMIZE);
  } else {
    Hide();
  }
}

int TForm::ShowModal() {
  HWND owner = GetActiveWindow();
  ModalResult = mrNone;
  modal_ = true;
  Handle();
  HWND ownerWnd = owner && owner != hwnd_ ? owner : nullptr;
  if (ownerWnd) EnableWindow(ownerWnd, FALSE);
  Show();
  SetForegroundWindow(hwnd_);
  while (ModalResult == mrNone && !Application->Terminated()) {
    Application->HandleMessage();
    if (ModalResult != mrNone) {
      // The form may refuse to close: OnCloseQuery clears the result.
      if (!CloseQuery()) ModalResult = mrNone;
    }
  }
  TCloseAction action = caHide;
  DoClose(action);
  if (ownerWnd) EnableWindow(ownerWnd, TRUE);
  Hide();
  if (ownerWnd) SetActiveWindow(ownerWnd);
  modal_ = false;
  return ModalResult;
}

bool TForm::IsShortCut(WORD, TShiftState) { return false; }
bool TForm::MenuCommand(WORD) { return false; }

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_COMMAND:
      if (lp == 0 && MenuCommand(LOWORD(wp))) return 0;
      break;
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && OnActivate) OnActivate(this);
      break;
    case WM_MOVE: {
      RECT wr;
      GetWindowRect(hwnd_, &wr);
      bounds_ = wr;
      break;
    }
    default:
      break;
  }
  return TWinControl::WndProc(msg, wp, lp);
}

// --- TApplication -------------------------------------------------------------------------

TApplication::TApplication() { Application = this; }

TApplication::~TApplication() {
  // Forms go in reverse order of creation, the main form last.
  while (!forms_.empty()) forms_.pop_back();
  if (Application == this) Application = nullptr;
}

bool TApplication::Dispatch(MSG& msg) {
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(root))) {
      TShiftState shift = ShiftFromKeyboard();
      bool used = false;
      try {
        used = form->IsShortCut(static_cast<WORD>(msg.wParam), shift);
        if (!used && form->KeyPreview && form->OnKeyDown && msg.hwnd != root) {
          WORD key = static_cast<WORD>(msg.wParam);
          form->OnKeyDown(form, key, shift);
          used = key == 0;
        }
      } catch (const std::exception& e) {
        HandleException(&e);
        used = true;
      } catch (...) {
        HandleException(nullptr);
        used = true;
      }
      if (used) return true;
    }
  }
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
  return true;
}

bool TApplication::ProcessMessage() {
  MSG msg;
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  return Dispatch(msg);
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::HandleMessage() {
  if (!ProcessMessage()) WaitMessage();
}

void TApplication::Run() {
  if (mainForm_ && mainForm_->Visible()) mainForm_->Show();
  while (!terminated_) HandleMessage();
}

void TApplication::Terminate() {
  if (!terminated_) PostQuitMessage(0);
  terminated_ = true;
}

void TApplication::Restore() {
  if (mainForm_ && mainForm_->HandleAllocated() && IsIconic(mainForm_->Handle()))
    ShowWindow(mainForm_->Handle(), SW_RESTORE);
}

void TApplication::Minimize() {
  if (mainForm_ && mainForm_->HandleAllocated()) ShowWindow(mainForm_->Handle(), SW_MINIMIZE);
}

void TApplication::BringToFront() {
  if (mainForm_ && mainForm_->HandleAllocated()) SetForegroundWindow(mainForm_->Handle());
}

void TApplication::ShowException(const std::exception* e) {
  std::string text = e ? e->what() : "An unexpected error occurred.";
  HWND owner = mainForm_ && mainForm_->HandleAllocated() ? mainForm_->Handle() : nullptr;
  MessageBoxA(owner, text.c_str(), Title.c_str(), MB_OK | MB_ICONSTOP);
}

void TApplication::HandleException(const std::exception* e) {
  if (OnException) {
    OnException(e);
  } else {
    ShowException(e);
  }
}
