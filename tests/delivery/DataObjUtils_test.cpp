// The file drag's data object through its COM interfaces, as OLE and drop targets use it.
#include "delivery/DataObjUtils.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstring>
#include <memory>
#include <stdexcept>

#include "delivery/ComPtr.h"

namespace {

FORMATETC Request(CLIPFORMAT format, DWORD tymed) {
  return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, tymed};
}

std::vector<unsigned char> BlockOf(const STGMEDIUM& medium) {
  auto* bytes = static_cast<unsigned char*>(GlobalLock(medium.hGlobal));
  std::vector<unsigned char> block(bytes, bytes + GlobalSize(medium.hGlobal));
  GlobalUnlock(medium.hGlobal);
  return block;
}

// A file data object as the drag service makes it, with a scripted owner that counts its
// calls; the owner's lambda holds a token whose expiry shows the object was destroyed.
struct Owner {
  int calls = 0;
  std::string answer = "C:\\a.wav";
  bool cancel = false;
  std::vector<bool> droppingSeen;
  std::weak_ptr<int> alive;

  TFilesDragDropDataObj* Make() {
    auto token = std::make_shared<int>(0);
    alive = token;
    return NewComObject<TFilesDragDropDataObj>(
        [this, token](void*, std::string& data, bool dropping, bool& cancelOut) {
          ++calls;
          droppingSeen.push_back(dropping);
          data = answer;
          if (cancel) cancelOut = true;
        });
  }
};

class FilesDataObject : public ::testing::Test {
 protected:
  Owner owner;
  TFilesDragDropDataObj* object = owner.Make();
  TComPtr<IDataObject> data = TComPtr<IDataObject>::QueryFrom(object);

  HRESULT Get(CLIPFORMAT format, DWORD tymed, std::vector<unsigned char>* block = nullptr) {
    FORMATETC request = Request(format, tymed);
    STGMEDIUM medium;
    std::memset(&medium, 0xCC, sizeof medium);
    HRESULT hr = data->GetData(&request, &medium);
    if (hr == S_OK) {
      EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
      EXPECT_EQ(medium.pUnkForRelease, nullptr);
      if (block) *block = BlockOf(medium);
      ReleaseStgMedium(&medium);
    } else {
      EXPECT_EQ(medium.tymed, 0u) << "the medium is left empty";
      EXPECT_EQ(medium.hGlobal, nullptr);
    }
    return hr;
  }
};

TEST_F(FilesDataObject, CfHdropInGlobalMemoryIsTheOnlyFormat) {
  std::vector<unsigned char> block;
  EXPECT_EQ(Get(CF_HDROP, TYMED_HGLOBAL, &block), S_OK);
  EXPECT_EQ(block.size(), 31u);
  EXPECT_EQ(Get(CF_HDROP, TYMED_HGLOBAL | TYMED_ISTREAM), DV_E_FORMATETC);  // 5
  EXPECT_EQ(Get(CF_HDROP, TYMED_ISTREAM), DV_E_FORMATETC);
  EXPECT_EQ(Get(CF_TEXT, TYMED_HGLOBAL), DV_E_FORMATETC);

  FORMATETC ok = Request(CF_HDROP, TYMED_HGLOBAL), both = Request(CF_HDROP, 5),
            text = Request(CF_TEXT, TYMED_HGLOBAL);
  EXPECT_EQ(data->QueryGetData(&ok), S_OK);
  EXPECT_EQ(data->QueryGetData(&both), E_INVALIDARG);
  EXPECT_EQ(data->QueryGetData(&text), E_INVALIDARG);
}

TEST_F(FilesDataObject, AspectAndIndexOfARequestAreNotCompared) {
  FORMATETC request{CF_HDROP, nullptr, DVASPECT_ICON, 7, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  ASSERT_EQ(data->GetData(&request, &medium), S_OK);
  ReleaseStgMedium(&medium);
  EXPECT_EQ(data->QueryGetData(&request), S_OK);
}

TEST_F(FilesDataObject, TheBlockIsAnHdropTheShellReads) {
  owner.answer = "C:\\Temp\\vocalet.wav";
  FORMATETC request = Request(CF_HDROP, TYMED_HGLOBAL);
  STGMEDIUM medium{};
  ASSERT_EQ(data->GetData(&request, &medium), S_OK);
  auto drop = static_cast<HDROP>(medium.hGlobal);
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 1u);
  char name[MAX_PATH] = {};
  DragQueryFileA(drop, 0, name, MAX_PATH);
  EXPECT_STREQ(name, "C:\\Temp\\vocalet.wav");
  std::vector<unsigned char> block = BlockOf(medium);
  ASSERT_EQ(block.size(), 20u + 19 + 3);
  const unsigned char header[20] = {20, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(block.data(), header, 20), 0);
  ReleaseStgMedium(&medium);
}

TEST_F(FilesDataObject, TheEnumeratorHasOneElementThenSFalse) {
  TComPtr<IEnumFORMATETC> e;
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, e.put()), S_OK);
  FORMATETC got[3];
  std::memset(got, 0xCC, sizeof got);
  ULONG fetched = 99;
  EXPECT_EQ(e->Next(3, got, &fetched), S_OK);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(got[0].cfFormat, CF_HDROP);
  EXPECT_EQ(got[0].ptd, nullptr);
  EXPECT_EQ(got[0].dwAspect, static_cast<DWORD>(DVASPECT_CONTENT));
  EXPECT_EQ(got[0].lindex, -1);
  EXPECT_EQ(got[0].tymed, static_cast<DWORD>(TYMED_HGLOBAL));

  std::memset(got, 0xCC, sizeof got);
  EXPECT_EQ(e->Next(1, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  FORMATETC zero{};
  EXPECT_EQ(std::memcmp(&got[0], &zero, sizeof zero), 0);
  EXPECT_EQ(e->Next(1, got, nullptr), S_FALSE);

  EXPECT_EQ(e->Reset(), S_OK);
  EXPECT_EQ(e->Next(1, got, nullptr), S_OK);
  EXPECT_EQ(e->Skip(1), E_NOTIMPL);
  IEnumFORMATETC* clone = reinterpret_cast<IEnumFORMATETC*>(1);
  EXPECT_EQ(e->Clone(&clone), E_NOTIMPL);
  EXPECT_EQ(clone, nullptr);
}

TEST_F(FilesDataObject, EveryEnumeratorSharesTheOneCursor) {
  TComPtr<IEnumFORMATETC> first, second;
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, first.put()), S_OK);
  FORMATETC got;
  EXPECT_EQ(first->Next(1, &got, nullptr), S_OK);
  EXPECT_EQ(first->Next(1, &got, nullptr), S_FALSE);
  // The set direction gives the same list, and a new enumerator starts the old one over.
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_SET, second.put()), S_OK);
  EXPECT_EQ(first->Next(1, &got, nullptr), S_OK);
  EXPECT_EQ(second->Next(1, &got, nullptr), S_FALSE);
}

TEST_F(FilesDataObject, TheOwnerIsAskedOnceAListCameAndTheFlagSaysWhetherItIsTheDrop) {
  owner.answer = "";
  std::vector<unsigned char> block;
  EXPECT_EQ(Get(CF_HDROP, TYMED_HGLOBAL, &block), S_OK);
  EXPECT_EQ(block.size(), 23u) << "an empty list while hovering";
  EXPECT_EQ(Get(CF_HDROP, TYMED_HGLOBAL), S_OK);
  EXPECT_EQ(owner.calls, 2) << "an empty answer is asked again";

  TComPtr<IDropSource> source = TComPtr<IDropSource>::QueryFrom(data.get());
  EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
  EXPECT_TRUE(object->Dropping);
  owner.answer = "C:\\a.wav";
  EXPECT_EQ(Get(CF_HDROP, TYMED_HGLOBAL, &block), S_OK);
  EXPECT_EQ(block.size(), 31u);
  EXPECT_EQ(Get(CF_HDROP, TYMED_HGLOBAL, &block), S_OK);
  EXPECT_EQ(block.size(), 31u);
  EXPECT_EQ(owner.calls, 3) << "a list is kept for later requests";
  EXPECT_EQ(owner.droppingSeen, (std::vector<bool>{false, false, true}));
}

TEST_F(FilesDataObject, ACancelFailsThisAndEveryLaterRequest) {
  owner.cancel = true;
  EXPECT_EQ(Get(CF_HDROP, TYMED_HGLOBAL), E_FAIL);
  EXPECT_TRUE(object->Cancelled);
  owner.cancel = false;
  EXPECT_EQ(Get(CF_HDROP, TYMED_HGLOBAL), E_FAIL);
  EXPECT_EQ(Get(CF_HDROP, TYMED_HGLOBAL), E_FAIL);
  EXPECT_EQ(owner.calls, 1);
}

TEST_F(FilesDataObject, WithoutAnOwnerTheTargetGetsAnEmptyList) {
  object->OnGetStrData = nullptr;
  std::vector<unsigned char> block;
  EXPECT_EQ(Get(CF_HDROP, TYMED_HGLOBAL, &block), S_OK);
  EXPECT_EQ(block.size(), 23u);
}

TEST_F(FilesDataObject, AnOwnerThatThrowsFailsTheRequestOnly) {
  object->OnGetStrData = [](void*, std::string&, bool, bool&) { throw std::runtime_error("x"); };
  EXPECT_EQ(Get(CF_HDROP, TYMED_HGLOBAL), E_UNEXPECTED);
  EXPECT_TRUE(object->FileList.empty());
  EXPECT_FALSE(object->Cancelled);
}

TEST_F(FilesDataObject, TheDropSourceFollowsEscapeAndTheTwoMainButtons) {
  TComPtr<IDropSource> source = TComPtr<IDropSource>::QueryFrom(data.get());
  EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_RBUTTON | MK_SHIFT), S_OK);
  EXPECT_FALSE(object->Dropping);
  // Released buttons drop, whichever one started the drag; the middle one plays no part.
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_MBUTTON | MK_CONTROL), DRAGDROP_S_DROP);
  EXPECT_TRUE(object->Dropping);

  EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
  TDragObject* sender = nullptr;
  DWORD effect = 0;
  object->OnGiveFeedback = [&](TDragObject* s, DWORD e) {
    sender = s;
    effect = e;
    return S_OK;
  };
  EXPECT_EQ(source->GiveFeedback(DROPEFFECT_MOVE | DROPEFFECT_LINK), S_OK);
  EXPECT_EQ(sender, object);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE | DROPEFFECT_LINK));
}

TEST_F(FilesDataObject, UnsupportedMethodsSayNotImplemented) {
  FORMATETC f = Request(CF_HDROP, TYMED_HGLOBAL), g{};
  STGMEDIUM m{};
  DWORD connection = 0;
  EXPECT_EQ(data->GetDataHere(&f, &m), E_NOTIMPL);
  EXPECT_EQ(data->GetCanonicalFormatEtc(&f, &g), E_NOTIMPL);
  EXPECT_EQ(data->SetData(&f, &m, FALSE), E_NOTIMPL);
  EXPECT_EQ(data->DAdvise(&f, 0, nullptr, &connection), E_NOTIMPL);
  EXPECT_EQ(data->DUnadvise(0), E_NOTIMPL);
  IEnumSTATDATA* advises = reinterpret_cast<IEnumSTATDATA*>(1);
  EXPECT_EQ(data->EnumDAdvise(&advises), E_NOTIMPL);
  EXPECT_EQ(advises, nullptr);
}

TEST_F(FilesDataObject, QueryInterfaceGivesTheThreeInterfacesOfOneObject) {
  TComPtr<IUnknown> a = TComPtr<IUnknown>::QueryFrom(data.get());
  TComPtr<IDropSource> source = TComPtr<IDropSource>::QueryFrom(data.get());
  TComPtr<IUnknown> b = TComPtr<IUnknown>::QueryFrom(source.get());
  EXPECT_EQ(a.get(), b.get()) << "one identity";
  EXPECT_TRUE(TComPtr<IEnumFORMATETC>::QueryFrom(source.get()));
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(data->QueryInterface(IID_IStream, &none), E_NOINTERFACE);
  EXPECT_EQ(none, nullptr);
}

TEST(FilesDataObjectLifetime, TheObjectOutlivesTheDragWhileATargetHoldsIt) {
  Owner owner;
  TFilesDragDropDataObj* object = owner.Make();
  IDataObject* held = nullptr;
  {
    // The drag's references, as the service takes them for DoDragDrop.
    auto data = TComPtr<IDataObject>::QueryFrom(object);
    auto source = TComPtr<IDropSource>::QueryFrom(object);
    held = data.get();
    held->AddRef();  // a target that keeps the object after the drop
  }
  EXPECT_FALSE(owner.alive.expired());
  FORMATETC request = Request(CF_HDROP, TYMED_HGLOBAL);
  STGMEDIUM medium{};
  EXPECT_EQ(held->GetData(&request, &medium), S_OK);
  ReleaseStgMedium(&medium);
  EXPECT_EQ(held->Release(), 0u);
  EXPECT_TRUE(owner.alive.expired()) << "destroyed with the last reference";
}

TEST(FilesDataObjectLifetime, OleCanHoldItOnTheClipboardAndReadItBack) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  Owner owner;
  {
    auto data = TComPtr<IDataObject>::QueryFrom(owner.Make());
    ASSERT_EQ(OleSetClipboard(data.get()), S_OK);
  }
  EXPECT_FALSE(owner.alive.expired());
  TComPtr<IDataObject> clip;
  ASSERT_EQ(OleGetClipboard(clip.put()), S_OK);
  FORMATETC request = Request(CF_HDROP, TYMED_HGLOBAL);
  STGMEDIUM medium{};
  ASSERT_EQ(clip->GetData(&request, &medium), S_OK);
  char name[MAX_PATH] = {};
  DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0, name, MAX_PATH);
  EXPECT_STREQ(name, "C:\\a.wav");
  ReleaseStgMedium(&medium);
  clip.reset();
  OleSetClipboard(nullptr);
  EXPECT_TRUE(owner.alive.expired());
  OleUninitialize();
}

}  // namespace
