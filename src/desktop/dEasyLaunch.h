// Easy Launch: the program's shortcuts on the desktop, in Quick Launch and in the Start
// menu, with a hot key. The page object reads what exists when the dialog opens and makes
// the files match the check boxes on OK; the dialog hosts the page in its single tab.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "toolkit/Forms.h"
#include "toolkit/PageControl.h"
#include "toolkit/StdCtrls.h"

class TEasyLaunchForm;

// An icon handle: destroyed when it goes, unless the system shares it.
class TPageIcon {
 public:
  TPageIcon() = default;
  ~TPageIcon() { Reset(); }
  TPageIcon(const TPageIcon&) = delete;
  TPageIcon& operator=(const TPageIcon&) = delete;
  HICON Get() const { return icon_; }
  void Set(HICON icon, bool shared);
  void Reset() { Set(nullptr, false); }

 private:
  HICON icon_ = nullptr;
  bool shared_ = false;
};

class TEasyLaunchPage {
 public:
  TEasyLaunchPage();
  ~TEasyLaunchPage();
  TEasyLaunchPage(const TEasyLaunchPage&) = delete;
  TEasyLaunchPage& operator=(const TEasyLaunchPage&) = delete;

  TEasyLaunchForm* Form() const { return form_.get(); }
  TWinControl* ParentControl = nullptr;
  std::string Caption;
  std::string Title;
  std::string ExeName;  // every shortcut points here
  std::string IconResName;
  HICON SmallIcon() const { return smallIcon_.Get(); }
  HICON LargeIcon() const { return largeIcon_.Get(); }

  void Reset();
  void UpdateTexts();
  void ShowPage();
  void Apply();
  void ClosePage();

  // The folder's shortcut file exists; its hot key, if listed, is selected in the form.
  bool LinkExists(const std::string& folder);
  void UpdateLink(const std::string& folder, bool create);
  void GetQuickLaunchFolder(std::string& folder);
  // Notes the shortcut for the uninstaller under MachineRoot, or under HKEY_CURRENT_USER
  // where the machine's key is refused; false when neither takes it.
  bool RecordUninstallIcon(const std::string& path);
  // The shortcut is noted under the root's "Uninstall Icons" key of this title.
  bool HasUninstallNote(HKEY root, const std::string& path) const;
  void LoadPageIcon(TPageIcon& icon, int size);

  std::string LinkFileName() const { return Title + ".lnk"; }

  // The machine's registry, where the uninstall notes go first. Tests give it a key of
  // their own, writable or not: Wine lets every account write HKEY_LOCAL_MACHINE.
  HKEY MachineRoot = HKEY_LOCAL_MACHINE;

 private:
  std::unique_ptr<TEasyLaunchForm> form_;
  TPageIcon smallIcon_, largeIcon_;
};

// The program-wide page; ShowEasyLaunchDlg creates it when nobody has.
extern std::unique_ptr<TEasyLaunchPage> EasyLaunchPage;

// Where the uninstall notes go, under HKEY_LOCAL_MACHINE or else HKEY_CURRENT_USER, followed
// by the title.
inline constexpr const char* UninstallIconsKey = "Software\\Orvane\\Uninstall Icons\\";

class TEasyLaunchDlg : public TForm {
 public:
  explicit TEasyLaunchDlg(TComponent* owner);

  TPageControl* Book;
  TTabSheet* TabSheet1;
  TButton* btnOk;
  TButton* btnCancel;

  void btnOkClick(TComponent* sender);
};

// The dialog open now, for whoever needs to reach it while it runs modally; null otherwise.
extern TEasyLaunchDlg* EasyLaunchDlg;

// Runs the dialog modally, centred over parent; the title names the shortcuts.
void ShowEasyLaunchDlg(HWND parent, const std::string& title);
