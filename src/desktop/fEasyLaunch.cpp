#include "desktop/fEasyLaunch.h"

#include "desktop/EasyLaunchArt.h"
#include "desktop/ShortCutKeys.h"
#include "desktop/dEasyLaunch.h"
#include "mls/ovSharedMLS.h"

namespace {

// The preview's frame: a single black line, as a picture frame rather than a raised panel.
class TFramePanel : public TPanel {
 public:
  using TPanel::TPanel;

 protected:
  void CreateParams(TCreateParams& p) override {
    TPanel::CreateParams(p);
    p.Style |= WS_BORDER;
  }
};

template <typename T>
T* Place(TForm* form, TWinControl* parent, const char* name, int left, int top, int width,
         int height) {
  T* c = Make<T>(form);
  c->Name = name;
  c->SetParent(parent);
  c->SetBounds(left, top, width, height);
  return c;
}

TLabel* PlaceLabel(TForm* form, TWinControl* parent, const char* name, int left, int top,
                   int width, int height, bool wordWrap) {
  auto* l = Place<TLabel>(form, parent, name, left, top, width, height);
  l->AutoSize = !wordWrap;
  l->WordWrap = wordWrap;
  l->Transparent = true;
  l->ShowAccelChar = true;
  return l;
}

const std::string& OvShared(int index) { return MLS_OVSHARED->Strings[index]; }

}  // namespace

TEasyLaunchForm::TEasyLaunchForm(TComponent* owner, TEasyLaunchPage& page)
    : TForm(owner), page_(page) {
  Name = "EasyLaunchForm";
  BorderStyle = bsDialog;
  SetClientSize(355, 341);

  panEasyLaunch = Place<TPanel>(this, this, "panEasyLaunch", 0, 0, 355, 341);
  panEasyLaunch->BevelOuter = bvNone;
  panEasyLaunch->ShowCaption = false;

  ImgIcon = Place<TImage>(this, panEasyLaunch, "ImgIcon", 22, 24, 32, 32);
  LPrompt = PlaceLabel(this, panEasyLaunch, "LPrompt", 70, 27, 273, 40, true);

  gbShowIcon = Place<TGroupBox>(this, panEasyLaunch, "gbShowIcon", 22, 78, 143, 150);
  cbDesktop = Place<TCheckBox>(this, gbShowIcon, "cbDesktop", 13, 32, 120, 17);
  cbTaskbar = Place<TCheckBox>(this, gbShowIcon, "cbTaskbar", 13, 63, 120, 17);
  cbStartMenu = Place<TCheckBox>(this, gbShowIcon, "cbStartMenu", 13, 96, 120, 17);
  cbDesktop->OnClick = [this](TComponent* s) { cbDesktopClick(s); };
  cbTaskbar->OnClick = [this](TComponent* s) { cbTaskbarClick(s); };
  cbStartMenu->OnClick = [this](TComponent* s) { cbStartMenuClick(s); };

  LPreview = PlaceLabel(this, panEasyLaunch, "LPreview", 174, 68, 60, 13, false);

  // The preview: a desktop with two standard icons, ours, and the taskbar along the bottom.
  Panel1 = Place<TFramePanel>(this, panEasyLaunch, "Panel1", 173, 82, 175, 200);
  Panel1->BevelOuter = bvNone;
  Panel1->ShowCaption = false;
  Shape1 = Place<TPaintBox>(this, Panel1, "Shape1", 0, 0, 171, 169);
  Shape1->OnPaint = [](TComponent* s, TCanvas& canvas) {
    canvas.SetBrushColor(GetSysColor(COLOR_DESKTOP));
    RECT r = static_cast<TControl*>(s)->ClientRect();
    canvas.FillRect(r);
  };
  auto desktopCaption = [this](TLabel* l, const char* text) {
    l->Alignment = taCenter;
    l->Font.Color = clWhite;
    l->ShowAccelChar = false;
    l->SetCaption(text);
  };
  Image1 = Place<TImage>(this, Panel1, "Image1", 18, 10, 32, 32);
  DrawComputerIcon(Image1->Picture());
  Label1 = PlaceLabel(this, Panel1, "Label1", 0, 44, 68, 26, true);
  desktopCaption(Label1, "My Computer");
  Image2 = Place<TImage>(this, Panel1, "Image2", 18, 78, 32, 32);
  DrawDocumentsIcon(Image2->Picture());
  Label2 = PlaceLabel(this, Panel1, "Label2", 0, 112, 68, 26, true);
  desktopCaption(Label2, "My Documents");
  PaintBoxIco32 = Place<TPaintBox>(this, Panel1, "PaintBoxIco32", 110, 12, 32, 32);
  PaintBoxIco32->OnPaint = [this](TComponent* s, TCanvas& c) { PaintBoxIco32Paint(s, c); };
  LIcon = PlaceLabel(this, Panel1, "LIcon", 87, 48, 78, 55, true);
  LIcon->Alignment = taCenter;
  LIcon->Font.Color = clWhite;
  Image3 = Place<TImage>(this, Panel1, "Image3", 0, 169, 173, 29);
  DrawTaskbar(Image3->Picture(), 173, 29, 139);
  PaintBoxIco16 = Place<TPaintBox>(this, Panel1, "PaintBoxIco16", 139, 174, 16, 16);
  PaintBoxIco16->OnPaint = [this](TComponent* s, TCanvas& c) { PaintBoxIco16Paint(s, c); };
  imgStart = Place<TImage>(this, Panel1, "imgStart", 2, 161, 19, 19);
  DrawCheckBadge(imgStart->Picture());
  for (TControl* c : {static_cast<TControl*>(LIcon), static_cast<TControl*>(PaintBoxIco32),
                      static_cast<TControl*>(PaintBoxIco16), static_cast<TControl*>(imgStart)})
    c->SetVisible(false);

  LShortcut = PlaceLabel(this, panEasyLaunch, "LShortcut", 22, 246, 100, 13, false);
  comboShortCut = Make<TComboBox>(this);
  comboShortCut->Name = "comboShortCut";
  comboShortCut->DropDownCount = 12;
  comboShortCut->SetBounds(22, 261, 114, 21);
  comboShortCut->SetEnabled(false);
  comboShortCut->Color = clBtnFace;
  comboShortCut->SetParent(panEasyLaunch);
  comboShortCut->OnClick = [this](TComponent* s) { comboShortCutClick(s); };

  LNote = PlaceLabel(this, panEasyLaunch, "LNote", 24, 294, 60, 13, false);
  LNoteText = PlaceLabel(this, panEasyLaunch, "LNoteText", 104, 294, 245, 40, true);

  FormCreate(this);
}

void TEasyLaunchForm::FormCreate(TComponent*) {
  std::vector<std::string> items;
  FillShortCutList(items, OvShared(45));
  comboShortCut->SetItems(items);
  comboShortCut->SetItemIndex(0);
}

void TEasyLaunchForm::ApplyTexts() {
  LPrompt->SetCaption(OvShared(96));
  LShortcut->SetCaption(OvShared(97));
  LPreview->SetCaption(OvShared(95));
  gbShowIcon->SetCaption(OvShared(92));
  cbDesktop->SetCaption(OvShared(88));
  cbTaskbar->SetCaption(OvShared(90));
  cbStartMenu->SetCaption(OvShared(89));
  LNote->SetCaption(OvShared(93));
  LNoteText->SetCaption(OvShared(94));
}

void TEasyLaunchForm::UpdateShortcutCombo() {
  // A hot key belongs to the desktop or Start menu shortcut: the shell only serves hot keys
  // of those, so Quick Launch alone offers none.
  const bool enabled = cbDesktop->Checked() || cbStartMenu->Checked();
  comboShortCut->SetEnabled(enabled);
  comboShortCut->Color = enabled ? clWindow : clBtnFace;
}

void TEasyLaunchForm::cbDesktopClick(TComponent*) {
  const bool on = cbDesktop->Checked();
  LIcon->SetVisible(on);
  PaintBoxIco32->SetVisible(on);
  UpdateShortcutCombo();
}

void TEasyLaunchForm::cbTaskbarClick(TComponent*) {
  PaintBoxIco16->SetVisible(cbTaskbar->Checked());
  UpdateShortcutCombo();
}

void TEasyLaunchForm::cbStartMenuClick(TComponent*) {
  imgStart->SetVisible(cbStartMenu->Checked());
  UpdateShortcutCombo();
}

void TEasyLaunchForm::comboShortCutClick(TComponent*) {}

void TEasyLaunchForm::PaintBoxIco16Paint(TComponent*, TCanvas& canvas) {
  if (page_.SmallIcon())
    DrawIconEx(canvas.Handle(), 0, 0, page_.SmallIcon(), 16, 16, 0, nullptr, DI_NORMAL);
}

void TEasyLaunchForm::PaintBoxIco32Paint(TComponent*, TCanvas& canvas) {
  if (page_.LargeIcon())
    DrawIconEx(canvas.Handle(), 0, 0, page_.LargeIcon(), 32, 32, 0, nullptr, DI_NORMAL);
}
