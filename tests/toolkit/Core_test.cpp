// The platform-neutral part of the window layer.
#include <gtest/gtest.h>

#include "toolkit/Component.h"
#include "toolkit/ShortCuts.h"

namespace {

using Log = std::vector<std::string>;

struct Tracked : TComponent {
  Tracked(TComponent* owner, Log* log, std::string name) : TComponent(owner), log_(log) {
    Name = std::move(name);
  }
  ~Tracked() override { log_->push_back(Name); }
  Log* log_;
};

TEST(Component, OwnerFreesItsComponentsLastCreatedFirst) {
  Log log;
  {
    TComponent owner(nullptr);
    Make<Tracked>(&owner, &log, "a");
    Make<Tracked>(Make<Tracked>(&owner, &log, "b"), &log, "b.child");
    Make<Tracked>(&owner, &log, "c");
    owner.FreeComponent(Make<Tracked>(&owner, &log, "d"));
    EXPECT_EQ(log, Log{"d"});
    EXPECT_EQ(owner.ComponentCount(), 3u);
  }
  // A component's own destructor runs before the components it owns go.
  EXPECT_EQ(log, (Log{"d", "c", "b", "b.child", "a"}));
}

TEST(ShortCuts, StandardNames) {
  EXPECT_EQ(ShortCutToText(ShortCut('A', scCtrl | scAlt)), "Ctrl+Alt+A");
  EXPECT_EQ(ShortCutToText(ShortCut(vk::F1 + 11, scShift | scAlt)), "Shift+Alt+F12");
  EXPECT_EQ(ShortCutToText(ShortCut(vk::F1 + 1, 0)), "F2");
  EXPECT_EQ(ShortCutToText(ShortCut(vk::Escape, 0)), "Esc");
  EXPECT_EQ(ShortCutToText(ShortCut('7', scShift | scCtrl | scAlt)), "Shift+Ctrl+Alt+7");
  EXPECT_EQ(ShortCutToText(scNone), "");
  EXPECT_EQ(ShortCutToText(ShortCut(0xBA, scCtrl)), "");  // no name: no text
}

TEST(ShortCuts, TextRoundTrip) {
  for (TShortCut sc : {ShortCut('V', scCtrl | scAlt), ShortCut(vk::Delete, scShift),
                       ShortCut(vk::F24, 0), ShortCut(vk::Space, scCtrl), ShortCut('9', scCtrl)})
    EXPECT_EQ(TextToShortCut(ShortCutToText(sc)), sc) << ShortCutToText(sc);
  EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
  EXPECT_EQ(TextToShortCut("Hyper+A"), scNone);
  EXPECT_EQ(TextToShortCut("Alt+Ctrl+Z"), ShortCut('Z', scCtrl | scAlt)) << "in any order";
  // The hot key the desktop shortcut stores for Ctrl+Alt+V keeps the same key code.
  EXPECT_EQ(TextToShortCut("Ctrl+Alt+V") & 0xFF, 0x56);
}

}  // namespace
