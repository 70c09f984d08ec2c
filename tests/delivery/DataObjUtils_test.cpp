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

// A file data object as the drag service makes it, with a scripted owner that notes each
// call; its lambda holds a token whose expiry shows the object was destroyed.
struct Owner {
  std::string answer = "C:\\a.wav";
  std::vector<bool> droppingSeen;
  std::weak_ptr<int> alive;

  TFilesDragDropDataObj* Make() {
    auto token = std::make_shared<int>(0);
    alive = token;
    return NewComObject<TFilesDragDropDataObj>(
        [this, token](void*, std::string& data, bool dropping, bool&) {
          droppingSeen.push_back(dropping);
          data = answer;
        });
  }
};

class FilesDataObject : public ::testing::Test {
 protected:
  Owner owner;
  TFilesDragDropDataObj* object = owner.Make();
  TComPtr<IDataObject> data = TComPtr<IDataObject>::QueryFrom(object);
  TComPtr<IDropSource> source = TComPtr<IDropSource>::QueryFrom(object);
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

// A target enumerates at every entry of the pointer: each new enumerator starts over.
TEST_F(FilesDataObject, AnEnumeratorGivesTheOneFormatOnceAndANewOneStartsOver) {
  TComPtr<IEnumFORMATETC> first, second;
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, first.put()), S_OK);
  FORMATETC formats[3];
  std::memset(formats, 0xCC, sizeof formats);
  ULONG fetched = 99;
  EXPECT_EQ(first->Next(3, formats, &fetched), S_OK);
  EXPECT_EQ(fetched, 1u);
  const FORMATETC& f = formats[0];
  EXPECT_TRUE(f.cfFormat == CF_HDROP && !f.ptd && f.dwAspect == DVASPECT_CONTENT &&
              f.lindex == -1 && f.tymed == TYMED_HGLOBAL);
  EXPECT_EQ(first->Next(1, formats, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(f.cfFormat, 0) << "emptied";
  EXPECT_EQ(first->Reset(), S_OK);
  EXPECT_EQ(first->Next(1, formats, nullptr), S_OK);
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, second.put()), S_OK);
  EXPECT_EQ(second->Next(1, formats, nullptr), S_OK);
}

TEST_F(FilesDataObject, TheOwnerIsAskedUntilAListCameAndTheFlagSaysWhetherItIsTheDrop) {
  owner.answer = "";
  EXPECT_EQ(Get(), S_OK);
  EXPECT_EQ(got.second, 23u) << "an empty list while hovering";
  EXPECT_EQ(Get(), S_OK);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
  owner.answer = "C:\\Temp\\vocalet.wav";
  EXPECT_EQ(Get(), S_OK);
  owner.answer = "C:\\other.wav";
  EXPECT_EQ(Get(), S_OK);
  EXPECT_EQ(got.first, "C:\\Temp\\vocalet.wav") << "a list is kept for later requests";
  EXPECT_EQ(owner.droppingSeen, (std::vector<bool>{false, false, true}));
}

TEST_F(FilesDataObject, AnOwnerThatThrowsFailsTheRequestOnly) {
  object->OnGetStrData = [](void*, std::string&, bool, bool&) { throw std::runtime_error("x"); };
  EXPECT_EQ(Get(), E_UNEXPECTED);
  object->OnGetStrData = [](void*, std::string& data, bool, bool&) { data = "C:\\b.wav"; };
  EXPECT_EQ(Get(), S_OK);
  EXPECT_EQ(got.first, "C:\\b.wav");
}

TEST_F(FilesDataObject, TheDropSourceFollowsEscapeAndTheTwoMainButtonsAndRelaysFeedback) {
  EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_RBUTTON | MK_SHIFT), S_OK);
  EXPECT_FALSE(object->Dropping);
  // Released buttons drop, whichever one started the drag; the middle one plays no part.
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_MBUTTON | MK_CONTROL), DRAGDROP_S_DROP);
  EXPECT_TRUE(object->Dropping);
  EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
  DWORD effect = 0;
  object->OnGiveFeedback = [&](TDragObject* sender, DWORD e) {
    effect = sender == object ? e : 0;
    return S_OK;
  };
  EXPECT_EQ(source->GiveFeedback(DROPEFFECT_MOVE | DROPEFFECT_LINK), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE | DROPEFFECT_LINK));
}

TEST(FilesDataObjectLifetime, TheObjectOutlivesTheDragWhileATargetHoldsIt) {
  Owner owner;
  TFilesDragDropDataObj* object = owner.Make();
  IDataObject* held = nullptr;
  {
    // The drag's references, as the service takes them; a target keeps one after the drop.
    auto data = TComPtr<IDataObject>::QueryFrom(object);
    auto source = TComPtr<IDropSource>::QueryFrom(object);
    held = data.get();
    held->AddRef();
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
