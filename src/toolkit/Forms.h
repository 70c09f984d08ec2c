// Top-level windows and the application object with its message loop.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "toolkit/Controls.h"
#include "toolkit/Menus.h"

enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                    mrYes = 6, mrNo = 7 };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TFormStyle { fsNormal, fsStayOnTop };
using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TComponent* sender, bool& canClose)>;

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  void Show();
  void Hide();
  void Close();
  int ShowModal();
  int ModalResult = mrNone;
  bool Modal() const { return modal_; }

  TBorderStyle BorderStyle = bsSizeable;
  TFormStyle FormStyle = fsNormal;
  bool KeyPreview = false;
  // Whether a form owned by the main form shows its own taskbar button.
  bool AppWindow = false;
  void SetClientSize(int width, int height);
  int ClientWidth();
  int ClientHeight();
  bool Minimized() const;

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnActivate;
  // The Windows session ends (WM_ENDSESSION with TRUE): the process may be ended as soon as
  // the handler returns, without any further message, so whatever must last is done in it.
  TNotifyEvent OnEndSession;

  TMainMenu* Menu() const { return menu_; }
  void SetMenu(TMainMenu* menu);

  // Keyboard shortcuts of the form (menus and the like); true when the key was used.
  virtual bool IsShortCut(WORD key, TShiftState shift);
  // A menu command (WM_COMMAND without a control); true when handled.
  virtual bool MenuCommand(WORD id);
  // Enter clicks the focused push button or else the Default one, Esc the Cancel one;
  // true when a button took the key.
  virtual bool DialogKey(WORD key);

 protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  virtual void DoShow();
  virtual void DoClose(TCloseAction& action);
  bool CloseQuery();

 private:
  bool modal_ = false;
  TMainMenu* menu_ = nullptr;
  int clientW_ = -1, clientH_ = -1;
};

class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  std::string Title;
  TForm* MainForm() const { return mainForm_; }
  // Creates the form owned by the application; the first one becomes the main form.
  template <typename T, typename... Args>
  T* CreateForm(Args&&... args) {
    auto form = std::make_unique<T>(nullptr, std::forward<Args>(args)...);
    T* raw = form.get();
    forms_.push_back(std::move(form));
    if (!mainForm_) mainForm_ = raw;
    return raw;
  }
  void SetMainForm(TForm* form) { mainForm_ = form; }

  void Run();
  // Handles one message; returns false when there was none.
  bool ProcessMessage();
  void ProcessMessages();
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }
  void Restore();
  void Minimize();
  void BringToFront();

  // An exception that escaped a command. The default shows it in an error box.
  void HandleException(const std::exception* e);
  std::function<void(const std::exception* e)> OnException;
  void ShowException(const std::exception* e);

  // Hints: a control's Hint shows in a small window after HintPause while the mouse rests
  // on it, and goes after HintHidePause or when the mouse leaves.
  unsigned HintPause = 500;
  unsigned HintHidePause = 2500;
  bool ShowHint = true;
  void HintMouseMove(TControl* control);
  void CancelHint();
  // A control that goes takes its pending or shown hint with it.
  void ControlDestroyed(TControl* control);
  HWND HintWindow() const { return hintWnd_; }
  const std::string& HintText() const { return hintText_; }

 private:
  bool Dispatch(MSG& msg);
  TForm* mainForm_ = nullptr;
  std::vector<std::unique_ptr<TForm>> forms_;
  bool terminated_ = false;
  static void CALLBACK HintTimerProc(HWND, UINT, UINT_PTR, DWORD);
  void ShowHintNow();
  TControl* hintControl_ = nullptr;
  HWND hintWnd_ = nullptr;
  std::string hintText_;
  UINT_PTR hintTimer_ = 0;
  bool hintShown_ = false;
};

extern TApplication* Application;
