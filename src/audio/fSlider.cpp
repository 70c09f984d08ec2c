#include "audio/fSlider.h"

#include "audio/LevelBar.h"
#include "audio/SliderLevels.h"
#include "util/Handles.h"

std::string SliderVolumeText = "Volume";
std::string SliderMicrophoneText = "Microphone";
TSliderForm* SliderForm = nullptr;

namespace {
// Where the window opens relative to the mouse pointer: the pointer lands on the slider.
constexpr int kPointerLeft = 45, kPointerTop = 60;
constexpr TColor kCaptionColor = RGB(255, 206, 54);  // amber, as the recorder's display

TImage* HiddenPicture(TSliderForm* form, const char* resource) {
  auto* img = Make<TImage>(form);  // no parent: a picture source only, never shown
  img->AutoSize = true;
  img->LoadFromResource(resource);
  return img;
}

// The canvas font turned by 90 degrees, so that text reads from bottom to top.
HFONT CreateUpwardFont(const TFontSpec& font) {
  LOGFONTA lf{};
  lf.lfHeight = font.Height;
  lf.lfEscapement = 900;
  lf.lfOrientation = 900;
  lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = font.Italic;
  lf.lfUnderline = font.Underline;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  const std::string face = font.Name == "Default" ? TFontSpec{}.Name : font.Name;
  lstrcpynA(lf.lfFaceName, face.c_str(), LF_FACESIZE);
  return CreateFontIndirectA(&lf);
}
}  // namespace

TSliderForm::TSliderForm(TComponent* owner) : TForm(owner) {
  Name = "SliderForm";
  BorderStyle = bsNone;
  FormStyle = fsStayOnTop;
  Font.Name = "Tahoma";
  Font.Height = -11;
  Font.Color = kCaptionColor;

  ImgBkg = Make<TImage>(this);
  ImgBkg->SetParent(this);
  ImgBkg->AutoSize = true;
  ImgBkg->LoadFromResource("IMG_SLIDERBKG");
  ImgBkg->SetBounds(0, 0, ImgBkg->Picture().Width(), ImgBkg->Picture().Height());
  ImgBkg->OnMouseDown = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
    ImgBkgMouseDown(s, b, sh, x, y);
  };
  ImgBkg->OnMouseMove = [this](TComponent* s, TShiftState sh, int x, int y) {
    ImgBkgMouseMove(s, sh, x, y);
  };
  ImgBkg->OnMouseUp = [this](TComponent* s, TMouseButton b, TShiftState sh, int x, int y) {
    ImgBkgMouseUp(s, b, sh, x, y);
  };

  btnClose = Make<TSpeedButton>(this);
  btnClose->SetParent(this);
  btnClose->Flat = true;
  btnClose->SetBounds(ImgBkg->Width() - 17 - 3, 3, 17, 14);
  btnClose->Glyph().LoadFromResourceName(ModuleInstance(), "IMG_SLIDERCLOSE");
  btnClose->Glyph().Transparent = true;
  btnClose->Glyph().TransparentColor = RGB(255, 0, 255);
  btnClose->OnClick = [this](TComponent* s) { btnCloseClick(s); };

  imgSliderHandle = HiddenPicture(this, "IMG_SLIDERHANDLE");
  imgSliderBkg = HiddenPicture(this, "IMG_SLIDERTRACK");

  PaintBoxDevice = Make<TPaintBox>(this);
  PaintBoxDevice->SetParent(this);
  PaintBoxDevice->SetBounds(1, 24, 18, 70);
  PaintBoxDevice->Font = Font;
  PaintBoxDevice->OnPaint = [this](TComponent* s, TCanvas& c) { PaintBoxDevicePaint(s, c); };

  PaintBoxLevel = Make<TPaintBox>(this);
  PaintBoxLevel->SetParent(this);
  PaintBoxLevel->SetBounds(19, 24, 15, 70);  // where the background's lime wedge lies
  PaintBoxLevel->OnPaint = [this](TComponent* s, TCanvas& c) { PaintBoxLevelPaint(s, c); };

  // The paint boxes cover much of the background: they move the window as it does.
  for (TPaintBox* box : {PaintBoxDevice, PaintBoxLevel}) {
    box->OnMouseDown = ImgBkg->OnMouseDown;
    box->OnMouseMove = ImgBkg->OnMouseMove;
    box->OnMouseUp = ImgBkg->OnMouseUp;
  }

  Slider = Make<TSlider>(this);
  Slider->SetParent(this);
  Slider->SetBounds(36, 25, 24, 68);
  Slider->SetStyle(ssVertical);
  Slider->SetMin(0);
  Slider->SetMax(100);
  Slider->Cursor = LoadCursor(nullptr, IDC_HAND);
  Slider->SetTranspColor(clLime);
  Slider->SetTransparent(true);
  Slider->SetHolderImage(imgSliderHandle);
  Slider->SetBkgImage(imgSliderBkg);
  Slider->SetPosition(50);
  Slider->OnChange = [this](TComponent* s) { SliderChange(s); };

  SetClientSize(ImgBkg->Width(), ImgBkg->Height());
  VolumeFader = std::make_unique<TFader>([this](TMixerLineControl* s) { VolumeChanged(s); });
  VolumeFader->Open(mlMaster);
  MicFader = std::make_unique<TFader>([this](TMixerLineControl* s) { MicrophoneChanged(s); });
  MicFader->Open(mlMicrophone);
  ActiveFader = VolumeFader.get();
  DeviceCaption = SliderVolumeText;
}

TSliderForm::~TSliderForm() {
  ActiveFader = nullptr;
  VolumeFader.reset();
  MicFader.reset();
  if (SliderForm == this) SliderForm = nullptr;
}

void TSliderForm::SyncLevels() {
  VolumeChanged(VolumeFader.get());
  MicrophoneChanged(MicFader.get());
}

bool TSliderForm::IsShortCut(WORD key, TShiftState shift) {
  // The window takes the keyboard when it opens; the main window's menu keys (Ctrl+V and
  // Ctrl+M among them) must go on working.
  TForm* main = Application ? Application->MainForm() : nullptr;
  return main && main != this && main->IsShortCut(key, shift);
}

void TSliderForm::btnCloseClick(TComponent*) { Close(); }

void TSliderForm::SliderChange(TComponent*) {
  if (ActiveFader) ActiveFader->SetPosition(LevelOfSliderPosition(Slider->Position(), Slider->Max()));
  // The mixer's change message comes back at once and redraws the level bar.
  if (Application) Application->ProcessMessages();
  // Not every driver answers a change of our own with a message (under Wine the bar stood
  // still): the bar follows the slider in any case.
  if (Visible()) DrawLevelBarNow();
}

void TSliderForm::DrawLevelBarNow() {
  PaintBoxLevel->DrawNow([this](TCanvas& c) { PaintBoxLevelPaint(PaintBoxLevel, c); });
}

void TSliderForm::VolumeChanged(TMixerLineControl*) { FaderChanged(VolumeFader.get(), true); }

void TSliderForm::MicrophoneChanged(TMixerLineControl*) { FaderChanged(MicFader.get(), false); }

void TSliderForm::FaderChanged(TFader* fader, bool volume) {
  const DWORD level = fader ? fader->Position : 0;
  const TLevelEvent& event = volume ? OnVolumeChange : OnMicrophoneChange;
  if (event) event(this, UnlitSteps(level));
  // The other mode's level only goes to the main window; the slider shows its own.
  if (volume != VolumeMode) return;
  // Set from here, the slider raises no change event: a mixer change never writes back.
  Slider->SetPosition(SliderPositionOfLevel(level, Slider->Max()));
  if (Visible()) DrawLevelBarNow();
}

void TSliderForm::PaintBoxLevelPaint(TComponent*, TCanvas& canvas) {
  DrawLevelBar(canvas.Handle(), PaintBoxLevel->Width(), PaintBoxLevel->Height(),
               LevelBarTop(Slider->Height(), Slider->Position()), ImgBkg->Picture(),
               PaintBoxLevel->Left() - ImgBkg->Left(), PaintBoxLevel->Top() - ImgBkg->Top());
}

void TSliderForm::PaintBoxDevicePaint(TComponent*, TCanvas& canvas) {
  if (DeviceCaption.empty()) return;
  HDC dc = canvas.Handle();
  GdiObject font(CreateUpwardFont(PaintBoxDevice->Font));
  if (!font) return;
  HGDIOBJ old = SelectObject(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(PaintBoxDevice->Font.Color));
  TextOutA(dc, 0, PaintBoxDevice->Height(), DeviceCaption.c_str(),
           static_cast<int>(DeviceCaption.size()));
  SelectObject(dc, old);
  SetBkMode(dc, OPAQUE);
}

POINT TSliderForm::InBackground(TComponent* sender, int x, int y) const {
  if (auto* c = dynamic_cast<TControl*>(sender); c && c != ImgBkg)
    return POINT{x + c->Left() - ImgBkg->Left(), y + c->Top() - ImgBkg->Top()};
  return POINT{x, y};
}

void TSliderForm::ImgBkgMouseDown(TComponent* sender, TMouseButton, TShiftState, int x, int y) {
  const POINT p = InBackground(sender, x, y);
  DragOrigin.X = static_cast<WORD>(p.x);
  DragOrigin.Y = static_cast<WORD>(p.y);
  Dragging = true;
}

void TSliderForm::ImgBkgMouseMove(TComponent* sender, TShiftState, int x, int y) {
  if (!Dragging) return;
  const POINT p = InBackground(sender, x, y);
  SetBounds(Left() - DragOrigin.X + p.x, Top() - DragOrigin.Y + p.y, Width(), Height());
}

void TSliderForm::ImgBkgMouseUp(TComponent*, TMouseButton, TShiftState, int, int) {
  Dragging = false;
}

TSliderForm* CreateSliderWindow() {
  if (SliderForm || !Application) return SliderForm;
  const TForm* main = Application->MainForm();
  SliderForm = Application->CreateForm<TSliderForm>();
  // Never the program's main form, even when it is the first: closing it only hides it.
  if (!main) Application->SetMainForm(nullptr);
  return SliderForm;
}

void ShowSliderWindow(bool volumeMode) {
  TSliderForm* f = CreateSliderWindow();
  if (!f) return;
  f->VolumeMode = volumeMode;
  f->DeviceCaption = volumeMode ? SliderVolumeText : SliderMicrophoneText;
  f->ActiveFader = volumeMode ? f->VolumeFader.get() : f->MicFader.get();
  if (!f->Visible()) {
    POINT p{};
    GetCursorPos(&p);
    f->SetBounds(p.x - kPointerLeft, p.y - kPointerTop, f->Width(), f->Height());
  }
  f->SyncLevels();
  if (f->Visible()) f->Invalidate();
  f->Show();
}

void HideSliderWindow() {
  if (SliderForm) SliderForm->Hide();
}
