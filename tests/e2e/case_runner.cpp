#include "case_runner.h"

#include <commctrl.h>

#include <algorithm>

namespace tavrin::e2e {

namespace {

constexpr int64_t kSyncLParam = 0x7F017F01;  // marks the host sync's notch
constexpr uint64_t kSyncWheel = 0x00780000;

// Each window's messages in order; between windows (and processes) there is
// no order to compare.
bool SameByWindow(std::vector<Got> a, std::vector<Got> b) {
  if (a.size() != b.size()) return false;
  const auto byWindow = [](const Got& x, const Got& y) {
    return x.window < y.window;
  };
  std::stable_sort(a.begin(), a.end(), byWindow);
  std::stable_sort(b.begin(), b.end(), byWindow);
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].window != b[i].window || a[i].message != b[i].message ||
        a[i].wParam != b[i].wParam ||
        (a[i].lParam != b[i].lParam && a[i].lParam != kAnyLParam &&
         b[i].lParam != kAnyLParam))
      return false;
  return true;
}

}  // namespace

CaseRunner::CaseRunner(SyncBy syncBy, UINT firstNotification,
                       UINT lastNotification)
    : sink(firstNotification, lastNotification), syncBy_(syncBy) {}

bool CaseRunner::StartTarget() {
  target_ = sink.StartTarget();
  return target_ != nullptr;
}

void CaseRunner::StopTarget() {
  PostMessageA(Window(Role::Top), WM_CLOSE, 0, 0);
  checks.Expect(WaitForSingleObject(target_, 5000) == WAIT_OBJECT_0,
                "target ends");
}

HWND CaseRunner::Window(Role role) const {
  return role == Role::Host ? sink.window() : sink.WindowFor(role);
}

void CaseRunner::PointAt(Role role) {
  RECT r;
  GetWindowRect(Window(role), &r);
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  if (role == Role::Top) {  // Top's own client area, beside its children
    p = {10, 10};
    ClientToScreen(Window(role), &p);
  }
  SetCursorPos(p.x, p.y);
}

bool CaseRunner::Sync(DWORD timeoutMs) {
  const size_t from = sink.records.size();
  HWND echo;
  RecordKind kind;
  if (syncBy_ == SyncBy::Target) {
    echo = Window(Role::Top);
    kind = RecordKind::Synced;
    PostMessageA(echo, kSyncMessage, 0, 0);
  } else {
    echo = Window(Role::Sync);
    kind = RecordKind::Received;
    PointAt(Role::Sync);
    PostMessageA(Window(Role::Top), WM_MOUSEWHEEL, kSyncWheel, kSyncLParam);
  }
  const bool synced = PumpUntil(
      [&] {
        for (size_t i = from; i < sink.records.size(); ++i)
          if (sink.records[i].kind == kind &&
              sink.records[i].window == reinterpret_cast<uintptr_t>(echo))
            return true;
        return false;
      },
      timeoutMs);
  Drain();
  return synced;
}

size_t CaseRunner::Mark() {
  Drain();
  postedMark_ = sink.posted.size();
  return sink.records.size();
}

std::vector<Got> CaseRunner::ReceivedSince(size_t mark) const {
  std::vector<Got> got;
  for (size_t i = mark; i < sink.records.size(); ++i) {
    const LogRecord& r = sink.records[i];
    if (r.kind == RecordKind::Received && r.lParam != kSyncLParam)
      got.push_back({RoleOf(r.window), r.message, r.wParam, r.lParam});
  }
  for (size_t i = postedMark_; i < sink.posted.size(); ++i) {
    const LogRecord& r = sink.posted[i];
    if (r.lParam != kSyncLParam)
      got.push_back({Role::Host, r.message,
                     static_cast<uint64_t>(RoleOf(r.wParam)), r.lParam});
  }
  return got;
}

std::string CaseRunner::Show(const std::vector<Got>& records) const {
  std::string out;
  for (const Got& g : records)
    out += "    role " + std::to_string(static_cast<int>(g.window)) +
           " message " + Hex(g.message) + " wParam " + Hex(g.wParam) +
           " lParam " + Hex(static_cast<uint64_t>(g.lParam)) + "\n";
  return out.empty() ? "    (nothing)\n" : out;
}

Role CaseRunner::RoleOf(uint64_t window) const {
  for (uint32_t role = 0; role < static_cast<uint32_t>(Role::Count); ++role)
    if (reinterpret_cast<uintptr_t>(Window(static_cast<Role>(role))) == window)
      return static_cast<Role>(role);
  return Role::Count;
}

void CaseRunner::Run(const std::vector<Case>& cases) {
  for (const Case& c : cases) RunCase(c);
}

void CaseRunner::RunCase(const Case& c) {
  if (c.spinStart != kNoSpinStart)
    SendMessageA(Window(c.pointer), UDM_SETPOS, 0, c.spinStart);
  const size_t mark = Mark();
  PointAt(c.pointer);
  PostMessageA(Window(c.postTo), c.message, static_cast<WPARAM>(c.wParam),
               kLParam);
  const bool synced = Sync();
  // Key events travel through the input queue, not in order with posts.
  PumpUntil([&] { return ReceivedSince(mark).size() >= c.expected.size(); },
            1000);
  const std::vector<Got> got = ReceivedSince(mark);
  checks.Expect(synced && SameByWindow(got, c.expected), c.name,
                "  expected:\n" + Show(c.expected) + "  got:\n" + Show(got));
}

}  // namespace tavrin::e2e
