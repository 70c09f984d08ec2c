#include "delivery/DragDropComps.h"

#include "delivery/ComPtr.h"
#include "delivery/Win2KUtils.h"
#include "delivery/fDragging.h"

namespace {
int cursorHidden = 0;
}  // namespace

void HideDragCursor() {
  if (++cursorHidden == 1) ShowCursor(FALSE);
}

void RestoreDragCursor() {
  if (cursorHidden == 0) return;
  if (--cursorHidden == 0) ShowCursor(TRUE);
}

int DragCursorHideCount() { return cursorHidden; }

TDragService::TDragService(TComponent* owner) : TComponent(owner) {}
TDragService::~TDragService() = default;

void TDragService::StartDrag(const std::string& title) {
  TFilesDragDropDataObj* object = NewComObject<TFilesDragDropDataObj>(
      [this](void* sender, std::string& data, bool dropping, bool& cancel) {
        RelayGetStrData(sender, data, dropping, cancel);
      });
  ExecuteDrag(object, title);
}

void TDragService::ExecuteDrag(TFilesDragDropDataObj* object, const std::string& title) {
  // The drag's own references; the object dies when the target, too, lets it go.
  auto data = TComPtr<IDataObject>::QueryFrom(object);
  auto source = TComPtr<IDropSource>::QueryFrom(object);
  DWORD effect = 0;
  {
    // However the drag ends, a drop target may keep the data object: from then on it must
    // not call into this service, its window or its owner, all of which may be gone.
    struct TDetach {
      TFilesDragDropDataObj* object;
      ~TDetach() { object->DetachOwner(); }
    } detach{object};
    if (DefaultDragEffects || !LayeredSupported()) {
      object->OnGiveFeedback = [](TDragObject*, DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; };
      DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    } else {
      HideDragCursor();
      dragForm_ = std::make_unique<TDragForm>(nullptr);
      dragForm_->LTitle->SetCaption(title);
      TDragForm* form = dragForm_.get();
      object->OnGiveFeedback = [form](TDragObject* sender, DWORD e) {
        return form->DragFeedback(sender, e);
      };
      if (!form->StartFeedback()) {
        object->DetachOwner();
        dragForm_.reset();
        RestoreDragCursor();
        return;
      }
      struct TFinally {
        TDragService* self;
        TFilesDragDropDataObj* object;
        ~TFinally() {
          object->DetachOwner();  // before the window it would call goes
          self->dragForm_->EndFeedback();
          self->dragForm_.reset();
          RestoreDragCursor();
        }
      } cleanup{this, object};
      DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    }
  }
  if (OnEndDrag) OnEndDrag(this);
}

void TDragService::RelayGetStrData(void*, std::string& data, bool dropping, bool& cancel) {
  if (dropping) {
    // The cursor is back and the floating window gone before the owner prepares the
    // file, which may take a while.
    RestoreDragCursor();
    if (dragForm_) dragForm_->EndFeedback();
  }
  if (OnGetStrData)
    OnGetStrData(this, data, dropping, cancel);
  else
    cancel = true;
}
