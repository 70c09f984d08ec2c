// Every caption of every window, in every shipped language, measured in the font it is drawn
// in against the room its control gives it: nothing may be cut off or run into a neighbour.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

#include "../desktop/EasyLaunchSandbox.h"
#include "TestFolder.h"
#include "audio/fRecord.h"
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
#include "util/ovUtils.h"

namespace {

// The shipped languages by index, each measured under the ANSI code page of its texts.
constexpr std::pair<int, UINT> kLanguages[] = {{4, 1252}, {3, 1252},  {5, 1252},  {7, 1252},
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
  const SIZE s = Extent(font, text, flags, width);
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

  void Within(const std::string& where, const std::string& text, SIZE need, SIZE room) {
    if (need.cx > room.cx || need.cy > room.cy)
      faults.push_back(language + ": " + where + " \"" + text + "\" needs " +
                       std::to_string(need.cx) + " x " + std::to_string(need.cy) + ", has " +
                       std::to_string(room.cx) + " x " + std::to_string(room.cy));
  }
  // A label, a speed button or a system button, each as it is drawn.
  void Control(TControl* c, const std::string& text) {
    const std::string& where = c->Name;
    if (text.empty()) return;
    if (auto* l = dynamic_cast<TLabel*>(c)) {
      const UINT prefix = l->ShowAccelChar ? 0 : DT_NOPREFIX;
      const SIZE need = Extent(l->Font, text, prefix, l->WordWrap ? l->Width() : 0);
      // A label that sizes itself still has to stay inside its parent.
      const int room = l->AutoSize && !l->WordWrap ? l->Parent()->Width() - l->Left() : l->Width();
      Within(where, text, need, {room, l->AutoSize && !l->WordWrap ? need.cy : l->Height()});
    } else if (auto* b = dynamic_cast<TSpeedButton*>(c)) {
      const SIZE t = Extent(b->Font, text, DT_NOPREFIX);
      const int gw = b->Glyph().Empty() ? 0 : b->Glyph().Width() + 4;
      const int gh = b->Glyph().Empty() ? 0 : b->Glyph().Height() + 4;
      // The edge takes a pixel at each side, and a pressed button moves its face by one.
      const SIZE need = b->GlyphOnTop ? SIZE{t.cx, gh + t.cy} : SIZE{gw + t.cx, t.cy};
      Within(where, text, {need.cx + 3, need.cy + 3}, {b->Width(), b->Height()});
    } else if (auto* w = dynamic_cast<TButtonControl*>(c)) {
      const SIZE t = Extent(FontOf(w->Handle()), text, 0);
      int extra = 2 * (GetSystemMetrics(SM_CXEDGE) + 2);
      // The box or dot, the gap after it, and the focus frame around the text.
      if (dynamic_cast<TCheckBox*>(w) || dynamic_cast<TRadioButton*>(w))
        extra = GetSystemMetrics(SM_CXMENUCHECK) + 4 + 2;
      else if (dynamic_cast<TGroupBox*>(w))
        extra = 2 * 8;
      Within(where, text, {t.cx + extra, t.cy}, {w->Width(), w->Height()});
    } else {
      faults.push_back(where + ": no measure for this kind of control");
    }
  }
  void Controls(std::initializer_list<TControl*> controls) {
    for (TControl* c : controls) Control(c, c->Caption());
  }
  // The right edge of `a` stays left of `limit`.
  void Before(TControl* a, int limit, const std::string& text) {
    Within(a->Name + " ends before", text, {a->Left() + a->Width(), 0}, {limit, 0});
  }
};

TEST(CaptionFit, EveryCaptionOfEveryWindowFitsInEveryShippedLanguage) {
  // Else a missing locale would measure the same languages twice.
  if (const char* codepage = getenv("VOCALET_EXPECT_CODEPAGE")) {
    ASSERT_EQ(GetACP(), static_cast<UINT>(atoi(codepage))) << "locale not installed?";
  }
  RegistrySandbox registry;  // the options and the language chosen stay out of the user's
  ASSERT_TRUE(registry.Ok);
  TestFolder folder;
  const std::string message = folder.Path() + "\\fit.wav";
  const char* key = "Software\\Quindle\\Vocalet";
  for (const char* name : {"Quality ", "PlainSize", "DurationSec", "MinWaveLevel"})
    PutDword(key, name, 0);
  PutString(key, "GSM610", "1");
  PutString(key, "MsgFileName", message);
  TProgramModules modules;
  TApplication app;
  TVocaletForm& f = *app.CreateForm<TVocaletForm>();
  f.Show();
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

    // The toolbar draws each caption under its picture, inside the button's edges.
    HFONT font = FontOf(f.ToolBar->Handle());
    for (TToolButton* b : f.ToolBar->Buttons()) {
      if (b->IsSeparator() || !b->Visible() || b->Caption().empty()) continue;
      const SIZE text = Extent(font, b->Caption(), DT_NOPREFIX);
      const RECT r = b->BoundsRect();
      fit.Within(b->Name, b->Caption(), text,
                 {r.right - r.left - 2 * GetSystemMetrics(SM_CXEDGE), text.cy});
    }
    // The status line, without and with a message, ends before the level indicators.
    for (bool recorded : {false, true}) {
      DeleteFileA(message.c_str());
      if (recorded) std::ofstream(message, std::ios::binary) << std::string(44, '\0');
      f.UpdateMessageInfo();
      fit.Controls({f.LMessageInfo, f.LDetails});
      fit.Before(f.LDetails->Visible() ? f.LDetails : f.LMessageInfo, f.panVolume->Left(),
                 f.LMessageInfo->Caption());
    }
    TInfoViewer* v = f.InfoViewer;
    fit.Controls({v->LTitle, v->btnNext, v->btnBack});
    for (size_t i = 0; i < v->TipCount(); ++i) {
      v->NextTip();
      fit.Control(v->LTip, ConvertLineBreaks(v->CurrentTip()));
    }

    TRecorderForm* r = f.RecorderFrame;
    fit.Controls({r->btnRecord, r->btnPlay, r->btnStop, r->btnPause, r->btnClose, r->LGsm});
    // The status ends before the elapsed time, drawn right-aligned in its own box; a
    // quarter of an hour is as long as a message gets in practice.
    std::string time = RecorderTexts.TimeFormat;
    time.replace(time.find("%d"), 2, "999");
    const int timeLeft = r->LTime->Left() + r->LTime->Width() -
                         Extent(r->LTime->Font, time, DT_NOPREFIX).cx;
    const std::tuple<TLabel*, const std::string*, int> states[] = {
        {r->LStatus, &RecorderTexts.Recording, timeLeft},
        {r->LStatus, &RecorderTexts.Playing, timeLeft},
        {r->LStatus, &RecorderTexts.Paused, timeLeft},
        {r->LMono, &RecorderTexts.Mono, r->PeakGauge->Left()},
        {r->LMono, &RecorderTexts.Stereo, r->PeakGauge->Left()}};
    for (auto [label, text, limit] : states) {
      label->SetCaption(*text);
      fit.Controls({label});
      fit.Before(label, limit, *text);
    }

    TPropertiesForm options(nullptr);
    fit.Controls({options.LGeneral, options.cbBeepOnRecord, options.cbEnableGSM,
                  options.rbPackOnRecord, options.rbPackOnSend, options.cbAutoClose,
                  options.btnEasyLaunch, options.btnOK, options.btnCancel});
    WhileModal([] { return EasyLaunchDlg ? EasyLaunchDlg->Handle() : nullptr; },
               [&fit] {
                 TEasyLaunchDlg& d = *EasyLaunchDlg;
                 TEasyLaunchForm& p = *EasyLaunchPage->Form();
                 fit.Controls({d.btnOk, d.btnCancel, p.gbShowIcon, p.cbDesktop, p.cbTaskbar,
                               p.cbStartMenu, p.LPrompt, p.LPreview, p.LShortcut, p.LNote,
                               p.LNoteText});
                 fit.Before(p.LNote, p.LNoteText->Left(), p.LNote->Caption());
                 d.ModalResult = mrCancel;
               },
               [&f] { ShowEasyLaunchDlg(f.Handle(), "Quindle Vocalet"); });

    TDragNAttachForm drag(nullptr);
    drag.LDrag->SetCaption(DragNAttachPrompt);
    fit.Controls({drag.LDrag});
    ProgressCaption = MLS_VOCALET->Strings[10];
    ProgressPrompt = MLS_VOCALET->Strings[11];
    ShowProgressNow(&f, false);
    fit.Controls({ProgressForm->LPrompt});
    HideProgress();
  }
  MLSManager->SelectLanguage(4);
  f.Close();
  EXPECT_GT(measured, 0) << "no shipped language uses the code page " << GetACP();
  EXPECT_TRUE(fit.faults.empty()) << ::testing::PrintToString(fit.faults);
}

}  // namespace
