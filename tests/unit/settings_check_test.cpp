// The shipped settings file through the host's own reader and rules, and
// the traps that tavrin-check finds.
#include <stdio.h>

#include <gtest/gtest.h>

#include "explain.h"
#include "settings_reader.h"
#include "window_rules.h"

namespace {

using namespace tavrin::rules;
using enum tavrin::check::Trap;
using tavrin::check::ExplainFile;

constexpr char kForm[] = "WindowsForms10.Window.8.app.0.141b42a_r6_ad1";
// A notch over a window of the class, in a top-level window of the other
// (null: itself): forwarded by exclude_class (C) or exclude_parent_class
// (P), line-scrolled (L), or stepping an up-down control (U).
// clang-format off
const struct { const char *window, *top; char wheel; } kLandings[] = {
  {"Chrome_RenderWidgetHostHWND", "Chrome_WidgetWin_1", 'C'}, {"Intermediate D3D Window", "Chrome_WidgetWin_1", 'P'}, {"Chrome_WidgetWin_0", kForm, 'C'},
  {"MozillaWindowClass", nullptr, 'C'}, {"MozillaCompositorWindowClass", "MozillaWindowClass", 'C'}, {"Qt5152QWindowIcon", nullptr, 'C'}, {"Qt662QWindowIcon", nullptr, 'C'},
  {"HwndWrapper[devenv.exe;;3f0c8a1e-5b2d-4c9a-9d43-0e8f7b6a2c11]", nullptr, 'C'}, {kForm, nullptr, 'C'}, {"WindowsForms10.Window.b.app.0.2bf8098_r9_ad1", kForm, 'C'},
  {"SunAwtFrame", nullptr, 'C'}, {"SunAwtCanvas", "SunAwtFrame", 'C'}, {"SunAwtDialog", nullptr, 'C'}, {"SunAwtWindow", "SunAwtFrame", 'C'},
  {"gdkWindowChild", "gdkWindowToplevel", 'C'}, {"gdkSurfaceToplevel", nullptr, 'C'}, {"GlassWndClass-GlassWindowClass-17", nullptr, 'C'},
  {"DirectUIHWND", "CabinetWClass", 'C'}, {"DirectUIHWND", "#32770", 'C'}, {"Windows.UI.Core.CoreWindow", "ApplicationFrameWindow", 'C'}, {"ApplicationFrameInputSinkWindow", "ApplicationFrameWindow", 'P'},
  {"Windows.UI.Input.InputSite.WindowClass", "CASCADIA_HOSTING_WINDOW_CLASS", 'C'}, {"DRAG_BAR_WINDOW_CLASS", "CASCADIA_HOSTING_WINDOW_CLASS", 'P'},
  {"Microsoft.UI.Content.DesktopChildSiteBridge", "WinUIDesktopWin32WindowClass", 'C'}, {"InputNonClientPointerSource", "WinUIDesktopWin32WindowClass", 'P'},
  {"Edit", "Notepad", 'L'}, {"ListBox", "#32770", 'L'}, {"SysListView32", "RegEdit_RegEdit", 'L'}, {"SysListView32", "Progman", 'L'}, {"SysTreeView32", kForm, 'L'}, {"RichEdit20W", "WordPadClass", 'L'},
  {"RICHEDIT50W", kForm, 'L'}, {"Scintilla", "Notepad++", 'L'}, {"ConsoleWindowClass", nullptr, 'L'}, {"msctls_updown32", kForm, 'U'},
  {"WindowsForms10.EDIT.app.0.141b42a_r6_ad1", kForm, 'L'}, {"WindowsForms10.SysTreeView32.app.0.141b42a_r6_ad1", kForm, 'L'},
  {"GLFW30", nullptr, 'C'}, {"SDL_app", nullptr, 'C'}, {"UnityWndClass", nullptr, 'C'}, {"UnrealWindow", nullptr, 'C'}, {"SFML_Window", nullptr, 'C'},
  {"GHOST_WindowClass", nullptr, 'C'}, {"SALSUBFRAME", "SALFRAME", 'C'}, {"TkChild", "TkTopLevel", 'C'}, {"mpv", nullptr, 'C'},
};
// clang-format on

TEST(ShippedSettings, EachClassLandsWhereMeantAndNoKeyExtendsAnother) {
  FILE* file = fopen(TAVRIN_SOURCE_DIR "/host/Tavrin64.ini", "r");
  HostState state;
  ResetClassLists(state);
  ASSERT_TRUE(file && ReadClassLists(file, state));
  rewind(file);
  EXPECT_EQ(ExplainFile(file).warnings, 0u);
  fclose(file);
  for (const auto& [window, top, landing] : kLandings) {
    const auto got =
        DecideWheel(state, window, [&] { return top ? top : window; });
    EXPECT_EQ(got.list == "exclude_parent_class" ? 'P' : "LCU"[int(got.action)],
              landing)
        << window;
  }
  for (const auto top :
       {"Progman", "WorkerW", "Shell_TrayWnd", "Shell_SecondaryTrayWnd"})
    EXPECT_EQ(DecideMiddleClick(state, top).action, ClickAction::Discard);
  for (const auto top :
       {"Chrome_WidgetWin_1", "MozillaWindowClass",
        "CASCADIA_HOSTING_WINDOW_CLASS", "ConsoleWindowClass", "PuTTY",
        "mintty", "Notepad++", "Vim", "Emacs", "SunAwtFrame"})
    EXPECT_EQ(DecideMiddleClick(state, top).action, ClickAction::Pass) << top;
  for (const auto top : {"Notepad", "CabinetWClass", "#32770"})
    EXPECT_EQ(DecideMiddleClick(state, top).action, ClickAction::Close) << top;
}

// clang-format off
const struct { std::string file; std::vector<std::pair<int, tavrin::check::Trap>> traps; } kTraps[] = {
  {"[exclude_class]\nEdit = 1\nList =1\n Pane\nCombo=0\nEdit= 0\n=1\n[general]\n Late = 1\n", {{2, BlankAroundValue}, {3, BlankAroundKey}, {4, BlankAroundKey}, {4, NeverMatches}}},
  // Line 4 is read in two pieces, each a line of its own.
  {"[exclude_class]\nChrome_\nChrome_WidgetWin_\n" + std::string(2047, 'A') + "Qt =1\n[exclude_parent_class]\nQt\nQt5\n[Exclude_Class] again\nMozilla\n",
   {{2, ShadowedPrefix}, {4, BlankAroundKey}, {8, DuplicateSection}}},
};
// clang-format on

TEST(SettingsCheck, WarnsOfEachTrapOnItsLine) {
  for (const auto& [text, expected] : kTraps) {
    FILE* file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    std::vector<std::pair<int, tavrin::check::Trap>> traps;
    for (const auto& note : ExplainFile(file).notes)
      for (const auto& warning : note.warnings)
        traps.emplace_back(note.line, warning.trap);
    fclose(file);
    EXPECT_EQ(traps, expected) << text.substr(0, 60);
  }
}

}  // namespace
