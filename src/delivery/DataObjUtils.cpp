#include "delivery/DataObjUtils.h"

#include <cstring>

#include "delivery/DropFiles.h"

TSupportedFormatEtc::TSupportedFormatEtc(DWORD tymed, CLIPFORMAT format, TGetDataEvent getter)
    : OnGetData(std::move(getter)) {
  FormatEtc.cfFormat = format;
  FormatEtc.tymed = tymed;
}

// --- TDataObj: IUnknown ---------------------------------------------------------------

void* TDataObj::FindInterface(REFIID iid) {
  if (iid == IID_IUnknown || iid == IID_IDataObject) return static_cast<IDataObject*>(this);
  if (iid == IID_IEnumFORMATETC) return static_cast<IEnumFORMATETC*>(this);
  return nullptr;
}

HRESULT TDataObj::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = FindInterface(iid);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG TDataObj::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refCount_)); }

ULONG TDataObj::Release() {
  LONG left = InterlockedDecrement(&refCount_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

// --- TDataObj: IDataObject ------------------------------------------------------------

const TSupportedFormatEtc* TDataObj::Match(const FORMATETC& request) const {
  // The tymed must be the very value offered: a request that also allows another medium
  // is not ours to answer.
  for (const auto& entry : Formats)
    if (entry->FormatEtc.cfFormat == request.cfFormat && entry->FormatEtc.tymed == request.tymed)
      return entry.get();
  return nullptr;
}

HRESULT TDataObj::GetData(FORMATETC* request, STGMEDIUM* medium) {
  if (!request || !medium) return E_INVALIDARG;
  std::memset(medium, 0, sizeof *medium);
  const TSupportedFormatEtc* entry = Match(*request);
  if (!entry) return DV_E_FORMATETC;
  if (!entry->OnGetData) return E_NOTIMPL;
  try {
    return entry->OnGetData(entry->FormatEtc, *medium);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT TDataObj::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT TDataObj::QueryGetData(FORMATETC* request) {
  return request && Match(*request) ? S_OK : E_INVALIDARG;
}

HRESULT TDataObj::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) { return E_NOTIMPL; }
HRESULT TDataObj::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT TDataObj::EnumFormatEtc(DWORD, IEnumFORMATETC** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  EnumIndex = 0;
  return QueryInterface(IID_IEnumFORMATETC, reinterpret_cast<void**>(out));
}

HRESULT TDataObj::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return E_NOTIMPL; }
HRESULT TDataObj::DUnadvise(DWORD) { return E_NOTIMPL; }

HRESULT TDataObj::EnumDAdvise(IEnumSTATDATA** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

// --- TDataObj: IEnumFORMATETC ---------------------------------------------------------

HRESULT TDataObj::Next(ULONG, FORMATETC* out, ULONG* fetched) {
  // One element per call, whatever count is asked for.
  if (!out) return E_POINTER;
  std::memset(out, 0, sizeof *out);
  bool delivered = EnumIndex >= 0 && static_cast<size_t>(EnumIndex) < Formats.size();
  if (delivered) {
    const FORMATETC& entry = Formats[EnumIndex]->FormatEtc;
    out->cfFormat = entry.cfFormat;
    out->ptd = nullptr;
    out->dwAspect = DVASPECT_CONTENT;
    out->lindex = -1;
    out->tymed = entry.tymed;
  }
  if (fetched) *fetched = delivered ? 1 : 0;
  ++EnumIndex;
  return delivered ? S_OK : S_FALSE;
}

HRESULT TDataObj::Skip(ULONG) { return E_NOTIMPL; }

HRESULT TDataObj::Reset() {
  EnumIndex = 0;
  return S_OK;
}

HRESULT TDataObj::Clone(IEnumFORMATETC** out) {
  if (out) *out = nullptr;
  return E_NOTIMPL;
}

// --- TDragObject ----------------------------------------------------------------------

void* TDragObject::FindInterface(REFIID iid) {
  if (iid == IID_IDropSource) return static_cast<IDropSource*>(this);
  return TDataObj::FindInterface(iid);
}

HRESULT TDragObject::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
  if (escapePressed) return DRAGDROP_S_CANCEL;
  if (keyState & (MK_LBUTTON | MK_RBUTTON)) return S_OK;
  // Set before OLE tells the target to drop, so that the target's data request inside
  // its Drop sees it.
  Dropping = true;
  return DRAGDROP_S_DROP;
}

HRESULT TDragObject::GiveFeedback(DWORD effect) {
  if (!OnGiveFeedback) return DRAGDROP_S_USEDEFAULTCURSORS;
  try {
    return OnGiveFeedback(this, effect);
  } catch (...) {
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }
}

// --- TFilesDragDropDataObj ------------------------------------------------------------

TFilesDragDropDataObj::TFilesDragDropDataObj(TGetTextDataEvent onGetStrData)
    : OnGetStrData(std::move(onGetStrData)) {
  Formats.push_back(std::make_unique<TSupportedFormatEtc>(
      TYMED_HGLOBAL, static_cast<CLIPFORMAT>(CF_HDROP),
      [this](const FORMATETC& format, STGMEDIUM& medium) {
        return RenderHDrop(format, medium);
      }));
}

void TFilesDragDropDataObj::DetachOwner() {
  detached_ = true;
  OnGiveFeedback = nullptr;
  OnGetStrData = nullptr;
}

HRESULT TFilesDragDropDataObj::RenderHDrop(const FORMATETC& format, STGMEDIUM& medium) {
  if (format.cfFormat != CF_HDROP) return E_NOTIMPL;
  // After the drag only the list handed out at the drop is still true.
  if (detached_ && FileList.empty()) return E_FAIL;
  // Asked only until a list came: the owner's answer is kept for every later request.
  if (!Cancelled && FileList.empty() && OnGetStrData) {
    std::string data = FileList;
    bool cancel = Cancelled;
    try {
      OnGetStrData(this, data, Dropping, cancel);
    } catch (...) {
      return E_UNEXPECTED;
    }
    FileList = std::move(data);
    Cancelled = cancel;
  }
  if (Cancelled) return E_FAIL;

  std::vector<unsigned char> block = BuildDropFilesBlock(FileList);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, block.size());
  if (!memory) return E_OUTOFMEMORY;
  void* bytes = GlobalLock(memory);
  if (!bytes) {
    GlobalFree(memory);
    return E_OUTOFMEMORY;
  }
  std::memcpy(bytes, block.data(), block.size());
  GlobalUnlock(memory);
  // No pUnkForRelease: the receiver frees the block with ReleaseStgMedium.
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = memory;
  medium.pUnkForRelease = nullptr;
  return S_OK;
}
