// TDragService: makes its owner an OLE drag source for files. One call runs a whole drag,
// asks the owner for the file names only when a target takes the data, and reports the
// end. During the drag it shows OLE's cursors or the feedback window TDragForm.
#pragma once

#include <memory>
#include <string>

#include "delivery/DataObjUtils.h"
#include "toolkit/Controls.h"

class TDragForm;

// The system cursor stays hidden while the feedback window's pictures stand in for it;
// nested hides count, and a restore without a hide does nothing.
void HideDragCursor();
void RestoreDragCursor();
int DragCursorHideCount();

class TDragService : public TComponent {
 public:
  explicit TDragService(TComponent* owner);
  ~TDragService() override;

  bool DefaultDragEffects = false;
  TGetTextDataEvent OnGetStrData;
  TNotifyEvent OnEndDrag;

  // Returns when the drag is over, after OnEndDrag; with the feedback window and no hook
  // library nothing happens at all (no drag, no OnEndDrag).
  void StartDrag(const std::string& title);
  TDragForm* DragForm() const { return dragForm_.get(); }

 private:
  void ExecuteDrag(TFilesDragDropDataObj* object, const std::string& title);
  void RelayGetStrData(void* sender, std::string& data, bool dropping, bool& cancel);
  std::unique_ptr<TDragForm> dragForm_;
};
