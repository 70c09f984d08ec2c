#include "toolkit/Forms.h"

#include "toolkit/StdCtrls.h"

#include <algorithm>
#include <vector>

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

namespace {
// The windows a modal form disables: every other visible, enabled top-level window of the
// thread, as a modal dialog must keep the whole program waiting.
struct TDisabledWindows {
  HWND except;
  std::vector<HWND> list;
  static BOOL CALLBACK Collect(HWND h, LPARAM lp) {
    auto* self = reinterpret_cast<TDisabledWindows*>(lp);
    if (h != self->except && IsWindowVisible(h) && IsWindowEnabled(h)) {
      self->list.push_back(h);
      EnableWindow(h, FALSE);
    }
    return TRUE;
  }
  explicit TDisabledWindows(HWND exceptWnd) : except(exceptWnd) {
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
  }
  void Restore() {
    for (HWND h : list)
      if (IsWindow(h)) EnableWindow(h, TRUE);
  }
};
}  // namespace

int TForm::ShowModal() {
  HWND active = GetActiveWindow();
  ModalResult = mrNone;
  modal_ = true;
  Handle();
  TDisabledWindows disabled(hwnd_);
  HWND ownerWnd = active && active != hwnd_ ? active : nullptr;
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
  disabled.Restore();
  Hide();
  if (ownerWnd) SetActiveWindow(ownerWnd);
  modal_ = false;
  return ModalResult;
}

void TForm::SetMenu(TMainMenu* menu) {
  menu_ = menu;
  if (!menu) {
    if (hwnd_) ::SetMenu(hwnd_, nullptr);
    return;
  }
  menu->Window = Handle();
  menu->Rebuild();
}

bool TForm::IsShortCut(WORD key, TShiftState shift) {
  if (!menu_ || key > 0xFF) return false;
  TShortCut mods = ((shift & ssShift) ? scShift : 0) | ((shift & ssCtrl) ? scCtrl : 0) |
                   ((shift & ssAlt) ? scAlt : 0);
  return menu_->IsShortCut(ShortCut(static_cast<uint8_t>(key), mods));
}

bool TForm::MenuCommand(WORD id) { return menu_ && menu_->DispatchCommand(id); }

namespace {
// The first visible, enabled button of the form's components that `pick` accepts.
TButton* FindButton(TComponent* root, const std::function<bool(TButton*)>& pick) {
  for (size_t i = 0; i < root->ComponentCount(); ++i) {
    TComponent* c = root->Components(i);
    if (auto* b = dynamic_cast<TButton*>(c); b && b->Visible() && b->Enabled() && pick(b)) {
      bool shown = true;
      for (TControl* p = b->Parent(); p; p = p->Parent()) shown = shown && p->Visible();
      if (shown) return b;
    }
    if (TButton* inner = FindButton(c, pick)) return inner;
  }
  return nullptr;
}
}  // namespace

bool TForm::DialogKey(WORD key) {
  if (key != VK_RETURN && key != VK_ESCAPE) return false;
  // An open drop-down list takes these keys itself.
  HWND focus = GetFocus();
  for (HWND h = focus; h; h = GetParent(h)) {
    char cls[32] = {};
    GetClassNameA(h, cls, sizeof cls);
    if (lstrcmpiA(cls, "ComboBox") == 0 && SendMessageA(h, CB_GETDROPPEDSTATE, 0, 0)) return false;
  }
  TButton* button = nullptr;
  if (key == VK_RETURN) {
    if (auto* focused = dynamic_cast<TButton*>(TWinControl::FromHandle(focus));
        focused && focused->Visible() && focused->Enabled())
      button = focused;
    if (!button) button = FindButton(this, [](TButton* b) { return b->Default; });
  } else {
    button = FindButton(this, [](TButton* b) { return b->Cancel; });
  }
  if (!button) return false;
  button->Click();
  return true;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_COMMAND:
      if (lp == 0 && MenuCommand(LOWORD(wp))) return 0;
      break;
    case WM_INITMENUPOPUP:
      if (menu_ && !HIWORD(lp)) menu_->DispatchPopup(reinterpret_cast<HMENU>(wp));
      break;
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE && OnActivate) OnActivate(this);
      break;
    case WM_ENDSESSION:
      if (wp && OnEndSession) OnEndSession(this);
      return 0;
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

TApplication::TApplication() {
  Application = this;
  // A quit message left by an earlier loop of this thread would end ours at once.
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

static LRESULT CALLBACK HintWndProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_PAINT && Application) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_INFOBK));
    FrameRect(dc, &r, GetSysColorBrush(COLOR_INFOTEXT));
    InflateRect(&r, -3, -2);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    const std::string& t = Application->HintText();
    DrawTextA(dc, t.c_str(), static_cast<int>(t.size()), &r, DT_NOPREFIX);
    SelectObject(dc, old);
    EndPaint(h, &ps);
    return 0;
  }
  if (m == WM_NCHITTEST) return HTTRANSPARENT;
  return DefWindowProcA(h, m, w, l);
}

void CALLBACK TApplication::HintTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  if (!Application) return;
  if (Application->hintShown_) {
    Application->CancelHint();
  } else {
    Application->ShowHintNow();
  }
}

void TApplication::HintMouseMove(TControl* control) {
  if (control == hintControl_) return;
  CancelHint();
  if (!ShowHint || !control || !control->ShowHint || control->Hint.empty()) return;
  hintControl_ = control;
  hintTimer_ = SetTimer(nullptr, 0, HintPause, HintTimerProc);
}

void TApplication::ShowHintNow() {
  if (hintTimer_) KillTimer(nullptr, hintTimer_);
  hintTimer_ = 0;
  if (!hintControl_) return;
  hintText_ = hintControl_->Hint;
  if (!hintWnd_) {
    RegisterOwnClass("VocaletHint", CS_SAVEBITS, reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1),
                     HintWndProc);
    hintWnd_ = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "VocaletHint", "", WS_POPUP, 0,
                               0, 0, 0, nullptr, nullptr, ModuleInstance(), nullptr);
  }
  SetWindowTextA(hintWnd_, hintText_.c_str());
  HDC dc = GetDC(hintWnd_);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, hintText_.c_str(), static_cast<int>(hintText_.size()), &r,
            DT_CALCRECT | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(hintWnd_, dc);
  POINT p;
  GetCursorPos(&p);
  int w = r.right + 8, h = r.bottom + 6;
  int x = std::min(p.x, static_cast<LONG>(GetSystemMetrics(SM_CXSCREEN) - w));
  int y = p.y + 20;
  if (y + h > GetSystemMetrics(SM_CYSCREEN)) y = p.y - h - 4;
  SetWindowPos(hintWnd_, HWND_TOPMOST, std::max(x, 0), std::max(y, 0), w, h,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hintWnd_, nullptr, TRUE);
  hintShown_ = true;
  hintTimer_ = SetTimer(nullptr, 0, HintHidePause, HintTimerProc);
}

void TApplication::ControlDestroyed(TControl* control) {
  if (control && control == hintControl_) CancelHint();
}

void TApplication::CancelHint() {
  if (hintTimer_) KillTimer(nullptr, hintTimer_);
  hintTimer_ = 0;
  hintControl_ = nullptr;
  hintShown_ = false;
  if (hintWnd_) ShowWindow(hintWnd_, SW_HIDE);
}

TApplication::~TApplication() {
  CancelHint();
  if (hintWnd_) DestroyWindow(hintWnd_);
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
        if (!used && msg.message == WM_KEYDOWN && shift == 0)
          used = form->DialogKey(static_cast<WORD>(msg.wParam));
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
