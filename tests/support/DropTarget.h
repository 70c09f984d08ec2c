// A drop target in the test's own process, and what a drag's data object lists.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <string>
#include <vector>

// The files the data object lists as the shell reads them, and the size of the block that
// lists them; 0 when it gives none.
inline size_t DroppedFiles(IDataObject* data, std::vector<std::string>* paths) {
  FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM m{};
  if (data->GetData(&f, &m) != S_OK) return 0;
  const size_t size = GlobalSize(m.hGlobal);
  auto drop = static_cast<HDROP>(m.hGlobal);
  for (UINT i = 0, n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0); paths && i < n; ++i) {
    char name[MAX_PATH] = {};
    DragQueryFileA(drop, i, name, MAX_PATH);
    paths->push_back(name);
  }
  ReleaseStgMedium(&m);
  return size;
}

// The COM side of a drop target that the test owns; it answers its own drags.
struct TDropTarget : IDropTarget {
  virtual ~TDropTarget() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = (iid == IID_IUnknown || iid == IID_IDropTarget) ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
};
