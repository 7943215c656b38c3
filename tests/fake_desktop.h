// A desktop for the tests of the host's decisions: windows from a table,
// every post and key recorded.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "desktop.h"

namespace tavrin::host {

struct FakeWindow {
  std::string className;
  WindowId parent = 0;
  ScrollBar bars[2] = {};                   // kSbHorz, kSbVert
  std::optional<uint64_t> replies[2] = {};  // to UDM_GETRANGE, UDM_GETPOS
};

struct FakePost {
  WindowId window;
  uint32_t message;
  uint64_t wParam;
};

class FakeDesktop final : public Desktop {
 public:
  std::map<WindowId, FakeWindow> windows;  // others have no class, no parent
  std::vector<FakePost> posts;
  std::vector<std::pair<uint8_t, uint32_t>> keys;  // key, flags
  int asks = 0;

  std::string ClassName(WindowId w) override { return windows[w].className; }
  WindowId Parent(WindowId w) override { return windows[w].parent; }
  ScrollBar ReadScrollBar(WindowId w, int bar) override {
    return windows[w].bars[bar];
  }
  std::optional<uint64_t> Ask(WindowId w, uint32_t message) override {
    ++asks;
    return windows[w].replies[message == 0x466 ? 0 : 1];
  }
  void Post(WindowId w, uint32_t message, uint64_t wParam, int64_t) override {
    posts.push_back({w, message, wParam});
  }
  void KeyEvent(uint8_t key, uint32_t flags) override {
    keys.push_back({key, flags});
  }
  // Ctrl is never down: the editor, proven end to end, is not reached.
  bool IsControlDown() override { return false; }
  void Quit() override {}
  bool Confirm(uint32_t, const std::string&) override { return false; }
  void Inform(uint32_t, const std::string&) override {}
  bool WriteSetting(const char*, const std::string&, const char*) override {
    return false;
  }
  void ReloadSettings() override {}
};

}  // namespace tavrin::host
