// A desktop for the host's unit tests: answers from a table of windows and
// scripted answers, and records every call as one line of text.
#pragma once

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "desktop.h"

namespace tavrin::host {

struct FakeWindow {
  std::string className;
  WindowId parent = 0;
  ScrollBar vertical{false, 0, 0};
  ScrollBar horizontal{false, 0, 0};
  uint64_t range = 0;     // UDM_GETRANGE reply
  uint64_t position = 0;  // UDM_GETPOS reply
  bool hung = false;
};

class FakeDesktop final : public Desktop {
 public:
  std::map<WindowId, FakeWindow> windows;
  std::vector<std::string> calls;

  std::string ClassName(WindowId w) override {
    auto it = windows.find(w);
    return it == windows.end() ? "" : it->second.className;
  }
  WindowId Parent(WindowId w) override {
    auto it = windows.find(w);
    return it == windows.end() ? 0 : it->second.parent;
  }
  ScrollBar ReadScrollBar(WindowId w, int bar) override {
    Record("bar", w, static_cast<uint64_t>(bar));
    auto it = windows.find(w);
    if (it == windows.end()) return {false, 0, 0};
    return bar == kSbVert ? it->second.vertical : it->second.horizontal;
  }
  std::optional<uint64_t> Ask(WindowId w, uint32_t message) override {
    Record("ask", w, message);
    const FakeWindow& fw = windows.at(w);
    if (fw.hung) return std::nullopt;
    return message == kUdmGetRange ? fw.range : fw.position;
  }
  void Post(WindowId w, uint32_t message, uint64_t wParam,
            int64_t lParam) override {
    Record("post", w, message, wParam, lParam);
  }
  void KeyEvent(uint8_t key, uint32_t flags) override {
    Record("key", key, flags);
  }
  void Quit() override { calls.push_back("quit"); }
  bool IsControlDown() override { return controlDown; }
  bool Confirm(uint32_t textId, const std::string& className) override {
    calls.push_back("ask " + std::to_string(textId) + " " + className);
    const bool yes = !answers.empty() && answers.front();
    if (!answers.empty()) answers.erase(answers.begin());
    return yes;
  }
  void Inform(uint32_t textId, const std::string& className) override {
    calls.push_back("tell " + std::to_string(textId) + " " + className);
  }
  void WriteSetting(const char* section, const std::string& key,
                    const char* value) override {
    calls.push_back(std::string("write ") + section + " " + key + " " + value);
  }
  void ReloadSettings() override { calls.push_back("reload"); }

  bool controlDown = false;
  std::vector<bool> answers;  // Yes (true) or No to the questions, in turn

 private:
  template <typename... Values>
  void Record(const char* what, Values... values) {
    std::ostringstream line;
    line << what << std::hex;
    ((line << " " << static_cast<uint64_t>(values)), ...);
    calls.push_back(line.str());
  }
};

}  // namespace tavrin::host
