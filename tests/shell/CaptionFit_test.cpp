// Every caption of every window, in every shipped language, measured in the font it is drawn
// in against the room its control gives it: nothing may be cut off or run into a neighbour.
// The windows are the program's own, built and labelled by its code under Wine.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "../desktop/EasyLaunchSandbox.h"
#include "TestFolder.h"
#include "audio/fRecord.h"
#include "audio/fSlider.h"
#include "delivery/fDragSource.h"
#include "desktop/dEasyLaunch.h"
#include "desktop/fEasyLaunch.h"
#include "mls/MLSLanguageCodes.h"
#include "mls/VocaletMLS.h"
#include "mls/ovMLS.h"
#include "shell/InfoViewer.h"
#include "shell/ProgramModules.h"
#include "shell/fFakeProgress.h"
#include "shell/fMain.h"
#include "shell/fVMOptions.h"
#include "shell/vmOptions.h"
#include "toolkit/ComboBox.h"
#include "util/ovUtils.h"

namespace {

// English and the shipped translations, by language index, with the ANSI code page their
// texts are stored in. A text is measured only where it shows as its readers see it: under
// that code page (the Cyrillic run of this test sets a Russian locale).
struct TLanguage {
  int index;
  UINT codepage;
};
constexpr TLanguage kLanguages[] = {{4, 1252}, {3, 1252},  {5, 1252},  {7, 1252},
                                    {9, 1252}, {10, 1252}, {12, 1252}, {13, 1251}};

// The extent of a text in a font, as DrawText lays it out; `width` > 0 wraps at that width.
SIZE Extent(HFONT font, const std::string& text, UINT flags, int width = 0) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  RECT r{0, 0, width, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_CALCRECT | flags | (width > 0 ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

SIZE Extent(const TFontSpec& spec, const std::string& text, UINT flags, int width = 0) {
  HFONT font = CreateFontFrom(spec);
  SIZE s = Extent(font, text, flags, width);
  DeleteObject(font);
  return s;
}

HFONT FontOf(HWND wnd) {
  auto font = reinterpret_cast<HFONT>(SendMessageA(wnd, WM_GETFONT, 0, 0));
  return font ? font : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

// Collects what does not fit, one line each, for the failure message.
struct Fit {
  std::string language;
  std::vector<std::string> faults;

  void Need(bool ok, const std::string& where, const std::string& text, SIZE need, SIZE room) {
    if (ok) return;
    faults.push_back(language + ": " + where + " \"" + text + "\" needs " +
                     std::to_string(need.cx) + " x " + std::to_string(need.cy) + ", has " +
                     std::to_string(room.cx) + " x " + std::to_string(room.cy));
  }
  void Within(const std::string& where, const std::string& text, SIZE need, SIZE room) {
    Need(need.cx <= room.cx && need.cy <= room.cy, where, text, need, room);
  }

  void Label(const std::string& where, TLabel* l, const std::string& text) {
    UINT prefix = l->ShowAccelChar ? 0 : DT_NOPREFIX;
    if (l->WordWrap) {
      Within(where, text, Extent(l->Font, text, prefix, l->Width()), {l->Width(), l->Height()});
      return;
    }
    SIZE need = Extent(l->Font, text, prefix);
    // A label that sizes itself still has to stay inside its parent.
    int room = l->AutoSize ? l->Parent()->Width() - l->Left() : l->Width();
    Within(where, text, need, {room, l->AutoSize ? need.cy : l->Height()});
  }
  void Label(const std::string& where, TLabel* l) { Label(where, l, l->Caption()); }

  void SpeedButton(const std::string& where, TSpeedButton* b) {
    if (b->Caption().empty()) return;
    SIZE text = Extent(b->Font, b->Caption(), DT_NOPREFIX);
    int gw = b->Glyph().Empty() ? 0 : b->Glyph().Width();
    int gh = b->Glyph().Empty() ? 0 : b->Glyph().Height();
    int gap = gw ? 4 : 0;
    // The edge takes a pixel at each side, and a pressed button moves its face by one.
    SIZE need = b->GlyphOnTop ? SIZE{text.cx, gh + gap + text.cy} : SIZE{gw + gap + text.cx, text.cy};
    Within(where, b->Caption(), SIZE{need.cx + 3, need.cy + 3}, {b->Width(), b->Height()});
  }

  // A control of the system's BUTTON class in the font its window draws with.
  void Button(const std::string& where, TButtonControl* b) {
    if (b->Caption().empty()) return;
    SIZE text = Extent(FontOf(b->Handle()), b->Caption(), 0);
    int extra = 0;
    if (dynamic_cast<TCheckBox*>(b) || dynamic_cast<TRadioButton*>(b)) {
      // The box or dot, the gap after it, and the focus frame around the text.
      extra = GetSystemMetrics(SM_CXMENUCHECK) + 4 + 2;
    } else if (dynamic_cast<TGroupBox*>(b)) {
      extra = 2 * 8;
    } else {
      extra = 2 * (GetSystemMetrics(SM_CXEDGE) + 2);
    }
    Within(where, b->Caption(), {text.cx + extra, text.cy}, {b->Width(), b->Height()});
  }

  // A title bar: the caption between the icon and the buttons.
  void TitleBar(const std::string& where, TForm* form, bool tool, int buttons) {
    NONCLIENTMETRICSA m{};
    m.cbSize = sizeof m;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
    HFONT font = CreateFontIndirectA(tool ? &m.lfSmCaptionFont : &m.lfCaptionFont);
    SIZE text = Extent(font, form->Caption(), DT_NOPREFIX);
    DeleteObject(font);
    RECT wr;
    GetWindowRect(form->Handle(), &wr);
    int buttonWidth = tool ? m.iSmCaptionWidth : m.iCaptionWidth;
    int room = (wr.right - wr.left) - buttons * buttonWidth - 2 * GetSystemMetrics(SM_CXFRAME) -
               (tool ? 4 : GetSystemMetrics(SM_CXSMICON) + 6);
    Within(where, form->Caption(), text, {room, text.cy});
  }

  // Labels and buttons of one parent must not lie over each other.
  void Apart(const std::string& where, const std::vector<TControl*>& controls) {
    for (size_t i = 0; i < controls.size(); ++i)
      for (size_t j = i + 1; j < controls.size(); ++j) {
        RECT a = controls[i]->BoundsRect(), b = controls[j]->BoundsRect(), both;
        if (IntersectRect(&both, &a, &b))
          faults.push_back(language + ": " + where + " \"" + controls[i]->Caption() +
                           "\" runs into \"" + controls[j]->Caption() + "\"");
      }
  }

  std::string Report() const {
    std::string all;
    for (const std::string& f : faults) all += f + "\n";
    return all;
  }
};

void WriteOptions(const std::string& message) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Quindle\\Vocalet", true));
  for (const char* name : {"HideTips", "AutoRecord", "AutoPlay", "BeepOnRecord", "AutoClose",
                           "Mono", "PackOnSend", "Bits16"})
    reg.WriteString(name, "0");
  reg.WriteString("GSM610", "1");
  reg.WriteInteger("PlainSize", 0);
  reg.WriteString("MsgFileName", message);
  reg.WriteInteger("DurationSec", 0);
  reg.WriteInteger("MinWaveLevel", 0);
}

struct CaptionFit : ::testing::Test {
  TestFolder folder;
  std::string message;
  void SetUp() override {
    // The run for another code page says which one it is set up for: a missing locale
    // would otherwise measure the same languages twice.
    if (const char* codepage = getenv("VOCALET_EXPECT_CODEPAGE")) {
      ASSERT_EQ(GetACP(), static_cast<UINT>(atoi(codepage))) << "locale not installed?";
    }
    message = folder.Path() + "\\fit.wav";
    WriteOptions(message);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Quindle\\MLS", true));
    reg.WriteInteger("Vocalet", 4);
  }
  void TearDown() override {
    TRegistry reg;
    if (reg.OpenKey("Software\\Quindle\\MLS", true)) reg.WriteInteger("Vocalet", 4);
  }

  // Runs `check` once in every shipped language, with the main window open and shown.
  void InEveryLanguage(const std::function<void(TVocaletForm&, Fit&)>& check) {
    TProgramModules modules;
    TApplication app;
    TVocaletForm* form = app.CreateForm<TVocaletForm>();
    form->Show();
    app.ProcessMessages();
    Fit fit;
    int measured = 0;
    for (auto [language, codepage] : kLanguages) {
      if (codepage != GetACP()) continue;
      ++measured;
      MLSManager->SelectLanguage(language);
      ASSERT_EQ(MLSManager->Language(), language) << "language " << language << " not shipped";
      fit.language = LanguageCode(language);
      app.ProcessMessages();
      check(*form, fit);
    }
    MLSManager->SelectLanguage(4);
    form->Close();
    EXPECT_GT(measured, 0) << "no shipped language uses the code page " << GetACP();
    EXPECT_TRUE(fit.faults.empty()) << fit.Report();
  }
};

void InfoViewerTipsFit(TVocaletForm& f, Fit& fit) {
  TInfoViewer* v = f.InfoViewer;
  fit.Label("tips title", v->LTitle);
  fit.SpeedButton("tips Next", v->btnNext);
  fit.SpeedButton("tips Back", v->btnBack);
  for (size_t i = 0; i < v->TipCount(); ++i) {
    v->NextTip();
    fit.Label("tip " + std::to_string(v->TipIndex()), v->LTip, ConvertLineBreaks(v->CurrentTip()));
  }
}

TEST_F(CaptionFit, MainWindowToolbarAndStatusLine) {
  for (bool recorded : {false, true}) {
    if (recorded) {
      std::ofstream(message, std::ios::binary) << std::string(44, '\0');
    } else {
      DeleteFileA(message.c_str());
    }
    InEveryLanguage([&](TVocaletForm& f, Fit& fit) {
      // The toolbar draws each caption under its picture, inside the button's edges.
      HWND bar = f.ToolBar->Handle();
      HFONT font = FontOf(bar);
      for (TToolButton* b : f.ToolBar->Buttons()) {
        if (b->IsSeparator() || !b->Visible() || b->Caption().empty()) continue;
        RECT r = b->BoundsRect();
        SIZE text = Extent(font, b->Caption(), DT_NOPREFIX);
        fit.Within("toolbar " + b->Name, b->Caption(), text,
                   {r.right - r.left - 2 * GetSystemMetrics(SM_CXEDGE), text.cy});
      }
      // The status line ends before the two level indicators.
      fit.Label("status line", f.LMessageInfo);
      const int end = f.panVolume->Left();
      const TLabel* last = f.LDetails->Visible() ? f.LDetails : f.LMessageInfo;
      fit.Need(last->Left() + last->Width() <= end, "status line ends before the indicators",
               f.LMessageInfo->Caption(), {last->Left() + last->Width(), 0}, {end, 0});
      if (f.LDetails->Visible()) fit.Label("details link", f.LDetails);
      // Every tip fits the information panel.
      InfoViewerTipsFit(f, fit);
    });
  }
}

TEST_F(CaptionFit, RecorderPanel) {
  InEveryLanguage([](TVocaletForm& f, Fit& fit) {
    TRecorderForm* r = f.RecorderFrame;
    for (TSpeedButton* b : {r->btnRecord, r->btnPlay, r->btnStop, r->btnPause, r->btnClose})
      fit.SpeedButton("recorder " + b->Name, b);
    fit.Label("recorder compression", r->LGsm);
    for (const std::string* text : {&RecorderTexts.Recording, &RecorderTexts.Playing,
                                    &RecorderTexts.Paused}) {
      r->LStatus->SetCaption(*text);
      fit.Label("recorder status", r->LStatus);
      // The status ends before the elapsed time, drawn right-aligned in its own box; a
      // quarter of an hour is as long as a message gets in practice.
      std::string time = RecorderTexts.TimeFormat;
      time.replace(time.find("%d"), 2, "999");
      const int timeLeft = r->LTime->Left() + r->LTime->Width() -
                           Extent(r->LTime->Font, time, DT_NOPREFIX).cx;
      const int statusRight = r->LStatus->Left() + r->LStatus->Width();
      fit.Need(statusRight <= timeLeft, "recorder status before the time", *text,
               {statusRight, 0}, {timeLeft, 0});
    }
    for (const std::string* text : {&RecorderTexts.Mono, &RecorderTexts.Stereo}) {
      r->LMono->SetCaption(*text);
      fit.Label("recorder channels", r->LMono);
      RECT m = r->LMono->BoundsRect(), g = r->PeakGauge->BoundsRect(), both;
      fit.Need(!IntersectRect(&both, &m, &g), "recorder channels beside the gauge", *text,
               {m.right, 0}, {g.left, 0});
    }
  });
}

TEST_F(CaptionFit, OptionsAndEasyLaunchDialogs) {
  InEveryLanguage([](TVocaletForm& f, Fit& fit) {
    auto options = std::make_unique<TPropertiesForm>(nullptr);
    options->Handle();
    fit.TitleBar("options title", options.get(), false, 1);
    fit.Label("options intro", options->LGeneral);
    for (TButtonControl* b : {static_cast<TButtonControl*>(options->cbBeepOnRecord),
                              static_cast<TButtonControl*>(options->cbEnableGSM),
                              static_cast<TButtonControl*>(options->rbPackOnRecord),
                              static_cast<TButtonControl*>(options->rbPackOnSend),
                              static_cast<TButtonControl*>(options->cbAutoClose),
                              static_cast<TButtonControl*>(options->btnEasyLaunch),
                              static_cast<TButtonControl*>(options->btnOK),
                              static_cast<TButtonControl*>(options->btnCancel)})
      fit.Button("options " + b->Name, b);
    options.reset();

    WhileModal([] { return EasyLaunchDlg ? EasyLaunchDlg->Handle() : nullptr; },
               [&fit] {
                 TEasyLaunchDlg& d = *EasyLaunchDlg;
                 TEasyLaunchForm& p = *EasyLaunchPage->Form();
                 fit.TitleBar("Easy Launch title", &d, false, 1);
                 fit.Button("Easy Launch OK", d.btnOk);
                 fit.Button("Easy Launch Cancel", d.btnCancel);
                 for (TButtonControl* b : {static_cast<TButtonControl*>(p.gbShowIcon),
                                           static_cast<TButtonControl*>(p.cbDesktop),
                                           static_cast<TButtonControl*>(p.cbTaskbar),
                                           static_cast<TButtonControl*>(p.cbStartMenu)})
                   fit.Button("Easy Launch " + b->Name, b);
                 for (TLabel* l : {p.LPrompt, p.LPreview, p.LShortcut, p.LNote, p.LNoteText})
                   fit.Label("Easy Launch " + l->Name, l);
                 fit.Apart("Easy Launch note", {p.LNote, p.LNoteText});
                 // The widest hot key shows whole in the list's field.
                 HFONT font = FontOf(p.comboShortCut->Handle());
                 for (const std::string& item : p.comboShortCut->Items()) {
                   SIZE s = Extent(font, item, DT_NOPREFIX);
                   fit.Within("hot-key list", item, s,
                              {p.comboShortCut->Width() - GetSystemMetrics(SM_CXVSCROLL) - 6,
                               s.cy});
                 }
                 d.ModalResult = mrCancel;
               },
               [&f] { ShowEasyLaunchDlg(f.Handle(), "Quindle Vocalet"); });
  });
}

TEST_F(CaptionFit, SliderDragAndAttachAndProgress) {
  InEveryLanguage([](TVocaletForm& f, Fit& fit) {
    // The slider window writes its device upwards along its paint box.
    ASSERT_NE(SliderForm, nullptr);
    TPaintBox* device = SliderForm->PaintBoxDevice;
    for (const std::string* text : {&SliderVolumeText, &SliderMicrophoneText}) {
      SIZE s = Extent(device->Font, *text, DT_NOPREFIX);
      fit.Within("slider device", *text, {s.cx, s.cy}, {device->Height(), device->Width()});
    }

    TDragNAttachForm drag(nullptr);
    drag.SetCaption(DragNAttachCaption);
    drag.LDrag->SetCaption(DragNAttachPrompt);
    drag.Handle();
    fit.TitleBar("Drag & Attach title", &drag, true, 1);
    fit.Label("Drag & Attach prompt", drag.LDrag);

    ProgressCaption = MLS_VOCALET->Strings[10];
    ProgressPrompt = MLS_VOCALET->Strings[11];
    ShowProgressNow(&f, false);
    ASSERT_NE(ProgressForm, nullptr);
    fit.Label("progress prompt", ProgressForm->LPrompt);
    HideProgress();
  });
}

}  // namespace
