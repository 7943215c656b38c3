// The desktop of the dispatcher, made of real Win32 calls.
#pragma once

#include "desktop.h"
#include "host_state.h"
#include "settings_watch.h"

namespace tavrin::host {

class Win32Desktop final : public Desktop {
 public:
  // Edits and reloads go to the settings file of this state, and into it.
  explicit Win32Desktop(rules::HostState& state) : state_(state) {}

  // The watch whose loads an edit's own reload makes stale; null for none.
  void SetWatch(SettingsWatch* watch) { watch_ = watch; }

  std::string ClassName(WindowId window) override;
  WindowId WindowAt(int32_t x, int32_t y) override;
  WindowId DesktopWindow() override;
  WindowId Parent(WindowId window) override;
  ScrollBar ReadScrollBar(WindowId window, int bar) override;
  std::optional<uint64_t> Ask(WindowId window, uint32_t message) override;
  void Post(WindowId window, uint32_t message, uint64_t wParam,
            int64_t lParam) override;
  void KeyEvent(uint8_t key, uint32_t flags) override;
  void Quit() override;
  bool IsControlDown() override;
  bool Confirm(uint32_t textId, const std::string& className) override;
  void Inform(uint32_t textId, const std::string& subject) override;
  bool WriteSetting(const char* section, const std::string& key,
                    const char* value) override;
  void ReloadSettings() override;
  void AllowFromLowerPrograms(WindowId window, uint32_t message) override;

 private:
  rules::HostState& state_;
  SettingsWatch* watch_ = nullptr;
};

}  // namespace tavrin::host
