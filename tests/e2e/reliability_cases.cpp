// The host under faults: a hung application, garbage in the private
// messages, a host killed without removing its hook, and a hostile
// settings file.
#include "harness.h"
#include "hostile_settings.h"

namespace e2e {

// A thread whose windows, TvHung and an up-down control, stop retrieving
// messages until `release` is set.
HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);

DWORD WINAPI HungThread(void*) {
  Make(HungPane, "TvHung", WS_POPUP, {760, 520, 80, 60}, nullptr);
  Make(HungSpin, "msctls_updown32", WS_POPUP, {860, 520, 80, 60}, nullptr);
  WaitForSingleObject(release, INFINITE);
  for (MSG msg; GetMessageA(&msg, nullptr, 0, 0) > 0;) DispatchMessageA(&msg);
  return 0;
}

// clang-format off
const std::vector<Row> kHungRows = {
  {"lines to a hung window wait in its queue", HungPane, Top, 0x20A, kDown, {{Top, WM_NULL, kDown}}},
  {"a hung up-down control costs one notch", HungSpin, Top, 0x20A, kUp, {{Top, WM_NULL, kUp}}},
  {"every other window is served meanwhile", Child, Top, 0x20A, kDown, Lines(kDown, Child, WM_VSCROLL, 2)},
};
const Row kAfterHostile =
  {"after 1,000 hostile notifications the wheel works", Child, Top, 0x20A, kUp, Lines(kUp, Child, WM_VSCROLL, 2)};
const Row kCapped =
  {"scroll_counts 2000000000: 1,000 lines, then the end", Child, Top, 0x20A, kDown, Lines(kDown, Child, WM_VSCROLL, 1000)};
// clang-format on

// The host stays responsive for every other window while an application
// hangs, and the application gets its messages once it resumes.
void HungApplicationCases() {
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, HungThread, nullptr, 0, &id);
  Pump([] { return scene[HungSpin] != nullptr; }, 5000);
  Rows(kHungRows);
  SetEvent(release);
  Check(Pump([] { return hungScrolls == 3; }, 3000) && hungSetPos == 0,
        "the hung window, resumed, gets its 2 lines and the end");
  PostThreadMessageA(id, WM_QUIT, 0, 0);
  WaitForSingleObject(thread, 5000);
}

// A thousand private messages with null, destroyed and random windows and
// garbage lParams: only the extra buttons' four keys each arrive.
void HostileNotificationCases() {
  HWND gone = Make(kSceneWindows, "TvGone", 0, {0, 0, 1, 1}, nullptr);
  DestroyWindow(gone);
  Focus();
  StartCase();
  size_t keys = 0;
  for (uint64_t i = 0, seed = 7; i < 1000; ++i) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    const UINT message = WMU_MBUTTON_CLICK + static_cast<UINT>(seed >> 61) % 5;
    const WPARAM windows[] = {0, reinterpret_cast<WPARAM>(gone),
                              reinterpret_cast<WPARAM>(GetDesktopWindow()),
                              static_cast<WPARAM>(seed | 1ull << 62)};
    PostMessageA(HostWindow(), message, windows[i % 4],
                 static_cast<LPARAM>(seed));
    keys += message >= WMU_XBUTTON1_UP ? 4 : 0;
  }
  Settle(keys);
  const std::vector<Got> arrived = Arrived();
  Check(arrived.size() == keys &&
            std::all_of(arrived.begin(), arrived.end(),
                        [](const Got& g) {
                          return g.window == Child && g.message >= WM_KEYDOWN &&
                                 g.message <= WM_SYSKEYUP;
                        }),
        "hostile notifications, the desktop window among them: only the "
        "extra buttons' keys arrive, nothing is closed",
        std::to_string(arrived.size()) + " messages, " + std::to_string(keys) +
            " keys");
  Rows({kAfterHostile});
}

// A host ended by force, without ResetHook: its window is gone, and the
// wheel of every application passes untouched until the next start, which
// may set its hook, and catches every notch once.
void KilledHostCases() {
  HANDLE host = StartHost("Tavrin64.exe");
  Kill(host, 5000);
  hostSync = false;
  Rows(kUnhooked);
  WriteFile("Tavrin64.ini",
            HostileSettings("[general]\r\nscroll_counts=2000000000\r\n"
                            "[exclude_class]\r\nTvSync\r\n"));
  // Held without sharing while the host starts, released a second later:
  // until the file is read, TvSync is not excluded and the sync fails.
  HANDLE held = Hold("Tavrin64.ini");
  host = LaunchHost("Tavrin64.exe");
  Pump([] { return false; }, 1000);
  CloseHandle(held);
  Check(host && Pump([] { return Settle(0, 100); }, 1500),
        "after a killed host, a host starts on a hostile file of " +
            std::to_string(ReadFile("Tavrin64.ini").size() >> 20) +
            " MB, held at the start: read within 1.5 s of its release");
  Rows({kCapped});
  TerminateCases(host);
}

}  // namespace e2e
