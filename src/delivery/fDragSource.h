// The Drag & Attach window: a small stay-on-top tool window next to the mouse whose icon
// the user drags into an open mail message. It closes by itself when the drag is over.
#pragma once

#include <functional>
#include <string>

#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

class TGradient;
class TDragService;

// The window's caption and prompt in the current language; the main window renews them
// whenever it applies a language.
extern std::string DragNAttachCaption;
extern std::string DragNAttachPrompt;

// Where the window opens: its right edge 5 pixels right of the pointer, its top 15 above,
// never off the left or top of the screen.
POINT DragNAttachPosition(POINT cursor, int outerWidth);

class TDragNAttachForm : public TForm {
 public:
  explicit TDragNAttachForm(TComponent* owner);

  TGradient* Gradient;
  TLabel* LDrag;
  TImage* Image1;
  TDragService* DragService;

  std::string FileName;
  // Runs at the drop, before the target gets the path (the main window compresses the
  // message there when its options say so).
  std::function<void()> OnPrepare;
  bool Dropped = false;

  bool IsShortCut(WORD key, TShiftState shift) override;

 protected:
  void CreateParams(TCreateParams& params) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void DoShow() override;

 private:
  void FormCreate();
  void cmdBeginDrag();
  void DragServiceGetStrData(std::string& data, bool dropping, bool& cancel);
  void DragServiceEndDrag();
};

// Shows the window modally for one message file; true when the message was dropped.
bool ShowDragNAttach(const std::string& fileName, std::function<void()> onPrepare = nullptr);
