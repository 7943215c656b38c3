// The hook library with this program as its host: which messages it takes
// over, what it tells the host, the marker, and SetHook and ResetHook.
#include "harness.h"
#include "hook_api.h"

namespace e2e {

constexpr const char* kTitle = sizeof(void*) == 8 ? "Tavrin64" : "Tavrin";

constexpr uint64_t kMarkedDown = 0xFFFFFFFFFF884000;
constexpr WPARAM kMarkedDownStripped =
    static_cast<WPARAM>(kMarkedDown) & ~WPARAM{MK_INJECTED};
constexpr WPARAM kHighHalfUp = static_cast<WPARAM>(0xFFFFFFFF00780000);

// clang-format off
const std::vector<Row> kCloseFlagOff = {
  {"wheel, delta 0: up, the window under the pointer", Child, Top, 0x20A, 0, {{Top, WM_NULL, 0}, Notified(WMU_WHEEL_UP, Child)}},
  {"wheel, delta +240: one notification", Child, Child, 0x20A, 0xF00000, {{Child, WM_NULL, 0xF00000}, Notified(WMU_WHEEL_UP, Child)}},
  {"wheel, delta -30: down", Top, Child, 0x20A, 0xFFE20000, {{Child, WM_NULL, 0xFFE20000}, Notified(WMU_WHEEL_DOWN, Top)}},
  {"wheel, delta -32768: down", Top, Child, 0x20A, 0x80000000, {{Child, WM_NULL, 0x80000000}, Notified(WMU_WHEEL_DOWN, Top)}},
  {"wheel sign is bit 31, not the upper half", Child, Top, 0x20A, kHighHalfUp, {{Top, WM_NULL, kHighHalfUp}, Notified(WMU_WHEEL_UP, Child)}},
  {"X button 1", Child, Top, 0x20C, 0x10000, {{Top, WM_NULL, 0x10000}, Notified(WMU_XBUTTON1_UP, Child)}},
  {"both X buttons: 1, then 2", Top, Child, 0x20C, 0x30000, {{Child, WM_NULL, 0x30000}, Notified(WMU_XBUTTON1_UP, Top), Notified(WMU_XBUTTON2_UP, Top)}},
  {"X button release naming neither button passes", Child, Child, 0x20C, 0x40000, {{Child, 0x20C, 0x40000}}},
  {"X button press is swallowed silently", Child, Child, 0x20B, 0x10020, {{Child, WM_NULL, 0x10020}}},
  {"middle press passes while the close flag is off", Child, Child, 0x207, 0x10, {{Child, 0x207, 0x10}}},
  {"middle release passes while the close flag is off", Child, Child, 0x208, 0, {{Child, 0x208, 0}}},
  {"double clicks pass", Child, Child, 0x20D, 0x10000, {{Child, 0x20D, 0x10000}}},
  {"horizontal wheel passes", Child, Child, 0x20E, kUp, {{Child, 0x20E, kUp}}},
  {"marked wheel arrives stripped, unnotified", Child, Child, 0x20A, 0x784000, {{Child, 0x20A, kUp}}},
  {"marked wheel down keeps every other bit", Child, Child, 0x20A, static_cast<WPARAM>(kMarkedDown), {{Child, 0x20A, kMarkedDownStripped}}},
  {"marked horizontal wheel loses the marker", Child, Child, 0x20E, 0x784000, {{Child, 0x20E, kUp}}},
  {"0x206 keeps 0x4000", Child, Child, 0x206, 0x4002, {{Child, 0x206, 0x4002}}},
  {"0x20F keeps 0x4000", Child, Child, 0x20F, 0x784000, {{Child, 0x20F, 0x784000}}},
};
const std::vector<Row> kCloseFlagOn = {
  {"middle press is swallowed silently", Top, Child, 0x207, 0x10, {{Child, WM_NULL, 0x10}}},
  {"middle release notifies its own window", Top, Child, 0x208, 0, {{Child, WM_NULL, 0}, Notified(WMU_MBUTTON_CLICK, Child)}},
  {"middle double click passes", Child, Child, 0x209, 0x10, {{Child, 0x209, 0x10}}},
  {"injected middle press arrives as MK_MBUTTON", Child, Child, 0x207, 0x4010, {{Child, 0x207, 0x10}}},
  {"injected middle release arrives with no flags", Child, Child, 0x208, 0x4000, {{Child, 0x208, 0}}},
  {"non-client middle release passes", Top, Top, WM_NCMBUTTONUP, HTCAPTION, {{Top, WM_NCMBUTTONUP, HTCAPTION}}},
};
const std::vector<Row> kModernWheel = {
  {"modern: the window under the pointer, then the message's own wParam, to the host", Child, Top, 0x20A, 0xFFE20008, {{Top, WM_NULL, 0xFFE20008}, Notified(WMU_WHEEL_TARGET, Child), {Sink, WMU_WHEEL_MESSAGE, 0xFFE20008}}},
  {"modern: the tilt wheel too", Child, Top, 0x20E, kUp, {{Top, WM_NULL, kUp}, Notified(WMU_WHEEL_TARGET, Child), {Sink, WMU_HWHEEL_MESSAGE, kUp}}},
  {"modern: a marked tilt wheel passes, stripped", Child, Child, 0x20E, 0x784000, {{Child, 0x20E, kUp}}},
};
// clang-format on

void HookCases() {
  Rows(kUnhooked);
  Check(SetHook(scene[Sink], false), "SetHook, close flag off");
  Rows(kCloseFlagOff);
  StartCase();
  PostMessageA(scene[Child], WM_MOUSEWHEEL, 0x784000, kPointLParam);
  MSG peeked{};
  PeekMessageA(&peeked, nullptr, WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_NOREMOVE);
  std::string detail;
  Check(Expect({{Child, 0x20A, kUp}}, detail) && peeked.wParam == 0x784000,
        "a peek sees the marker, the removal strips it", detail);
  bool result = true;
  std::string text =
      Answer(kTitle, IDOK, [&] { result = SetHook(scene[Sink], true); });
  Check(!result && text == "Hook handle is already set",
        "a second SetHook is refused", text);
  Rows({kCloseFlagOff[9]});  // the refused call kept the flag off
  Check(ResetHook(), "ResetHook");
  Rows(kUnhooked);
  text = Answer(kTitle, IDOK, [&] { result = ResetHook(); });
  Check(!result && text == "Hook unregistration failed!",
        "a second ResetHook fails", text);
  Check(SetHook(scene[Sink], true), "SetHook after ResetHook, close flag on");
  Rows(kCloseFlagOn);
  SetModernWheel(true);
  Rows(kModernWheel);
  SetModernWheel(false);
  Check(ResetHook(), "ResetHook at the end");
}

}  // namespace e2e
