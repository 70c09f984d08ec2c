#include "desktop/dEasyLaunch.h"

#include <shlobj.h>

#include "desktop/ShLinks.h"
#include "desktop/ShortCutKeys.h"
#include "desktop/fEasyLaunch.h"
#include "mls/ovSharedMLS.h"
#include "util/ovUtils.h"

std::unique_ptr<TEasyLaunchPage> EasyLaunchPage;
TEasyLaunchDlg* EasyLaunchDlg = nullptr;

namespace {

bool FileExists(const std::string& path) {
  const DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

const std::string& OvShared(int index) { return MLS_OVSHARED->Strings[index]; }

}  // namespace

// --- TPageIcon ----------------------------------------------------------------------------

void TPageIcon::Set(HICON icon, bool shared) {
  if (icon_ && !shared_) DestroyIcon(icon_);
  icon_ = icon;
  shared_ = shared;
}

// --- TEasyLaunchPage ----------------------------------------------------------------------

TEasyLaunchPage::TEasyLaunchPage() : ExeName(GetModuleFileNameStr()) {}

TEasyLaunchPage::~TEasyLaunchPage() { ClosePage(); }

void TEasyLaunchPage::Reset() {
  // The icons load again at the next show (another language may bring another program
  // icon); the old handles are ours to free.
  smallIcon_.Reset();
  largeIcon_.Reset();
}

void TEasyLaunchPage::UpdateTexts() {
  Caption = OvShared(100);
  if (form_) form_->ApplyTexts();
}

void TEasyLaunchPage::ShowPage() {
  if (!form_) form_ = std::make_unique<TEasyLaunchForm>(nullptr, *this);
  TEasyLaunchForm& f = *form_;
  f.ApplyTexts();
  f.panEasyLaunch->SetParent(ParentControl);
  f.panEasyLaunch->SetBounds(0, 0, f.panEasyLaunch->Width(), f.panEasyLaunch->Height());

  std::string label = Title.empty() ? OvShared(101) : Title;
  // The label takes "&" as an accelerator mark; a title is shown as it is written, unless
  // it is already written for a label.
  if (label.find("&&") == std::string::npos) label = ReplaceAll(label, "&", "&&");
  f.LIcon->SetCaption(label);

  if (!largeIcon_.Get()) LoadPageIcon(largeIcon_, 32);
  if (!smallIcon_.Get()) LoadPageIcon(smallIcon_, 16);
  f.ImgIcon->Icon = largeIcon_.Get();
  f.ImgIcon->Invalidate();

  std::string desktop;
  GetSpecialFolderPath(CSIDL_DESKTOP, desktop);
  if (LinkExists(desktop)) {
    f.cbDesktop->SetChecked(true);
    f.cbDesktopClick(f.cbDesktop);
  }
  std::string quickLaunch;
  GetQuickLaunchFolder(quickLaunch);
  if (quickLaunch.empty()) {
    f.cbTaskbar->SetEnabled(false);
  } else if (LinkExists(quickLaunch)) {
    f.cbTaskbar->SetChecked(true);
    f.cbTaskbarClick(f.cbTaskbar);
  }
  std::string programs;
  GetSpecialFolderPath(CSIDL_PROGRAMS, programs);
  if (LinkExists(programs)) {
    f.cbStartMenu->SetChecked(true);
    f.cbStartMenuClick(f.cbStartMenu);
  }
}

bool TEasyLaunchPage::LinkExists(const std::string& folder) {
  if (folder.empty()) return false;
  const std::string file = AddPath(folder, LinkFileName());
  if (!FileExists(file)) return false;
  TShellLinkInfo info;
  if (form_ && ReadShellLink(file, info) && info.HotKey != 0) {
    // A hot key set elsewhere that the list does not offer leaves the selection alone.
    const int index = form_->comboShortCut->IndexOf(ShortCutToText(HotKeyToShortCut(info.HotKey)));
    if (index > 0) form_->comboShortCut->SetItemIndex(index);
  }
  return true;
}

void TEasyLaunchPage::GetQuickLaunchFolder(std::string& folder) {
  folder = ReadRegString(HKEY_CURRENT_USER,
                         "Software\\Microsoft\\Windows\\CurrentVersion\\GrpConv\\MapGroups",
                         "Quick Launch", "");
  if (!folder.empty()) return;
  const std::string appData = ReadRegString(
      HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      "AppData", "");
  if (!appData.empty()) folder = AddPath(appData, "Microsoft\\Internet Explorer\\Quick Launch");
}

void TEasyLaunchPage::Apply() {
  if (!form_) return;
  TEasyLaunchForm& f = *form_;
  std::string desktop;
  GetSpecialFolderPath(CSIDL_DESKTOP, desktop);
  UpdateLink(desktop, f.cbDesktop->Checked());
  if (f.cbTaskbar->Enabled()) {
    std::string quickLaunch;
    GetQuickLaunchFolder(quickLaunch);
    UpdateLink(quickLaunch, f.cbTaskbar->Checked());
  }
  std::string programs;
  GetSpecialFolderPath(CSIDL_PROGRAMS, programs);
  UpdateLink(programs, f.cbStartMenu->Checked());
}

void TEasyLaunchPage::UpdateLink(const std::string& folder, bool create) {
  if (folder.empty() || !form_) return;
  const std::string file = AddPath(folder, LinkFileName());
  if (!create) {
    // The uninstall note stays: it only lists what might need removing.
    if (FileExists(file)) DeleteFileA(file.c_str());
    return;
  }
  TShellLinkInfo info;
  info.Path = ExeName;
  // The list's choice counts even while the list is disabled (Quick Launch alone).
  if (form_->comboShortCut->ItemIndex() > 0)
    info.HotKey = ShortCutToHotKey(TextToShortCut(form_->comboShortCut->Text()));
  CreateShellLink(LinkFileName(), folder, 0, info);
  RecordUninstallIcon(file);
}

bool TEasyLaunchPage::HasUninstallNote(HKEY root, const std::string& path) const {
  TRegistryEx reg(root);
  return reg.OpenKeyReadOnly(std::string(UninstallIconsKey) + Title) && reg.ValueExists(path);
}

bool TEasyLaunchPage::RecordUninstallIcon(const std::string& path) {
  // A shortcut made again keeps the note it has, wherever that is: nothing is written.
  if (HasUninstallNote(MachineRoot, path) || HasUninstallNote(HKEY_CURRENT_USER, path))
    return true;
  // The machine's key is where an uninstaller looks first; a standard user may not write
  // it, and then the note goes to the user's own key, which the uninstaller reads as well.
  // Either way the shortcuts are made and Apply goes on.
  for (HKEY root : {MachineRoot, HKEY_CURRENT_USER}) {
    TRegistry reg(root);
    if (!reg.OpenKey(std::string(UninstallIconsKey) + Title, true)) continue;
    try {
      reg.WriteString(path, "");
      return true;
    } catch (const ERegistryException&) {
    }
  }
  return false;
}

void TEasyLaunchPage::LoadPageIcon(TPageIcon& icon, int size) {
  HICON loaded = nullptr;
  if (!IconResName.empty())
    loaded = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), IconResName.c_str(), IMAGE_ICON, size, size, 0));
  if (loaded) {
    icon.Set(loaded, false);
    return;
  }
  icon.Set(static_cast<HICON>(LoadImageA(nullptr, MAKEINTRESOURCEA(32517), IMAGE_ICON, size,
                                         size, LR_SHARED)),
           true);
}

void TEasyLaunchPage::ClosePage() {
  if (!form_) return;
  form_->panEasyLaunch->SetParent(form_.get());
  form_->ImgIcon->Icon = nullptr;
  form_.reset();
}

// --- TEasyLaunchDlg -----------------------------------------------------------------------

TEasyLaunchDlg::TEasyLaunchDlg(TComponent* owner) : TForm(owner) {
  Name = "EasyLaunchDlg";
  BorderStyle = bsDialog;
  SetClientSize(376, 412);

  Book = Make<TPageControl>(this);
  Book->Name = "Book";
  Book->SetBounds(6, 6, 364, 369);
  Book->SetParent(this);
  TabSheet1 = Book->AddPage("");
  TabSheet1->Name = "TabSheet1";
  TabSheet1->SetTabVisible(false);

  btnOk = Make<TButton>(this);
  btnOk->Name = "btnOk";
  btnOk->Default = true;
  btnOk->SetBounds(214, 382, 75, 23);
  btnOk->SetParent(this);
  btnOk->OnClick = [this](TComponent* s) { btnOkClick(s); };

  btnCancel = Make<TButton>(this);
  btnCancel->Name = "btnCancel";
  btnCancel->Cancel = true;
  btnCancel->ModalResult = mrCancel;
  btnCancel->SetBounds(295, 382, 75, 23);
  btnCancel->SetParent(this);
}

void TEasyLaunchDlg::btnOkClick(TComponent*) {
  if (EasyLaunchPage) EasyLaunchPage->Apply();
  ModalResult = mrOk;
}

void ShowEasyLaunchDlg(HWND parent, const std::string& title) {
  if (!EasyLaunchPage) EasyLaunchPage = std::make_unique<TEasyLaunchPage>();
  TEasyLaunchPage& page = *EasyLaunchPage;
  auto dlg = std::make_unique<TEasyLaunchDlg>(nullptr);
  // Whatever happens while it runs, the page goes back to its form and the form goes.
  struct TCloser {
    TEasyLaunchPage& Page;
    ~TCloser() {
      Page.ClosePage();
      EasyLaunchDlg = nullptr;
    }
  } closer{page};

  page.Reset();
  page.ParentControl = dlg->TabSheet1;
  page.UpdateTexts();
  page.Title = title;
  page.IconResName = "MAINICON";
  dlg->TabSheet1->SetCaption(page.Caption);
  dlg->TabSheet1->SetTabVisible(true);
  dlg->SetCaption(OvShared(91));
  dlg->btnOk->SetCaption(OvShared(87));
  dlg->btnCancel->SetCaption(OvShared(86));
  page.ShowPage();
  EasyLaunchDlg = dlg.get();
  CenterWindow(parent, dlg->Handle());
  dlg->ShowModal();
}
