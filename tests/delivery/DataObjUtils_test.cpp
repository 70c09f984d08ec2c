// The file drag's data object through its COM interfaces, as OLE and drop targets use it.
// The block's layout is tested on the host (DropFiles_test).
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
  // The first path of the last block given, as the shell reads it, and the block's size.
  std::pair<std::string, size_t> got;

  HRESULT Get(CLIPFORMAT format = CF_HDROP, DWORD tymed = TYMED_HGLOBAL) {
    FORMATETC request = Request(format, tymed);
    STGMEDIUM medium;
    std::memset(&medium, 0xCC, sizeof medium);
    const HRESULT hr = data->GetData(&request, &medium);
    if (hr == S_OK) {
      EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
      EXPECT_EQ(medium.pUnkForRelease, nullptr);
      char name[MAX_PATH] = {};
      DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0, name, MAX_PATH);
      got = {name, GlobalSize(medium.hGlobal)};
      ReleaseStgMedium(&medium);
    } else {
      EXPECT_EQ(medium.tymed, 0u) << "the medium is left empty";
      EXPECT_EQ(medium.hGlobal, nullptr);
    }
    return hr;
  }
};

TEST_F(FilesDataObject, CfHdropInGlobalMemoryIsTheOnlyFormat) {
  EXPECT_EQ(Get(), S_OK);
  EXPECT_EQ(got, std::make_pair(std::string("C:\\a.wav"), size_t(31)));
  EXPECT_EQ(Get(CF_HDROP, TYMED_HGLOBAL | TYMED_ISTREAM), DV_E_FORMATETC);
  EXPECT_EQ(Get(CF_HDROP, TYMED_ISTREAM), DV_E_FORMATETC);
  EXPECT_EQ(Get(CF_TEXT), DV_E_FORMATETC);
  FORMATETC ok{CF_HDROP, nullptr, DVASPECT_ICON, 7, TYMED_HGLOBAL}, both = Request(CF_HDROP, 5),
            text = Request(CF_TEXT, TYMED_HGLOBAL);
  EXPECT_EQ(data->QueryGetData(&ok), S_OK) << "aspect and index are not compared";
  EXPECT_EQ(data->QueryGetData(&both), E_INVALIDARG);
  EXPECT_EQ(data->QueryGetData(&text), E_INVALIDARG);
}

TEST_F(FilesDataObject, TheEnumeratorsShareOneCursorOverTheOneFormat) {
  TComPtr<IEnumFORMATETC> first, second;
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, first.put()), S_OK);
  FORMATETC formats[3];
  std::memset(formats, 0xCC, sizeof formats);
  ULONG fetched = 99;
  EXPECT_EQ(first->Next(3, formats, &fetched), S_OK);
  EXPECT_EQ(fetched, 1u);
  auto is = [&](const FORMATETC& f) {
    return formats[0].cfFormat == f.cfFormat && formats[0].ptd == f.ptd &&
           formats[0].dwAspect == f.dwAspect && formats[0].lindex == f.lindex &&
           formats[0].tymed == f.tymed;
  };
  EXPECT_TRUE(is(Request(CF_HDROP, TYMED_HGLOBAL)));
  EXPECT_EQ(first->Next(1, formats, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_TRUE(is(FORMATETC{})) << "emptied";
  EXPECT_EQ(first->Reset(), S_OK);
  EXPECT_EQ(first->Next(1, formats, nullptr), S_OK);
  // The set direction gives the same list, and a new enumerator starts the old one over.
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_SET, second.put()), S_OK);
  EXPECT_EQ(first->Next(1, formats, nullptr), S_OK);
  EXPECT_EQ(second->Next(1, formats, nullptr), S_FALSE);
  IEnumFORMATETC* clone = reinterpret_cast<IEnumFORMATETC*>(1);
  EXPECT_EQ(first->Clone(&clone), E_NOTIMPL);
  EXPECT_EQ(clone, nullptr);
}

TEST_F(FilesDataObject, TheOwnerIsAskedUntilAListCameAndTheFlagSaysWhetherItIsTheDrop) {
  owner.answer = "";
  EXPECT_EQ(Get(), S_OK);
  EXPECT_EQ(got.second, 23u) << "an empty list while hovering";
  EXPECT_EQ(Get(), S_OK);
  TComPtr<IDropSource> source = TComPtr<IDropSource>::QueryFrom(data.get());
  EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
  owner.answer = "C:\\Temp\\vocalet.wav";
  EXPECT_EQ(Get(), S_OK);
  owner.answer = "C:\\other.wav";
  EXPECT_EQ(Get(), S_OK);
  EXPECT_EQ(got.first, "C:\\Temp\\vocalet.wav") << "a list is kept for later requests";
  EXPECT_EQ(owner.droppingSeen, (std::vector<bool>{false, false, true}));
  object->OnGetStrData = nullptr;
  object->FileList.clear();
  EXPECT_EQ(Get(), S_OK) << "without an owner";
  EXPECT_EQ(got.second, 23u);
}

TEST_F(FilesDataObject, ACancelFailsThisAndEveryLaterRequest) {
  owner.cancel = true;
  EXPECT_EQ(Get(), E_FAIL);
  EXPECT_TRUE(object->Cancelled);
  owner.cancel = false;
  EXPECT_EQ(Get(), E_FAIL);
  EXPECT_EQ(owner.calls, 1);
}

TEST_F(FilesDataObject, AnOwnerThatThrowsFailsTheRequestOnly) {
  object->OnGetStrData = [](void*, std::string&, bool, bool&) { throw std::runtime_error("x"); };
  EXPECT_EQ(Get(), E_UNEXPECTED);
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

TEST_F(FilesDataObject, QueryInterfaceGivesTheThreeInterfacesOfOneObject) {
  auto source = TComPtr<IDropSource>::QueryFrom(data.get());
  EXPECT_EQ(TComPtr<IUnknown>::QueryFrom(data.get()).get(),
            TComPtr<IUnknown>::QueryFrom(source.get()).get());
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

}  // namespace
