// TDragForm: the small feedback window that follows the mouse during a file drag. Its blue
// background is keyed out and the rest drawn at 190/255 opacity; it lets every mouse event
// through, so OLE finds the drop target beneath. The drag hook library moves it, because
// this program receives no mouse messages while OLE runs its drag loop.
#pragma once

#include "delivery/DataObjUtils.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

// The feedback window's place relative to the pointer, its key colour and its opacity.
constexpr int kDragOffsetX = 1;
constexpr int kDragOffsetY = 1;
constexpr BYTE kDragOpacity = 190;

class TDragForm : public TForm {
 public:
  explicit TDragForm(TComponent* owner);

  TImage* imgIcon;
  TImage* imgNoDrop;
  TImage* imgCanDrop;
  TLabel* LTitle;

  // Places and shows the window at the pointer and starts the hook; false (nothing
  // shown) when the hook library is not available.
  bool StartFeedback();
  // Stops the hook, unloads the library and hides the window; again harmless.
  void EndFeedback();
  // The data object's OnGiveFeedback while the window is in use.
  HRESULT DragFeedback(TDragObject* sender, DWORD effect);
  bool CanDrop() const { return canDrop_; }

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  void ShowPicture(bool canDrop);
  bool canDrop_ = false;
};
