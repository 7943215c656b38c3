// Ctrl + middle click: which questions, and what each answer writes.
#include "exclusion_editor.h"

#include <gtest/gtest.h>

#include "dispatcher.h"
#include "fake_desktop.h"
#include "settings_loader.h"

namespace {

using namespace tavrin;
using namespace tavrin::host;
using Calls = std::vector<std::string>;

constexpr WindowId kTop = 0x10, kPane = 0x20, kDialog = 0x30, kOdd = 0x40;

class ExclusionEditorTest : public ::testing::Test {
 protected:
  ExclusionEditorTest() {
    ResetClassLists(state);
    desktop.windows[kTop] = {"TopFrame"};
    desktop.windows[kPane] = {"PaneWnd", kTop};
    desktop.windows[kDialog] = {"#32770"};
    desktop.windows[kOdd] = {"[Odd", kTop};
  }

  // The editor's calls for a click on the window with these answers.
  Calls Edit(WindowId window, std::vector<bool> answers) {
    desktop.calls.clear();
    desktop.answers = std::move(answers);
    EditExclusions(desktop, state, window);
    return desktop.calls;
  }

  HostState state;
  FakeDesktop desktop;
};

TEST_F(ExclusionEditorTest, NeitherExcludedAsksParentThenChild) {
  EXPECT_EQ(Edit(kPane, {true}),
            (Calls{"ask 5004 TopFrame", "write exclude_parent_class TopFrame 1",
                   "reload"}));
  EXPECT_EQ(Edit(kPane, {false, true}),
            (Calls{"ask 5004 TopFrame", "ask 5005 PaneWnd",
                   "write exclude_class PaneWnd 1", "reload"}));
  EXPECT_EQ(Edit(kPane, {false, false}),
            (Calls{"ask 5004 TopFrame", "ask 5005 PaneWnd"}));
  // A top-level window is its own parent: the same name, asked twice.
  EXPECT_EQ(Edit(kTop, {false, false}),
            (Calls{"ask 5004 TopFrame", "ask 5005 TopFrame"}));
}

TEST_F(ExclusionEditorTest, ExcludedParentIsAskedAboutFirstAndAlone) {
  state.exclude_parent_class.Insert("TopFrame");
  state.exclude_class.Insert("PaneWnd");
  EXPECT_EQ(Edit(kPane, {true}),
            (Calls{"ask 5002 TopFrame", "write exclude_parent_class TopFrame 0",
                   "reload"}));
  EXPECT_EQ(Edit(kPane, {false}), (Calls{"ask 5002 TopFrame"}));
}

TEST_F(ExclusionEditorTest, ChildExcludedByPrefixIsTakenOffByItsFullName) {
  state.exclude_class.Insert("Pane");
  EXPECT_EQ(
      Edit(kPane, {true}),
      (Calls{"ask 5003 PaneWnd", "write exclude_class PaneWnd 0", "reload"}));
  EXPECT_EQ(Edit(kPane, {false}), (Calls{"ask 5003 PaneWnd"}));
}

TEST_F(ExclusionEditorTest, NamesThatCannotBeReadBackAreNeverWritten) {
  EXPECT_EQ(Edit(kDialog, {true}),
            (Calls{"ask 5004 #32770", "tell 5006 #32770"}));
  EXPECT_EQ(Edit(kOdd, {false, true}),
            (Calls{"ask 5004 TopFrame", "ask 5005 [Odd", "tell 5006 [Odd"}));
  // A window that is gone has the empty name.
  EXPECT_EQ(Edit(0, {true}), (Calls{"ask 5004 ", "tell 5006 "}));
  for (const char* name : {"", "#32770", "/x", ";x", "[x"})
    EXPECT_FALSE(CanBeListed(name)) << name;
  for (const char* name : {"Edit", " Edit", "!x", "x#", "\x81["})
    EXPECT_TRUE(CanBeListed(name)) << name;
}

TEST_F(ExclusionEditorTest, CtrlTurnsAMiddleClickIntoAnEdit) {
  desktop.controlDown = true;
  desktop.answers = {false, false};
  EXPECT_TRUE(Dispatch(desktop, state, WMU_MBUTTON_CLICK, kPane, 0));
  EXPECT_EQ(desktop.calls, (Calls{"ask 5004 TopFrame", "ask 5005 PaneWnd"}));
  state.mbtn_discard_class.Insert("TopFrame");  // the sets play no part
  desktop.calls.clear();
  EXPECT_TRUE(Dispatch(desktop, state, WMU_MBUTTON_CLICK, kPane, 0));
  EXPECT_EQ(desktop.calls.front(), "ask 5004 TopFrame");
}

}  // namespace
