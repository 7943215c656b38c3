// Drives the hook library across processes, as its host would: this program
// owns the hidden window (the sink), installs the hook with SetHook and
// collects the notifications; msg_target.exe, a separate process, retrieves
// the messages that this program posts to its windows and reports what its
// window procedures received.
#include <windows.h>

#include "case_runner.h"
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

constexpr Role Top = Role::Top, Child = Role::Child;
constexpr uint64_t kWheelDownMarked = 0xFFFFFFFFFF884000;

// clang-format off
// Every message passes untouched: no hook, or a hook that was removed.
const std::vector<Case> kUnhooked = {
  {"wheel reaches the focus window untouched", Child, Top, WM_MOUSEWHEEL, 0x780000, {{Top, WM_MOUSEWHEEL, 0x780000}}},
};

const std::vector<Case> kCloseFlagOff = {
  {"wheel, delta 0: up, window under the pointer", Child, Top, WM_MOUSEWHEEL, 0, {{Top, WM_NULL, 0}, Notified(WMU_WHEEL_UP, Child)}},
  {"wheel, delta +240: one notification", Child, Child, WM_MOUSEWHEEL, 0xF00000, {{Child, WM_NULL, 0xF00000}, Notified(WMU_WHEEL_UP, Child)}},
  {"wheel, delta -30: down", Top, Child, WM_MOUSEWHEEL, 0xFFE20000, {{Child, WM_NULL, 0xFFE20000}, Notified(WMU_WHEEL_DOWN, Top)}},
  {"X button 1", Child, Top, WM_XBUTTONUP, 0x10000, {{Top, WM_NULL, 0x10000}, Notified(WMU_XBUTTON1_UP, Child)}},
  {"X button 2", Child, Child, WM_XBUTTONUP, 0x20000, {{Child, WM_NULL, 0x20000}, Notified(WMU_XBUTTON2_UP, Child)}},
  {"both X buttons: 1, then 2", Top, Child, WM_XBUTTONUP, 0x30000, {{Child, WM_NULL, 0x30000}, Notified(WMU_XBUTTON1_UP, Top), Notified(WMU_XBUTTON2_UP, Top)}},
  {"X button release naming neither button passes", Child, Child, WM_XBUTTONUP, 0, {{Child, WM_XBUTTONUP, 0}}},
  {"X button press is swallowed silently", Child, Child, WM_XBUTTONDOWN, 0x10020, {{Child, WM_NULL, 0x10020}}},
  {"middle press passes while the close flag is off", Child, Child, WM_MBUTTONDOWN, 0x10, {{Child, WM_MBUTTONDOWN, 0x10}}},
  {"middle release passes while the close flag is off", Child, Child, WM_MBUTTONUP, 0, {{Child, WM_MBUTTONUP, 0}}},
  {"middle double click passes", Child, Child, WM_MBUTTONDBLCLK, 0x10, {{Child, WM_MBUTTONDBLCLK, 0x10}}},
  {"X double click passes", Child, Child, WM_XBUTTONDBLCLK, 0x10000, {{Child, WM_XBUTTONDBLCLK, 0x10000}}},
  {"horizontal wheel passes", Child, Child, WM_MOUSEHWHEEL, 0x780000, {{Child, WM_MOUSEHWHEEL, 0x780000}}},
  {"marked wheel up arrives stripped, unnotified", Child, Child, WM_MOUSEWHEEL, 0x784000, {{Child, WM_MOUSEWHEEL, 0x780000}}},
  {"marked wheel down keeps all other bits", Child, Child, WM_MOUSEWHEEL, kWheelDownMarked, {{Child, WM_MOUSEWHEEL, static_cast<WPARAM>(kWheelDownMarked & ~uint64_t{MK_INJECTED})}}},
  {"marked horizontal wheel loses the marker", Child, Child, WM_MOUSEHWHEEL, 0x784000, {{Child, WM_MOUSEHWHEEL, 0x780000}}},
  {"left press keeps 0x4000", Child, Child, WM_LBUTTONDOWN, 0x4001, {{Child, WM_LBUTTONDOWN, 0x4001}}},
  {"0x206 keeps 0x4000", Child, Child, WM_RBUTTONDBLCLK, 0x4002, {{Child, WM_RBUTTONDBLCLK, 0x4002}}},
  {"0x20F keeps 0x4000", Child, Child, WM_MOUSEHWHEEL + 1, 0x784000, {{Child, WM_MOUSEHWHEEL + 1, 0x784000}}},
};

const std::vector<Case> kCloseFlagOn = {
  {"middle press is swallowed silently", Top, Child, WM_MBUTTONDOWN, 0x10, {{Child, WM_NULL, 0x10}}},
  {"middle release notifies its own window", Top, Child, WM_MBUTTONUP, 0, {{Child, WM_NULL, 0}, Notified(WMU_MBUTTON_CLICK, Child)}},
  {"middle double click passes", Child, Child, WM_MBUTTONDBLCLK, 0x10, {{Child, WM_MBUTTONDBLCLK, 0x10}}},
  {"injected middle press arrives as MK_MBUTTON", Child, Child, WM_MBUTTONDOWN, 0x4010, {{Child, WM_MBUTTONDOWN, 0x10}}},
  {"injected middle release arrives with no flags", Child, Child, WM_MBUTTONUP, 0x4000, {{Child, WM_MBUTTONUP, 0}}},
  {"marked wheel arrives stripped", Child, Top, WM_MOUSEWHEEL, 0x784000, {{Top, WM_MOUSEWHEEL, 0x780000}}},
  {"non-client middle press passes", Top, Top, WM_NCMBUTTONDOWN, HTCAPTION, {{Top, WM_NCMBUTTONDOWN, HTCAPTION}}},
  {"non-client middle release passes", Top, Top, WM_NCMBUTTONUP, HTCAPTION, {{Top, WM_NCMBUTTONUP, HTCAPTION}}},
  {"wheel is still taken over", Child, Top, WM_MOUSEWHEEL, 0x780000, {{Top, WM_NULL, 0x780000}, Notified(WMU_WHEEL_UP, Child)}},
};
// clang-format on

// The first Result the target sent after the mark, or 0xBAD.
uint64_t ResultSince(CaseRunner& run, size_t mark) {
  PumpUntil(
      [&] {
        for (size_t i = mark; i < run.sink.records.size(); ++i)
          if (run.sink.records[i].kind == RecordKind::Result) return true;
        return false;
      },
      3000);
  for (size_t i = mark; i < run.sink.records.size(); ++i)
    if (run.sink.records[i].kind == RecordKind::Result)
      return run.sink.records[i].wParam;
  return 0xBAD;
}

// Looking at a message without removing it changes nothing; taking it
// afterwards does.
void Peek(CaseRunner& run) {
  const size_t mark = run.Mark();
  run.PointAt(Child);
  PostMessageA(run.Window(Top), kPeekWheelMessage, 0, 0);
  PostMessageA(run.Window(Child), WM_MOUSEWHEEL, 0x784000, kLParam);
  const uint64_t peeked = ResultSince(run, mark);
  run.Sync();
  const std::vector<Got> got = run.ReceivedSince(mark);
  run.checks.Expect(peeked == 0x784000 && got.size() == 1 &&
                        got[0].message == WM_MOUSEWHEEL &&
                        got[0].wParam == 0x780000,
                    "peek without removal sees the marker, removal strips it",
                    "  peeked " + Hex(peeked) + ", got:\n" + run.Show(got));
}

// The shared section across processes: the target's own SetHook sees
// this program's hook.
void SetHookFromTarget(CaseRunner& run) {
  const size_t mark = run.Mark();
  PostMessageA(run.Window(Top), kCallSetHookMessage, 1, 0);
  const MessageBoxSeen box = AnswerMessageBox(kTitle, IDOK);
  run.checks.Expect(
      box.text == "Hook handle is already set" && ResultSince(run, mark) == 0,
      "SetHook from another process is refused", "  box: " + box.text);
}

// A call that must fail with its message box.
void ExpectRefusal(CaseRunner& run, const char* name, const char* text,
                   bool (*call)(HWND)) {
  bool result = true;
  const MessageBoxSeen box = AnswerMessageBoxDuring(
      kTitle, IDOK, [&] { result = call(run.Window(Role::Host)); });
  run.checks.Expect(!result && box.text == text, name, "  box: " + box.text);
}

}  // namespace

int main() {
  CaseRunner run(CaseRunner::SyncBy::Target, WMU_MBUTTON_CLICK,
                 WMU_XBUTTON2_UP);
  Checks& checks = run.checks;
  if (!run.StartTarget()) {
    checks.Expect(false, "target starts");
    return checks.Finish(kBuild);
  }
  HWND host = run.Window(Role::Host);

  run.Run(kUnhooked);
  checks.Expect(SetHook(host, false), "SetHook, close flag off");
  run.Run(kCloseFlagOff);
  Peek(run);
  ExpectRefusal(run, "second SetHook is refused with its message box",
                "Hook handle is already set",
                [](HWND w) { return SetHook(w, true); });
  SetHookFromTarget(run);
  run.Run({kCloseFlagOff[9]});  // the refused calls kept the flag off

  checks.Expect(ResetHook(), "ResetHook");
  run.Run(kUnhooked);
  ExpectRefusal(run, "second ResetHook fails with its message box",
                "Hook unregistration failed!",
                [](HWND) { return ResetHook(); });

  checks.Expect(SetHook(host, true), "SetHook after ResetHook, close flag on");
  run.Run(kCloseFlagOn);
  checks.Expect(ResetHook(), "ResetHook at the end");
  run.StopTarget();
  return checks.Finish(kBuild);
}
