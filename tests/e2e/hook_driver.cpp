// Drives the hook library across processes, as its host would: this program
// owns a hidden window, installs the hook with SetHook and collects the
// notifications; msg_target.exe, a separate process, retrieves the messages
// that this program posts to its windows and reports what its window
// procedures received.
#include <windows.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "e2e_support.h"
#include "hook_api.h"
#include "tavrin_protocol.h"

using namespace tavrin;
using namespace tavrin::e2e;

namespace {

#ifdef _WIN64
constexpr char kTitle[] = "Tavrin64";
constexpr char kBuild[] = "hook library, 64-bit";
#else
constexpr char kTitle[] = "Tavrin";
constexpr char kBuild[] = "hook library, 32-bit";
#endif
constexpr int64_t kLParam = 0x00150025;
constexpr DWORD kTimeoutMs = 3000;

// Windows of the target, and the places the pointer is put before a post.
enum class Spot { Top, Child };

struct Notified {
  uint32_t message;
  Spot window;
};

struct Case {
  const char* name;
  uint32_t message;
  uint64_t wParam;
  Spot postTo;
  Spot pointer;
  uint32_t delivered;        // what the window proc of postTo gets...
  uint64_t deliveredWParam;  // ...with this wParam, and the same lParam
  std::vector<Notified> notified;
};

constexpr uint64_t kWheelDownMarked = 0xFFFFFFFFFF884000;

// Every message passes untouched: no hook, or a hook that was removed.
const std::vector<Case> kUnhooked = {
    {"wheel reaches the focus window untouched",
     WM_MOUSEWHEEL,
     0x780000,
     Spot::Top,
     Spot::Child,
     WM_MOUSEWHEEL,
     0x780000,
     {}},
};

const std::vector<Case> kCloseFlagOff = {
    {"wheel, delta 0: up, window under the pointer",
     WM_MOUSEWHEEL,
     0,
     Spot::Top,
     Spot::Child,
     WM_NULL,
     0,
     {{WMU_WHEEL_UP, Spot::Child}}},
    {"wheel, delta +240: one notification",
     WM_MOUSEWHEEL,
     0xF00000,
     Spot::Child,
     Spot::Child,
     WM_NULL,
     0xF00000,
     {{WMU_WHEEL_UP, Spot::Child}}},
    {"wheel, delta -30: down",
     WM_MOUSEWHEEL,
     0xFFE20000,
     Spot::Child,
     Spot::Top,
     WM_NULL,
     0xFFE20000,
     {{WMU_WHEEL_DOWN, Spot::Top}}},
    {"X button 1",
     WM_XBUTTONUP,
     0x10000,
     Spot::Top,
     Spot::Child,
     WM_NULL,
     0x10000,
     {{WMU_XBUTTON1_UP, Spot::Child}}},
    {"X button 2",
     WM_XBUTTONUP,
     0x20000,
     Spot::Child,
     Spot::Child,
     WM_NULL,
     0x20000,
     {{WMU_XBUTTON2_UP, Spot::Child}}},
    {"both X buttons: 1, then 2",
     WM_XBUTTONUP,
     0x30000,
     Spot::Child,
     Spot::Top,
     WM_NULL,
     0x30000,
     {{WMU_XBUTTON1_UP, Spot::Top}, {WMU_XBUTTON2_UP, Spot::Top}}},
    {"X button release naming neither button passes",
     WM_XBUTTONUP,
     0,
     Spot::Child,
     Spot::Child,
     WM_XBUTTONUP,
     0,
     {}},
    {"X button press is swallowed silently",
     WM_XBUTTONDOWN,
     0x10020,
     Spot::Child,
     Spot::Child,
     WM_NULL,
     0x10020,
     {}},
    {"middle press passes while the close flag is off",
     WM_MBUTTONDOWN,
     0x10,
     Spot::Child,
     Spot::Child,
     WM_MBUTTONDOWN,
     0x10,
     {}},
    {"middle release passes while the close flag is off",
     WM_MBUTTONUP,
     0,
     Spot::Child,
     Spot::Child,
     WM_MBUTTONUP,
     0,
     {}},
    {"middle double click passes",
     WM_MBUTTONDBLCLK,
     0x10,
     Spot::Child,
     Spot::Child,
     WM_MBUTTONDBLCLK,
     0x10,
     {}},
    {"X double click passes",
     WM_XBUTTONDBLCLK,
     0x10000,
     Spot::Child,
     Spot::Child,
     WM_XBUTTONDBLCLK,
     0x10000,
     {}},
    {"horizontal wheel passes",
     WM_MOUSEHWHEEL,
     0x780000,
     Spot::Child,
     Spot::Child,
     WM_MOUSEHWHEEL,
     0x780000,
     {}},
    {"marked wheel up arrives stripped, unnotified",
     WM_MOUSEWHEEL,
     0x784000,
     Spot::Child,
     Spot::Child,
     WM_MOUSEWHEEL,
     0x780000,
     {}},
    {"marked wheel down keeps all other bits",
     WM_MOUSEWHEEL,
     kWheelDownMarked,
     Spot::Child,
     Spot::Child,
     WM_MOUSEWHEEL,
     kWheelDownMarked & ~uint64_t{MK_INJECTED},
     {}},
    {"marked horizontal wheel loses the marker",
     WM_MOUSEHWHEEL,
     0x784000,
     Spot::Child,
     Spot::Child,
     WM_MOUSEHWHEEL,
     0x780000,
     {}},
    {"left press keeps 0x4000",
     WM_LBUTTONDOWN,
     0x4001,
     Spot::Child,
     Spot::Child,
     WM_LBUTTONDOWN,
     0x4001,
     {}},
    {"0x206 keeps 0x4000",
     WM_RBUTTONDBLCLK,
     0x4002,
     Spot::Child,
     Spot::Child,
     WM_RBUTTONDBLCLK,
     0x4002,
     {}},
    {"0x20F keeps 0x4000",
     WM_MOUSEHWHEEL + 1,
     0x784000,
     Spot::Child,
     Spot::Child,
     WM_MOUSEHWHEEL + 1,
     0x784000,
     {}},
};

const std::vector<Case> kCloseFlagOn = {
    {"middle press is swallowed silently",
     WM_MBUTTONDOWN,
     0x10,
     Spot::Child,
     Spot::Top,
     WM_NULL,
     0x10,
     {}},
    {"middle release notifies its own window",
     WM_MBUTTONUP,
     0,
     Spot::Child,
     Spot::Top,
     WM_NULL,
     0,
     {{WMU_MBUTTON_CLICK, Spot::Child}}},
    {"middle double click passes",
     WM_MBUTTONDBLCLK,
     0x10,
     Spot::Child,
     Spot::Child,
     WM_MBUTTONDBLCLK,
     0x10,
     {}},
    {"injected middle press arrives as MK_MBUTTON",
     WM_MBUTTONDOWN,
     0x4010,
     Spot::Child,
     Spot::Child,
     WM_MBUTTONDOWN,
     0x10,
     {}},
    {"injected middle release arrives with no flags",
     WM_MBUTTONUP,
     0x4000,
     Spot::Child,
     Spot::Child,
     WM_MBUTTONUP,
     0,
     {}},
    {"marked wheel arrives stripped",
     WM_MOUSEWHEEL,
     0x784000,
     Spot::Top,
     Spot::Child,
     WM_MOUSEWHEEL,
     0x780000,
     {}},
    {"non-client middle press passes",
     WM_NCMBUTTONDOWN,
     HTCAPTION,
     Spot::Top,
     Spot::Top,
     WM_NCMBUTTONDOWN,
     HTCAPTION,
     {}},
    {"non-client middle release passes",
     WM_NCMBUTTONUP,
     HTCAPTION,
     Spot::Top,
     Spot::Top,
     WM_NCMBUTTONUP,
     HTCAPTION,
     {}},
    {"wheel is still taken over",
     WM_MOUSEWHEEL,
     0x780000,
     Spot::Top,
     Spot::Child,
     WM_NULL,
     0x780000,
     {{WMU_WHEEL_UP, Spot::Child}}},
};

class Driver {
 public:
  Driver() : sink_(WMU_MBUTTON_CLICK, WMU_XBUTTON2_UP) {}

  bool StartTarget() {
    target_ = sink_.StartTarget();
    top_ = sink_.WindowFor(Role::Top);
    child_ = sink_.WindowFor(Role::Child);
    return target_ != nullptr;
  }

  void StopTarget() {
    PostMessageA(top_, WM_CLOSE, 0, 0);
    checks.Expect(WaitForSingleObject(target_, 5000) == WAIT_OBJECT_0,
                  "target ends");
  }

  HWND window() const { return sink_.window(); }

  void Run(const std::vector<Case>& cases) {
    for (const Case& c : cases) RunCase(c);
  }

  // Looking at a message without removing it changes nothing; taking it
  // afterwards does.
  void RunPeek() {
    Begin();
    PointAt(Spot::Child);
    PostMessageA(top_, kPeekWheelMessage, 0, 0);
    PostMessageA(child_, WM_MOUSEWHEEL, 0x784000, kLParam);
    const bool synced = Sync(child_);
    const std::vector<LogRecord> got = Since(sink_.records);
    const bool ok =
        synced && got.size() == 2 && got[0].kind == RecordKind::Result &&
        got[0].wParam == 0x784000 && got[1].message == WM_MOUSEWHEEL &&
        got[1].wParam == 0x780000;
    checks.Expect(ok, "peek without removal sees the marker, removal strips it",
                  "  got:\n" + Show(got));
  }

  // The shared section across processes: the target's own SetHook sees
  // this program's hook.
  void RunSetHookFromTarget() {
    Begin();
    PostMessageA(top_, kCallSetHookMessage, 1, 0);
    const MessageBoxSeen box = AnswerMessageBox(kTitle, IDOK);
    const bool answered =
        PumpUntil([&] { return Since(sink_.records).size() == 1; }, kTimeoutMs);
    const bool refused = answered && Since(sink_.records)[0].wParam == 0;
    checks.Expect(
        box.found && box.text == "Hook handle is already set" && refused,
        "SetHook from another process is refused", "  box: " + box.text);
  }

  Checks checks;

 private:
  HWND Window(Spot spot) const { return spot == Spot::Top ? top_ : child_; }

  void PointAt(Spot spot) {
    RECT r;
    if (spot == Spot::Child) {
      GetWindowRect(child_, &r);
      SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    } else {
      POINT p{10, 10};  // client area of the top window, beside the child
      ClientToScreen(top_, &p);
      SetCursorPos(p.x, p.y);
    }
  }

  void Begin() {
    Drain();
    recordsSeen_ = sink_.records.size();
    postedSeen_ = sink_.posted.size();
  }

  // Waits until the target has taken everything posted to `window` so far,
  // then collects the notifications that the hook posted meanwhile.
  bool Sync(HWND window) {
    PostMessageA(window, kSyncMessage, 0, 0);
    const bool ok = PumpUntil(
        [&] {
          for (size_t i = recordsSeen_; i < sink_.records.size(); ++i)
            if (sink_.records[i].kind == RecordKind::Synced) return true;
          return false;
        },
        kTimeoutMs);
    Drain();
    return ok;
  }

  std::vector<LogRecord> Since(const std::vector<LogRecord>& all) const {
    const size_t from = &all == &sink_.records ? recordsSeen_ : postedSeen_;
    std::vector<LogRecord> out;
    for (size_t i = from; i < all.size(); ++i)
      if (all[i].kind != RecordKind::Synced) out.push_back(all[i]);
    return out;
  }

  void RunCase(const Case& c) {
    Begin();
    PointAt(c.pointer);
    PostMessageA(Window(c.postTo), c.message, static_cast<WPARAM>(c.wParam),
                 kLParam);
    const bool synced = Sync(Window(c.postTo));

    std::vector<LogRecord> wantReceived = {
        {RecordKind::Received, c.delivered,
         reinterpret_cast<uintptr_t>(Window(c.postTo)),
         static_cast<WPARAM>(c.deliveredWParam), kLParam}};
    std::vector<LogRecord> wantNotified;
    for (const Notified& n : c.notified)
      wantNotified.push_back({RecordKind::Received, n.message,
                              reinterpret_cast<uintptr_t>(sink_.window()),
                              reinterpret_cast<uintptr_t>(Window(n.window)),
                              kLParam});
    const std::vector<LogRecord> gotReceived = Since(sink_.records);
    const std::vector<LogRecord> gotNotified = Since(sink_.posted);
    const bool ok = synced && Same(gotReceived, wantReceived) &&
                    Same(gotNotified, wantNotified);
    checks.Expect(ok, c.name,
                  "  target expected:\n" + Show(wantReceived) +
                      "  target got:\n" + Show(gotReceived) +
                      "  host expected:\n" + Show(wantNotified) +
                      "  host got:\n" + Show(gotNotified));
  }

  static bool Same(const std::vector<LogRecord>& a,
                   const std::vector<LogRecord>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (a[i].kind != b[i].kind || a[i].message != b[i].message ||
          a[i].window != b[i].window || a[i].wParam != b[i].wParam ||
          a[i].lParam != b[i].lParam)
        return false;
    return true;
  }

  std::string Show(const std::vector<LogRecord>& records) const {
    std::string out;
    for (const LogRecord& r : records)
      out += "    " + Name(r.window) + " message " + Hex(r.message) +
             " wParam " + Hex(r.wParam) + " lParam " +
             Hex(static_cast<uint64_t>(r.lParam)) + "\n";
    return out.empty() ? "    (nothing)\n" : out;
  }

  std::string Name(uint64_t window) const {
    if (window == reinterpret_cast<uintptr_t>(top_)) return "top  ";
    if (window == reinterpret_cast<uintptr_t>(child_)) return "child";
    if (window == reinterpret_cast<uintptr_t>(sink_.window())) return "host ";
    return Hex(window);
  }

  Sink sink_;
  HANDLE target_ = nullptr;
  HWND top_ = nullptr, child_ = nullptr;
  size_t recordsSeen_ = 0, postedSeen_ = 0;
};

}  // namespace

int main() {
  Driver driver;
  Checks& checks = driver.checks;
  if (!driver.StartTarget()) {
    checks.Expect(false, "target starts");
    return checks.Finish(kBuild);
  }

  driver.Run(kUnhooked);
  checks.Expect(SetHook(driver.window(), false), "SetHook, close flag off");
  driver.Run(kCloseFlagOff);
  driver.RunPeek();

  bool second = true;
  MessageBoxSeen box = AnswerMessageBoxDuring(
      kTitle, IDOK, [&] { second = SetHook(driver.window(), true); });
  checks.Expect(!second && box.text == "Hook handle is already set",
                "second SetHook is refused with its message box",
                "  box: " + box.text);
  driver.RunSetHookFromTarget();
  driver.Run({kCloseFlagOff[9]});  // the refused calls kept the flag off

  checks.Expect(ResetHook(), "ResetHook");
  driver.Run(kUnhooked);
  bool again = true;
  box = AnswerMessageBoxDuring(kTitle, IDOK, [&] { again = ResetHook(); });
  checks.Expect(!again && box.text == "Hook unregistration failed!",
                "second ResetHook fails with its message box",
                "  box: " + box.text);

  checks.Expect(SetHook(driver.window(), true),
                "SetHook after ResetHook, close flag on");
  driver.Run(kCloseFlagOn);
  checks.Expect(ResetHook(), "ResetHook at the end");
  driver.StopTarget();
  return checks.Finish(kBuild);
}
