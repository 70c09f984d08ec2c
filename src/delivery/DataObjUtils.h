// The OLE data objects of a file drag: a minimal IDataObject that is its own FORMATETC
// enumerator, a drag object that is also the drop source, and the data object that hands
// out file paths as CF_HDROP, asking for them only when a target wants the data.
//
// The objects are reference-counted COM objects created with no reference: whoever needs
// one takes its references through QueryInterface (TComPtr::QueryFrom), and the object is
// destroyed with the last Release. A drop target may keep it alive after the drag.
// No method lets an exception out; a handler that throws makes the request fail.
#pragma once

#include <ole2.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TDataObj;
class TDragObject;

// Fills the medium for the entry's own FORMATETC.
using TGetDataEvent = std::function<HRESULT(const FORMATETC& format, STGMEDIUM& medium)>;
using TGiveFeedbackEvent = std::function<HRESULT(TDragObject* sender, DWORD effect)>;
// Asked for the file list as text, one full path per line. Sender: whoever raises it
// (the data object, or the drag service that relays it).
using TGetTextDataEvent =
    std::function<void(void* sender, std::string& data, bool dropping, bool& cancel)>;

// Creates a COM object of ours with no reference yet.
template <typename T, typename... Args>
T* NewComObject(Args&&... args) {
  return new T(std::forward<Args>(args)...);
}

struct TSupportedFormatEtc {
  TSupportedFormatEtc(DWORD tymed, CLIPFORMAT format, TGetDataEvent getter);
  FORMATETC FormatEtc{};
  TGetDataEvent OnGetData;
};

class TDataObj : public IDataObject, public IEnumFORMATETC {
 public:
  TDataObj(const TDataObj&) = delete;
  TDataObj& operator=(const TDataObj&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDataObject
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* request, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* request) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override;

  // IEnumFORMATETC: every enumerator of one object shares the one cursor EnumIndex.
  HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* out, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override;

  LONG EnumIndex = 0;
  std::vector<std::unique_ptr<TSupportedFormatEtc>> Formats;

 protected:
  TDataObj() = default;
  virtual ~TDataObj() = default;
  // The interface table: this object's pointer for an interface, or null.
  virtual void* FindInterface(REFIID iid);

 private:
  template <typename T, typename... Args>
  friend T* NewComObject(Args&&... args);
  // The format entry that a request names: same clipboard format, same tymed value.
  const TSupportedFormatEtc* Match(const FORMATETC& request) const;
  LONG refCount_ = 0;
};

class TDragObject : public TDataObj, public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return TDataObj::QueryInterface(iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return TDataObj::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return TDataObj::Release(); }

  // IDropSource
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

  TGiveFeedbackEvent OnGiveFeedback;
  bool Dropping = false;
  bool Cancelled = false;

 protected:
  TDragObject() = default;
  ~TDragObject() override = default;
  void* FindInterface(REFIID iid) override;
};

class TFilesDragDropDataObj : public TDragObject {
 public:
  std::string FileList;
  TGetTextDataEvent OnGetStrData;

  // The CF_HDROP getter: a new block for every request; the receiver owns it.
  HRESULT RenderHDrop(const FORMATETC& format, STGMEDIUM& medium);

  // The drag is over and whoever handled its events may be gone, while a drop target may
  // still hold this object: from now on no handler is called, a request gets the list that
  // came at the drop, and without one it fails.
  void DetachOwner();

 protected:
  explicit TFilesDragDropDataObj(TGetTextDataEvent onGetStrData);
  ~TFilesDragDropDataObj() override = default;
  template <typename T, typename... Args>
  friend T* NewComObject(Args&&... args);

 private:
  bool detached_ = false;
};
