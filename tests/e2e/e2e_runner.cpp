// The end-to-end runner: the real binaries under Wine, one case a row.
// Target windows live in this program's own thread: the global hook runs in
// whichever thread retrieves a message, so with Tavrin64.exe in a process of
// its own the chain hook -> host -> target stays whole. For the library's
// own cases, and in the 32-bit build, this program stands in for the host.
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "hook_api.h"
#include "tavrin_protocol.h"
#ifdef TAVRIN_HOST_CASES
#include "companion_protocol.h"
#include "hostile_settings.h"
#endif
#ifdef _WIN64
#include "dispatcher.h"
#include "settings_loader.h"
#include "win32_desktop.h"
#endif

using namespace tavrin;
using namespace std::string_literals;

namespace {

// The scene's windows, by what the cases use them for; Tv... are classes.
enum Win : int {
  Sink,       // TvSink: gets the notifications when this program hosts
  Top,        // TvTop: the focus window
  Child,      // TvChild in Top, with the keyboard focus
  List,       // a list box of 100 lines in Top
  Spin,       // msctls_updown32 in Top, answering from `spin`
  Lookalike,  // msctls_updown32x in Top
  Pane,       // TvPaneA in Top
  SyncPane,   // TvSync in Top, excluded: its notch ends every host case
  ExChild,    // TvChild in the top-level TvExcludedTop
  PassChild,  // TvChild in the top-level TvPassTop
  DropChild,  // TvChild in the top-level TvDropTop
  Popup,      // TvPopup, owned by Top
  Dialog,     // a top-level window of the system's dialog class "#32770"
  Blank,      // top-level "TvBlank ", a class with a trailing blank
  Bang,       // top-level "!TvBang", excluded by the low sentinel
  Bars,       // TvBars: only its horizontal bar can scroll (see ScrollBars)
  HungPane,   // TvHung and an up-down, top-level windows of a thread that
  HungSpin,   // stops retrieving messages (see Hung)
  kWins
};

// The posted messages' lParam: a point left of and above the primary
// monitor, whose negative coordinates must survive every crossing.
constexpr int64_t kL = static_cast<int32_t>(0xFFF0FFE0);
constexpr int64_t kSyncLParam = 0x7F017F01;  // the host sync's notch
constexpr uint64_t kUp = 0x00780000, kDown = 0xFF880000;
constexpr DWORD kFailed = 0xFFFFFFFF;  // the host's exit code -1

// One message that one window received. A notification to Sink names a Win
// in its wParam; key messages are logged with lParam 0.
struct Got {
  int window;
  UINT message;
  uint64_t wParam;
  int64_t lParam = kL;
  bool operator==(const Got&) const = default;
};

// The pointer is put over `pointer`, `message` is posted to `postTo` as the
// system would, and exactly `expected` must arrive, in order.
struct Row {
  const char* name;
  Win pointer, postTo;
  UINT message;
  WPARAM wParam;
  std::vector<Got> expected;
  short spin[3] = {10, 0, 0};  // the up-down's Max, Min and position
};

HWND win[kWins];
std::vector<Got> got;
size_t mark = 0;
short spin[3];
bool hostSync = false;  // a host of its own: each case ends with its notch
const DWORD sceneThread = GetCurrentThreadId();
std::atomic<int> hungScrolls, hungSetPos;  // see Hung
int passed = 0, failed = 0;

bool Check(bool ok, const std::string& name, const std::string& detail = "") {
  ++(ok ? passed : failed);
  printf("%s %s\n%s", ok ? "ok  " : "FAIL", name.c_str(),
         ok || detail.empty() ? "" : (detail + "\n").c_str());
  fflush(stdout);
  return ok;
}

LRESULT CALLBACK Logged(HWND w, UINT m, WPARAM wParam, LPARAM lParam) {
  if (GetCurrentThreadId() != sceneThread) {  // the hung thread, resumed
    hungScrolls += m == WM_VSCROLL;
    hungSetPos += m == 0x467;
    return DefWindowProcA(w, m, wParam, lParam);
  }
  const auto winOf = [](HWND h) {
    return static_cast<int>(std::find(win, win + kWins, h) - win);
  };
  if (m == 0x466) return MAKELONG(spin[0], spin[1]);  // UDM_GETRANGE
  if (m == 0x468) return static_cast<WORD>(spin[2]);  // UDM_GETPOS
  // Buttons and wheels, keys, scrolling, system commands, UDM_SETPOS, the
  // notifications, and WM_NULL: what a swallowed message becomes.
  const bool keys = m >= WM_KEYDOWN && m <= WM_SYSKEYUP;
  const bool told = m >= WMU_MBUTTON_CLICK && m <= WMU_XBUTTON2_UP;
  if (m == WM_NULL || (m > WM_MOUSEMOVE && m <= 0x20F) || keys || told ||
      m == WM_NCMBUTTONUP || m == WM_HSCROLL || m == WM_VSCROLL ||
      m == WM_SYSCOMMAND || m == 0x467) {
    got.push_back(
        {winOf(w), m,
         told ? static_cast<uint64_t>(winOf(reinterpret_cast<HWND>(wParam)))
              : wParam,
         keys ? 0 : lParam});
    return 0;
  }
  return DefWindowProcA(w, m, wParam, lParam);
}

HWND Make(int id, const char* name, DWORD style, RECT r, HWND parent) {
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = Logged;
  wc.lpszClassName = name;
  RegisterClassA(&wc);  // fails harmlessly for a class registered before
  HWND w = CreateWindowExA(0, name, name, style, r.left, r.top, r.right,
                           r.bottom, parent, nullptr, nullptr, nullptr);
  // Top-level windows other than Top show without taking the focus.
  if (!(style & WS_CHILD)) ShowWindow(w, SW_SHOWNOACTIVATE);
  return id < kWins ? win[id] = w : w;
}

// Keys go to the foreground thread: this one, with the focus in Child.
void Focus() {
  SetForegroundWindow(win[Top]);
  SetFocus(win[Child]);
}

void CreateScene() {
  constexpr DWORD kTop = WS_OVERLAPPEDWINDOW, kPopup = WS_POPUP | WS_BORDER;
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_BORDER;
  Make(Sink, "TvSink", 0, {0, 0, 10, 10}, nullptr);
  HWND top = Make(Top, "TvTop", kTop | WS_VISIBLE, {0, 0, 640, 460}, nullptr);
  Make(Child, "TvChild", kChild, {20, 20, 160, 80}, top);
  Make(Spin, "msctls_updown32", kChild, {380, 20, 30, 40}, top);
  Make(Lookalike, "msctls_updown32x", kChild, {420, 20, 30, 40}, top);
  Make(Pane, "TvPaneA", kChild, {20, 200, 120, 60}, top);
  Make(SyncPane, "TvSync", kChild, {300, 200, 60, 40}, top);
  const char* tops[] = {"TvExcludedTop", "TvPassTop", "TvDropTop"};
  // Each TvChild sits in a TvBox: the climb to the top takes two steps.
  for (int i = 0; i < 3; ++i)
    Make(ExChild + i, "TvChild", kChild, {10, 10, 120, 40},
         Make(kWins, "TvBox", kChild, {10, 10, 160, 80},
              Make(kWins, tops[i], kTop, {660, 170 * i, 300, 150}, nullptr)));
  Make(Popup, "TvPopup", kPopup, {20, 500, 200, 100}, top);  // owned by Top
  Make(Blank, "TvBlank ", kPopup, {560, 520, 80, 60}, nullptr);
  Make(Bang, "!TvBang", kPopup, {660, 520, 80, 60}, nullptr);
  win[Dialog] = CreateWindowExA(0, WC_DIALOG, "", kPopup, 300, 500, 200, 100,
                                nullptr, nullptr, nullptr, nullptr);
  ShowWindow(win[Dialog], SW_SHOWNOACTIVATE);
  win[List] = CreateWindowExA(0, "ListBox", "", kChild | WS_VSCROLL, 200, 20,
                              150, 150, top, nullptr, nullptr, nullptr);
  for (int i = 0; i < 100; ++i)
    SendMessageA(win[List], LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("line"));
  Focus();
}

// Dispatches this thread's messages until done() or the deadline, waking at
// least every 10 ms: some conditions change without a message to us.
bool Pump(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (MSG msg;;) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    MsgWaitForMultipleObjects(
        0, nullptr, FALSE, static_cast<DWORD>(std::min(deadline - now, 10ull)),
        QS_ALLINPUT);
  }
}

void PointAt(int w) {
  RECT r;
  GetWindowRect(win[w], &r);
  POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  if (w == Top) p = {r.left + 10, r.top + 40};  // beside Top's children
  SetCursorPos(p.x, p.y);
}

// What arrived since the mark, the sync notches left out.
std::vector<Got> Since() {
  std::vector<Got> since;
  std::copy_if(got.begin() + static_cast<long>(mark), got.end(),
               std::back_inserter(since),
               [](const Got& g) { return g.lParam != kSyncLParam; });
  return since;
}

// Waits until what a case set going has arrived. With a host, a notch over
// SyncPane goes last: the host handles notifications in order and posts to
// a thread in order. Key events (the input queue) and the probe's reports
// (the host's own queue) come after the posts, and get a moment more.
bool Settle(size_t expected = 0, DWORD timeoutMs = 3000) {
  bool settled = true;
  if (hostSync) {
    const size_t from = got.size();
    PointAt(SyncPane);
    PostMessageA(win[Top], WM_MOUSEWHEEL, kUp, kSyncLParam);
    const Got echo{SyncPane, WM_MOUSEWHEEL, kUp, kSyncLParam};
    settled = Pump(
        [&] {
          return std::find(got.begin() + static_cast<long>(from), got.end(),
                           echo) != got.end();
        },
        timeoutMs);
  }
  Pump([] { return true; }, 0);
  if (expected) Pump([&] { return Since().size() >= expected; }, 1000);
  return settled;
}

void Mark() {
  Settle();
  mark = got.size();
}

// Runs the row; whether exactly what it expects arrived, and if not, what.
bool RunRow(const Row& row, std::string& detail) {
  std::copy(row.spin, row.spin + 3, spin);
  Mark();
  PointAt(row.pointer);
  PostMessageA(win[row.postTo], row.message, row.wParam, kL);
  const bool settled = Settle(row.expected.size());
  detail = "  expected, then got (window, message, wParam, lParam):";
  for (const auto& list : {row.expected, Since()}) {
    for (const Got& g : list) {
      char line[96];
      snprintf(line, sizeof line, "\n    %d %#x %#llx %#llx", g.window,
               g.message, static_cast<unsigned long long>(g.wParam),
               static_cast<unsigned long long>(g.lParam));
      detail += line;
    }
    detail += "\n  --";
  }
  return settled && Since() == row.expected;
}

void Rows(const std::vector<Row>& rows) {
  std::string detail;
  for (const Row& row : rows) Check(RunRow(row, detail), row.name, detail);
}

std::string Here(const std::string& name) {
  char path[MAX_PATH];
  const std::string self(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return self.substr(0, self.find_last_of('\\') + 1) + name;
}

// A file beside Tavrin64.exe: this program's own folder in the 64-bit
// build; the 32-bit build's windows are served by the 64-bit build's host.
std::string Host(const std::string& name) {
#ifdef TAVRIN_HOST_DIR
  std::string path = TAVRIN_HOST_DIR + name;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
#else
  return Here(name);
#endif
}

// Starts "NAME.exe ARGS" from the host's folder, or this program's own,
// with its standard output into `output` if given.
HANDLE Start(const std::string& commandLine, bool own = false,
             HANDLE output = nullptr) {
  const size_t blank = std::min(commandLine.find(' '), commandLine.size());
  const std::string name = commandLine.substr(0, blank);
  std::string line =
      "\"" + (own ? Here(name) : Host(name)) + "\"" + commandLine.substr(blank);
  for (int attempt = 0; attempt < 3; ++attempt) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = output ? STARTF_USESTDHANDLES : 0;
    si.hStdOutput = output;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr,
                       output != nullptr, 0, nullptr, nullptr, &si, &pi)) {
      CloseHandle(pi.hThread);
      return pi.hProcess;
    }
    Sleep(200);  // Wine may refuse a start right after the prefix comes up
  }
  return nullptr;
}

// The exit code once the process ends, pumping meanwhile; 0xDEAD if never.
DWORD ExitCodeOf(HANDLE process) {
  DWORD code = 0xDEAD;
  if (process && Pump([&] { return !WaitForSingleObject(process, 0); }, 10000))
    GetExitCodeProcess(process, &code);
  if (process) CloseHandle(process);
  return code;
}

// The message box being answered: whenever this thread pumps, also inside a
// box's own modal loop, a timer looks for it in every process, takes its
// text and the button with BS_DEFPUSHBUTTON (Wine's DM_GETDEFID always
// names IDOK), and presses `button`.
struct {
  const char* caption;
  WPARAM button;
  std::string text;
  int defaultButton;
  HWND last;
} box;

void CALLBACK AnswerTimer(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND found = FindWindowA("#32770", box.caption);
  HWND label = found ? GetDlgItem(found, 0xFFFF) : nullptr;
  if (!label || found == box.last || !IsWindowVisible(found)) return;
  KillTimer(nullptr, timer);
  char text[1024] = "";
  GetWindowTextA(label, text, sizeof text);
  box.text = text;
  for (int id : {IDOK, IDYES, IDNO})
    if ((GetWindowLongA(GetDlgItem(found, id), GWL_STYLE) & BS_TYPEMASK) ==
        BS_DEFPUSHBUTTON)
      box.defaultButton = id;
  box.last = found;
  PostMessageA(found, WM_COMMAND, box.button, 0);
}

// Runs `call` and answers the box with the caption that it, or anything
// else meanwhile, shows; the box's text, or "(no box)".
std::string Answer(
    const char* caption, WPARAM button,
    const std::function<void()>& call = [] {}) {
  box = {caption, button, "(no box)", 0, box.last};
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, AnswerTimer);
  call();
  if (!Pump([] { return box.text != "(no box)" && !IsWindow(box.last); }, 5000))
    KillTimer(nullptr, timer);
  return box.text;
}

// Runs the program and answers the box that it shows: the box's text, and
// its exit code in `code`.
std::string RunAnswering(const std::string& line, DWORD& code,
                         WPARAM button = IDOK, const char* caption = "Tavrin64",
                         bool own = false) {
  return Answer(caption, button, [&] { code = ExitCodeOf(Start(line, own)); });
}

Got Told(uint32_t message, Win window) {
  return {Sink, message, static_cast<uint64_t>(window)};
}

constexpr uint64_t kMarkedDown = 0xFFFFFFFFFF884000;
constexpr WPARAM kMarkedDownStripped =
    static_cast<WPARAM>(kMarkedDown) & ~WPARAM{MK_INJECTED};
constexpr WPARAM kHighHalfUp = static_cast<WPARAM>(0xFFFFFFFF00780000);

// clang-format off
// The hook library with this program as its host.
const std::vector<Row> kUnhooked = {
  {"wheel reaches the focus window untouched", Child, Top, 0x20A, kUp, {{Top, 0x20A, kUp}}},
};
const std::vector<Row> kCloseFlagOff = {
  {"wheel, delta 0: up, the window under the pointer", Child, Top, 0x20A, 0, {{Top, WM_NULL, 0}, Told(WMU_WHEEL_UP, Child)}},
  {"wheel, delta +240: one notification", Child, Child, 0x20A, 0xF00000, {{Child, WM_NULL, 0xF00000}, Told(WMU_WHEEL_UP, Child)}},
  {"wheel, delta -30: down", Top, Child, 0x20A, 0xFFE20000, {{Child, WM_NULL, 0xFFE20000}, Told(WMU_WHEEL_DOWN, Top)}},
  {"wheel, delta -32768: down", Top, Child, 0x20A, 0x80000000, {{Child, WM_NULL, 0x80000000}, Told(WMU_WHEEL_DOWN, Top)}},
  {"wheel sign is bit 31, not the upper half", Child, Top, 0x20A, kHighHalfUp, {{Top, WM_NULL, kHighHalfUp}, Told(WMU_WHEEL_UP, Child)}},
  {"X button 1", Child, Top, 0x20C, 0x10000, {{Top, WM_NULL, 0x10000}, Told(WMU_XBUTTON1_UP, Child)}},
  {"both X buttons: 1, then 2", Top, Child, 0x20C, 0x30000, {{Child, WM_NULL, 0x30000}, Told(WMU_XBUTTON1_UP, Top), Told(WMU_XBUTTON2_UP, Top)}},
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
  {"middle release notifies its own window", Top, Child, 0x208, 0, {{Child, WM_NULL, 0}, Told(WMU_MBUTTON_CLICK, Child)}},
  {"middle double click passes", Child, Child, 0x209, 0x10, {{Child, 0x209, 0x10}}},
  {"injected middle press arrives as MK_MBUTTON", Child, Child, 0x207, 0x4010, {{Child, 0x207, 0x10}}},
  {"injected middle release arrives with no flags", Child, Child, 0x208, 0x4000, {{Child, 0x208, 0}}},
  {"non-client middle release passes", Top, Top, WM_NCMBUTTONUP, HTCAPTION, {{Top, WM_NCMBUTTONUP, HTCAPTION}}},
};
// clang-format on

void HookCases(const char* title) {
  Rows(kUnhooked);
  Check(SetHook(win[Sink], false), "SetHook, close flag off");
  Rows(kCloseFlagOff);
  Mark();
  PostMessageA(win[Child], WM_MOUSEWHEEL, 0x784000, kL);
  MSG peeked{};
  PeekMessageA(&peeked, nullptr, WM_MOUSEWHEEL, WM_MOUSEWHEEL, PM_NOREMOVE);
  Settle();
  Check(peeked.wParam == 0x784000 &&
            Since() == std::vector<Got>{{Child, 0x20A, kUp}},
        "a peek sees the marker, the removal strips it");
  bool result = true;
  std::string text =
      Answer(title, IDOK, [&] { result = SetHook(win[Sink], true); });
  Check(!result && text == "Hook handle is already set",
        "a second SetHook is refused", text);
  DWORD code = 0;
  text = RunAnswering("e2e_runner.exe set-hook", code, IDOK, title, true);
  Check(code == 0 && text == "Hook handle is already set",
        "so is one from another process", text);
  Rows({kCloseFlagOff[9]});  // the refused calls kept the flag off
  Check(ResetHook(), "ResetHook");
  Rows(kUnhooked);
  text = Answer(title, IDOK, [&] { result = ResetHook(); });
  Check(!result && text == "Hook unregistration failed!",
        "a second ResetHook fails", text);
  Check(SetHook(win[Sink], true), "SetHook after ResetHook, close flag on");
  Rows(kCloseFlagOn);
  Check(ResetHook(), "ResetHook at the end");
}

#ifdef TAVRIN_HOST_CASES
// clang-format off
// English, then Japanese, as UTF-8: the texts 5001 + n.
const char* const kStrings[][2] = {
  {"Terminate %s?", "%sを終了しますか？"},
  {"Parent class '%s' is excluded from %s support.\nDo you want to support it by %s?", "親クラス %s は%sの対応から除外されています。\n%sで対応させますか？"},
  {"Child class '%s' is excluded from %s support.\nDo you want to support it by %s?", "子クラス %s は%sの対応から除外されています。\n%sで対応させますか？"},
  {"Do you want to exclude parent class '%s' by %s support?", "親クラス %s を%sの動作対象から除外しますか？"},
  {"Do you want to exclude child class '%s' by %s support?", "子クラス %s を%sの動作対象から除外しますか？"},
  {"Class '%s' cannot be listed in the %s settings: a name that is empty, begins with #, /, ; or [, or begins or ends with a blank cannot be read back from the file, and one that begins with ! is always excluded.",
   "クラス %s は%sの設定に登録できません。名前が空のクラス、#、/、; または [ で始まるクラス、前後に空白のあるクラスは設定ファイルから読み戻せません。! で始まるクラスは常に除外されます。"},
  {"The settings file %s could not be written, so %s changed nothing. It may be read-only, in a folder you may not write to, or open in another program.",
   "設定ファイル %s に書き込めなかったため、%sは何も変更していません。読み取り専用か、書き込めないフォルダーにあるか、別のプログラムが開いている可能性があります。"},
  {"%s does not serve 32-bit applications: %s is missing beside it, or could not be started.",
   "%sは32ビットのアプリケーションに対応していません。%sが同じフォルダーにないか、起動できませんでした。"},
};
// clang-format on

std::string ReadFile(const std::string& name) {
  std::ifstream in(Host(name), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteFile(const std::string& name, const std::string& text,
               std::ios::openmode mode = std::ios::trunc) {
  std::ofstream(Host(name), std::ios::binary | mode) << text;
}

HWND HostWindow() { return FindWindowA("Tavrin64Class", "Tavrin64"); }

#ifdef _WIN64
// The strings in both languages, byte for byte, the icon group, the
// manifest and the version block, read from the built program.
void Resources() {
  const std::string program = Here("Tavrin64.exe");
  HMODULE file =
      LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  std::string wrong;
  for (UINT id = 5001; id <= 5008; ++id) {
    for (const WORD language : {WORD{LANG_ENGLISH}, WORD{LANG_JAPANESE}}) {
      // A block of 16 counted UTF-16 strings holds ids 16 (n - 1) to 16 n - 1.
      HRSRC block = FindResourceExA(file, MAKEINTRESOURCEA(6),
                                    MAKEINTRESOURCEA(id / 16 + 1),
                                    MAKELANGID(language, SUBLANG_DEFAULT));
      auto* text =
          static_cast<const WCHAR*>(LockResource(LoadResource(file, block)));
      for (UINT skip = id % 16; text && skip > 0; --skip) text += 1 + *text;
      char utf8[1024] = "";
      if (text)
        WideCharToMultiByte(CP_UTF8, 0, text + 1, *text, utf8, sizeof utf8 - 1,
                            nullptr, nullptr);
      if (utf8 != std::string(kStrings[id - 5001][language != LANG_ENGLISH]))
        wrong += "  " + std::to_string(id) + ": " + utf8 + "\n";
    }
  }
  Check(wrong.empty(), "strings 5001 to 5008, English and Japanese", wrong);
  Check(FindResourceA(file, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(14)),
        "icon group 101");
  HRSRC found = FindResourceA(file, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  const std::string manifest(
      static_cast<const char*>(LockResource(LoadResource(file, found))),
      found ? SizeofResource(file, found) : 0);
  FreeLibrary(file);
  bool complete = true;
  for (const char* part :
       {"level=\"asInvoker\"", "PerMonitorV2", "true/pm",
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
        "Microsoft.Windows.Common-Controls", "version=\"6.0.0.0\""})
    complete &= manifest.find(part) != std::string::npos;
  Check(complete,
        "the manifest: asInvoker, Windows 7 to 11, per-monitor v2, "
        "common controls 6",
        manifest);
  std::vector<char> info(GetFileVersionInfoSizeA(program.c_str(), nullptr));
  GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(info.size()),
                      info.data());
  VS_FIXEDFILEINFO* fixed = nullptr;
  char* version = nullptr;
  UINT size = 0;
  VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &size);
  VerQueryValueA(info.data(), "\\StringFileInfo\\041104b0\\ProductVersion",
                 reinterpret_cast<void**>(&version), &size);
  Check(fixed && fixed->dwFileVersionMS == 0x10001 &&
            fixed->dwFileVersionLS == 1 &&
            fixed->dwProductVersionMS == 0x10001 &&
            fixed->dwProductVersionLS == 1 && version && version == "1.1"s,
        "version 1.1.0.1, \"1.1\" in block 041104b0");
}

// A settings file and what a load makes of it. Each check: the set's letter
// (Exclude, Parent, Discard, pass-through S), "+" or "-", and a name.
struct SettingsRow {
  const char* name;
  std::string file;  // empty: no file at all
  int32_t scrollCounts;
  std::vector<std::string> checks;
  bool held = false;  // loaded, then held open without sharing and loaded again
};
const std::string kLong(2047, 'A');
// clang-format off
const std::vector<SettingsRow> kSettings = {
  {"a file held open keeps what the last load read", "[general]\nscroll_counts=7\n[exclude_class]\nEdit\n", 7, {"E+Edit"}, true},
  {"no file: the defaults", "", 3, {"E+!", "E+\xFB\x5B", "E-TvTop", "E-Edit"}},
  {"a typical file, CR LF",
   "; Tavrin64\r\n[general]\r\nscroll_counts = 5\r\n\r\n[exclude_class]\r\nEdit\r\nListBox=1\r\nButton=0\r\n"
   "[exclude_parent_class]\r\nConsole=yes\r\n[mbtn_discard_class]\r\nTray\r\n[mbtn_passthrough_class]\r\nMoz=true\r\n", 5,
   {"E+Edit", "E+ListBox", "E-Button", "P+Console", "D+Tray", "S+Moz", "E-Tray"}},
  {"sections in any order, only the first of a name",
   "[mbtn_passthrough_class]\nP\n[mbtn_discard_class]\nD\n[General]\nSCROLL_COUNTS=2\n"
   "[EXCLUDE_CLASS] x\nC\n[exclude_parent_class]\nT\n[exclude_class]\nLater\n", 2,
   {"S+P", "D+D", "P+T", "E+C", "E-Later", "E-T", "P-C"}},
  {"entry lines",
   "[exclude_class]\n#Comment\n/Slash\n;Semi\n\n \t \nBtn=1\nChk=TRUE\nAsk=yEs\nZero=0\nEmpty=\n"
   "Word=on\nBlank = 1\nSpace =1\nTrail=1  \t\na=b=1\nc=d\nTab   \n  Lead\nRemark ;x\n=1\n"
   "Edit\nEdit=0\n\xA0Hi\xA0\nV\x0B\x0C\n [NotAnEnd]\n[other]\nOther\n", 3,
   {"E+Btn", "E+Chk", "E+Ask", "E+Space ", "E+Trail", "E+a=b", "E+Tab", "E+  Lead", "E+Remark ;x", "E+Edit",
    "E+\xA0Hi\xA0", "E+V", "E+ [NotAnEnd]", "E-#Comment", "E-/Slash", "E-;Semi", "E-Zero", "E-Empty", "E-Word",
    "E-Blank ", "E-Space", "E-c", "E-Other"}},
  {"headers in any case of ASCII letters, at the line start only",
   "[EXCLUDE_PARENT_CLASS] remark\nA\n [mbtn_discard_class]\nB\n[mbtn_passthrough_class\nC\n"
   "[exclude\x7F" "class]\nD\n", 3, {"P+A", "P+ [mbtn_discard_class]", "P+B", "P-C", "D-B", "S-C", "E-D"}},
  {"0x1A ends the text, a CR alone stays, a NUL ends a line",
   "[exclude_class]\r\nA\rB\r\nAb\0cd\r\nC\x1A\r\nD\r\n"s, 3, {"E+A\rB", "E+Ab", "E+C", "E-D", "E-C\x1A"}},
  {"a long line comes in pieces of 2047 bytes",
   "[exclude_class]\r\n" + kLong + "\r\n" + kLong + "yy\r\n" + kLong + "#x\r\n", 3,
   {"E+" + kLong, "E+yy", "E-#x", "E-" + kLong + "yy"}},
};
// clang-format on

void Settings() {
  host::HostState state;
  Host("case.ini").copy(state.settings_path, MAX_PATH - 1);
  for (const SettingsRow& row : kSettings) {
    DeleteFileA(state.settings_path);
    if (!row.file.empty()) WriteFile("case.ini", row.file);
    if (row.held) host::LoadSettings(state);
    HANDLE held = row.held ? CreateFileA(state.settings_path, GENERIC_READ, 0,
                                         nullptr, OPEN_EXISTING, 0, nullptr)
                           : nullptr;
    const bool loaded = host::LoadSettings(state);
    if (held) CloseHandle(held);
    const host::ClassNameSet* sets[] = {
        &state.exclude_class, &state.exclude_parent_class,
        &state.mbtn_discard_class, &state.mbtn_passthrough_class};
    std::string wrong;
    for (const std::string& c : row.checks)
      if (sets[std::string("EPDS").find(c[0])]->Contains(c.substr(2)) !=
          (c[1] == '+'))
        wrong += " " + c.substr(0, 40);
    Check(wrong.empty() && state.scroll_counts == row.scrollCounts &&
              loaded == !row.held,
          "settings: "s + row.name,
          "  wrong:" + wrong + ", scroll_counts " +
              std::to_string(state.scroll_counts));
  }
}

// tavrin-check on a file with traps, named without a folder (the profile
// functions need the full path that it makes of it): its exit code and
// parts of its standard output.
void SettingsCheck() {
  SetCurrentDirectoryA(Here("").c_str());
  WriteFile("traps.ini",
            "[general]\r\nscroll_counts=7\r\n[exclude_class]\r\n"
            "Edit = 1\r\nChrome_\r\nChrome_WidgetWin_\r\n");
  // clang-format off
  const struct { const char* args; DWORD code; std::vector<std::string> parts; } rows[] = {
    {"traps.ini", 0, {"\n     4  Edit = 1  ", "warning: a blank before the value", "scroll_counts = 7: 7 line messages", "\n2 warnings\r\n"}},
    {"--json traps.ini Chrome_Zeta", 0, {R"("wheel": "lines", "wheel_list": null, "wheel_key": null)", R"("scroll_counts": 7)"}},
    {"traps.ini Chrome_WidgetWin_0 TvTop --json", 0, {R"("wheel": "forward", "wheel_list": "exclude_class", "wheel_key": "Chrome_WidgetWin_")"}},
    {"missing.ini", 1, {}}, {"", 2, {}},
  };
  // clang-format on
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  for (const auto& row : rows) {
    HANDLE out = CreateFileA(Here("out.txt").c_str(), GENERIC_WRITE, 0,
                             &inherited, CREATE_ALWAYS, 0, nullptr);
    bool ok = ExitCodeOf(Start("tavrin-check.exe "s + row.args, false, out)) ==
              row.code;
    CloseHandle(out);
    const std::string text = ReadFile("out.txt");
    for (const std::string& part : row.parts)
      ok &= text.find(part) != text.npos;
    Check(ok,
          "tavrin-check "s + row.args + ": exit " + std::to_string(row.code),
          text);
  }
}

// A second instance of Tavrin64: "terminate" without one running, and
// against a window of its class and title that does not go. That box has no
// caption of its own: "Error".
void TerminateWithoutHost() {
  Check(ExitCodeOf(Start("Tavrin64.exe terminate")) == 0 && !HostWindow(),
        "\"terminate\" without a running instance: exit 0, no window");
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "Tavrin64Class";
  RegisterClassA(&wc);
  HWND stuck = CreateWindowExA(0, wc.lpszClassName, "Tavrin64", 0, 0, 0, 10, 10,
                               nullptr, nullptr, nullptr, nullptr);
  DWORD code = 0;
  const std::string text =
      RunAnswering("Tavrin64.exe terminate", code, IDOK, "Error");
  Check(text == "Terminate failed!" && code == kFailed,
        "an instance that stays: exit -1", text);
  DestroyWindow(stuck);
  UnregisterClassA(wc.lpszClassName, nullptr);
}
#endif  // _WIN64

// The swallowed wheel message at Top, then n line messages and the end.
std::vector<Got> Lines(uint64_t wheel, Win w, UINT message, size_t n) {
  std::vector<Got> lines{{Top, WM_NULL, wheel}};
  lines.insert(lines.end(), n, {w, message, wheel == kUp ? 0u : 1u, 0});
  lines.push_back({w, message, 8, 0});  // SB_ENDSCROLL
  return lines;
}
std::vector<Got> Forwarded(uint64_t wheel, Win w) {
  return {
      {Top, WM_NULL, wheel},
      {w, 0x20A, wheel == kUp ? kUp : static_cast<WPARAM>(0xFFFFFFFFFF880000)}};
}
std::vector<Got> AltArrow(uint64_t button, uint64_t arrow) {
  return {{Top, WM_NULL, button},
          {Child, WM_SYSKEYDOWN, VK_MENU, 0},
          {Child, WM_SYSKEYDOWN, arrow, 0},
          {Child, WM_SYSKEYUP, arrow, 0},
          {Child, WM_KEYUP, VK_MENU, 0}};
}
std::vector<Got> SetPos(uint64_t wheel, int64_t position) {
  return {{Top, WM_NULL, wheel}, {Spin, 0x467, 0, position}};
}
std::vector<Got> Close(Win clicked) {
  return {{clicked, WM_NULL, 0}, {Top, WM_SYSCOMMAND, SC_CLOSE, 0}};
}

// clang-format off
const std::vector<Row> kHostRows = {
  {"wheel down over an unfocused window: lines, then the end", Child, Top, 0x20A, kDown, Lines(kDown, Child, WM_VSCROLL, 2)},
  {"wheel up: lines up", Child, Top, 0x20A, kUp, Lines(kUp, Child, WM_VSCROLL, 2)},
  {"a list box", List, Top, 0x20A, kDown, {{Top, WM_NULL, kDown}}},
  {"excluded class: one marked notch, arriving stripped", Pane, Top, 0x20A, kDown, Forwarded(kDown, Pane)},
  {"excluded top-level class: forwarded to the child", ExChild, Top, 0x20A, 0xF00000, {{Top, WM_NULL, 0xF00000}, {ExChild, 0x20A, kUp}}},
  {"an up-down, though excluded, at 5: up to 6", Spin, Top, 0x20A, kUp, SetPos(kUp, 6), {10, 0, 5}},
  {"up-down at its maximum stays", Spin, Top, 0x20A, kUp, {{Top, WM_NULL, kUp}}, {10, 0, 10}},
  {"maximum below minimum: up lowers the number", Spin, Top, 0x20A, kUp, SetPos(kUp, 49), {0, 100, 50}},
  {"signed range: down from -5 to -6", Spin, Top, 0x20A, kDown, SetPos(kDown, -6), {10, -10, -5}},
  {"signed range: -10 is the minimum", Spin, Top, 0x20A, kDown, {{Top, WM_NULL, kDown}}, {10, -10, -10}},
  {"above the range: one step back in", Spin, Top, 0x20A, kUp, SetPos(kUp, 11), {10, 0, 12}},
  {"a class that only begins like an up-down's", Lookalike, Top, 0x20A, kUp, Forwarded(kUp, Lookalike)},
  {"X button 1: Alt+Left at the focus", Top, Top, 0x20C, 0x10000, AltArrow(0x10000, VK_LEFT)},
  {"X button 2: Alt+Right at the focus", List, Top, 0x20C, 0x20000, AltArrow(0x20000, VK_RIGHT)},
  {"middle click closes the top-level window", Top, Child, 0x208, 0, Close(Child)},
  {"middle click in an owned pop-up closes its owner", Top, Popup, 0x208, 0, Close(Popup)},
  {"middle click passed through: MK_MBUTTON, then 0", Top, PassChild, 0x208, 0, {{PassChild, WM_NULL, 0}, {PassChild, 0x207, MK_MBUTTON}, {PassChild, 0x208, 0}}},
  {"middle click discarded, though also passed through", Top, DropChild, 0x208, 0, {{DropChild, WM_NULL, 0}}},
};
#ifdef _WIN64
const std::vector<Row> kHungRows = {
  {"lines to a hung window wait in its queue", HungPane, Top, 0x20A, kDown, {{Top, WM_NULL, kDown}}},
  {"a hung up-down control costs one notch", HungSpin, Top, 0x20A, kUp, {{Top, WM_NULL, kUp}}},
  {"every other window is served meanwhile", Child, Top, 0x20A, kDown, Lines(kDown, Child, WM_VSCROLL, 2)},
};
const Row kAfterHostile =
  {"after 1,000 hostile notifications the wheel works", Child, Top, 0x20A, kUp, Lines(kUp, Child, WM_VSCROLL, 2)};
const Row kCapped =
  {"scroll_counts 2000000000: 1,000 lines, then the end", Child, Top, 0x20A, kDown, Lines(kDown, Child, WM_VSCROLL, 1000)};
const Row kHandEdited =
  {"a hand edit takes effect within a second", Child, Top, 0x20A, kDown, Lines(kDown, Child, WM_VSCROLL, 4)};
const std::vector<Row> kNegativeCounts = {
  {"negative scroll_counts from its own file: only the end", Child, Top, 0x20A, kDown, Lines(kDown, Child, WM_VSCROLL, 0)},
  {"close_by_mbtn 0: middle clicks pass untouched", Top, Child, 0x208, 0, {{Child, 0x208, 0}}},
};
#endif
const Row kWhileAsking =
  {"the wheel works while a question is open", Child, Top, 0x20A, kDown, Lines(kDown, Child, WM_VSCROLL, 2)};

// Ctrl + middle click over the window: each question (5001 + n, about the
// class) checked in English and answered; then the file holds `written`
// (or is as it was), and the wheel over the window does as `after` says.
struct Question {
  int n;
  const char* className;  // 5007's subject (nullptr): the file
  WPARAM answer;
};
struct EditRow {
  const char* name;
  Win window;
  std::vector<Question> questions;
  const char* written;
  std::vector<Row> after;
  bool held = false;  // the file is held open without sharing meanwhile
};
const std::vector<EditRow> kEdits = {
  {"a class that cannot be listed: 5004, then 5006", Dialog, {{3, "#32770", IDYES}, {5, "#32770", IDOK}}, nullptr, {}},
  {"an excluded parent class: 5002, Yes takes it off", ExChild, {{1, "TvExcludedTop", IDYES}}, "TvExcludedTop=0",
   {{"then its class is scrolled by lines", ExChild, Top, 0x20A, kDown, Lines(kDown, ExChild, WM_VSCROLL, 2)}}},
  {"a child excluded by a prefix: 5003, Yes writes its whole name", Pane, {{2, "TvPaneA", IDYES}}, "TvPaneA=0",
   {{"the prefix still excludes it", Pane, Top, 0x20A, kDown, Forwarded(kDown, Pane)}}},
  {"a top-level window is its own parent; No and No write nothing", Top, {{3, "TvTop", IDNO}, {4, "TvTop", IDNO}}, nullptr, {}},
  {"neither excluded: 5004 No, then 5005 Yes excludes the child", PassChild, {{3, "TvPassTop", IDNO}, {4, "TvChild", IDYES}}, "TvChild=1",
   {{"then its class is forwarded everywhere", Child, Top, 0x20A, kUp, Forwarded(kUp, Child)}}},
  {"neither excluded: 5004 Yes excludes the parent", Popup, {{3, "TvTop", IDYES}}, "TvTop=1",
   {{"then the pop-up under it is forwarded", Popup, Top, 0x20A, kUp, Forwarded(kUp, Popup)}}},
  {"a blank at the end of a class: 5004, then 5006", Blank, {{3, "TvBlank ", IDYES}, {5, "TvBlank ", IDOK}}, nullptr, {}},
  {"a class excluded by the low sentinel: 5003, then 5006", Bang, {{2, "!TvBang", IDYES}, {5, "!TvBang", IDOK}}, nullptr, {}},
  {"a file held by another program: 5007 names it, nothing changes", ExChild, {{2, "TvChild", IDYES}, {6, nullptr, IDOK}}, nullptr,
   {{"the class is still forwarded", ExChild, Top, 0x20A, kUp, Forwarded(kUp, ExChild)}}, true},
};
// clang-format on

void Edit(const EditRow& row) {
  const std::string before = ReadFile("Tavrin64.ini");
  // Not the host's thread, whose question boxes were in front until now.
  Focus();
  HANDLE held = row.held
                    ? CreateFileA(Host("Tavrin64.ini").c_str(), GENERIC_READ, 0,
                                  nullptr, OPEN_EXISTING, 0, nullptr)
                    : INVALID_HANDLE_VALUE;
  Mark();
  keybd_event(VK_CONTROL, 0, 0, 0);
  PointAt(row.window);
  PostMessageA(win[row.window], WM_MBUTTONUP, 0, kL);
  Pump([] { return FindWindowA("#32770", "Tavrin64") != nullptr; }, 5000);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
  if (row.questions[0].n == 1) Rows({kWhileAsking});  // the first 5002
  std::string wrong;
  for (const Question& q : row.questions) {
    char want[1024];
    snprintf(want, sizeof want, kStrings[q.n][0],
             q.className ? q.className : Host("Tavrin64.ini").c_str(),
             "Tavrin64", "Tavrin64");
    if (Answer("Tavrin64", q.answer) != want ||
        box.defaultButton != (q.answer == IDOK ? IDOK : IDNO))
      wrong += "  box \"" + box.text + "\", default " +
               std::to_string(box.defaultButton) + "\n";
  }
  Settle();  // the host has written and reloaded, or asks once more
  if (FindWindowA("#32770", "Tavrin64")) wrong += "  a further question\n";
  if (row.held) CloseHandle(held);
  const std::string after = ReadFile("Tavrin64.ini");
  if (row.written ? after.find(row.written) == std::string::npos
                  : after != before)
    wrong += "  the file:\n" + after;
  Check(wrong.empty(), row.name, wrong);
  Rows(row.after);
}

const char kMainSettings[] =
    "[general]\r\nscroll_counts=2\r\nclose_by_mbtn=1\r\n[exclude_class]\r\n"
    "TvPane\r\nTvSync\r\nmsctls\r\n[exclude_parent_class]\r\nTvExcludedTop\r\n"
    "TvChild\r\n[mbtn_discard_class]\r\nTvDropTop\r\n[mbtn_passthrough_class]"
    "\r\nTvPassTop\r\nTvDropTop\r\n";

// Starts the program and waits until a notch comes back through it.
HANDLE StartHost(const std::string& program) {
  HANDLE host = Start(program);
  hostSync = true;
  for (int i = 0; host && i < 40; ++i)
    if (Settle(0, 250)) return host;
  return nullptr;
}

// Whether the companion of the host with this window still runs.
bool CompanionRuns(HWND host) {
  const std::string name =
      "Local\\Tavrin32." + std::to_string(static_cast<unsigned long>(
                               reinterpret_cast<UINT_PTR>(host)));
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name.c_str());
  if (mutex) CloseHandle(mutex);
  return mutex != nullptr;
}

// "terminate" ends the host, and its companion with it.
void Terminate(HANDLE host) {
  const HWND window = HostWindow();
  Check(ExitCodeOf(Start("Tavrin64.exe terminate")) == 0 &&
            ExitCodeOf(host) == 0 && !HostWindow() &&
            Pump([&] { return !CompanionRuns(window); }, 2000),
        "\"terminate\" ends the instance and its companion; both exit with 0");
}

#ifdef _WIN64
// Under Wine, GetScrollInfo answers only for windows of the calling
// process: the host's own desktop reads the bars here, and a window whose
// vertical bar spans one page and whose horizontal bar more gets horizontal
// lines.
void ScrollBars() {
  Make(Bars, "TvBars", WS_POPUP | WS_HSCROLL | WS_VSCROLL, {660, 400, 200, 100},
       nullptr);
  SCROLLINFO bar{sizeof bar, SIF_RANGE | SIF_PAGE, 0, 99, 10, 0, 0};
  SetScrollInfo(win[Bars], SB_HORZ, &bar, FALSE);
  bar.nMax = 9;  // nMax + 1 == nPage: this bar cannot scroll
  SetScrollInfo(win[Bars], SB_VERT, &bar, FALSE);
  host::HostState state;
  host::Win32Desktop desktop(state);
  Mark();
  host::Dispatch(desktop, state, WMU_WHEEL_DOWN,
                 reinterpret_cast<host::WindowId>(win[Bars]), 0);
  std::vector<Got> lines(3, {Bars, WM_HSCROLL, 1, 0});
  lines.push_back({Bars, WM_HSCROLL, 8, 0});
  Settle(lines.size());
  Check(Since() == lines,
        "only the horizontal bar can scroll: horizontal lines");
}

// A running host: a second start asks, a second companion is refused, and
// one started by hand explains itself.
void SecondStarts() {
  DWORD code = 0;
  for (const char* tail : {"", " Terminate"}) {
    const std::string text = RunAnswering("Tavrin64.exe"s + tail, code, IDNO);
    Check(
        text == "Terminate Tavrin64?" && code == kFailed && HostWindow(),
        "a second start \""s + tail + "\" asks; No: exit -1, the host runs on",
        text);
  }
  DWORD process = 0;
  GetWindowThreadProcessId(HostWindow(), &process);
  char arguments[64];
  snprintf(arguments, sizeof arguments, kCompanionArguments,
           static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(HostWindow())),
           0ul, 0ul, process);
  Check(
      ExitCodeOf(Start(kCompanionFile + " "s + arguments)) == kCompanionRefused,
      "a second companion for the same host is refused");
  const std::string text = RunAnswering(kCompanionFile, code);
  Check(code == kCompanionUsage && text.starts_with("Tavrin32.exe is part of"),
        "the companion started by hand explains itself", text);
}

// The file rewritten by hand, in two steps as an editor may save it: within
// a second the host has read it whole (4 lines, and TvChild, which the
// editor excluded, scrolled again).
void HandEdit() {
  std::string text = kMainSettings;
  text.replace(text.find("=2"), 2, "=4");
  WriteFile("Tavrin64.ini", text.substr(0, 40));
  WriteFile("Tavrin64.ini", text.substr(40), std::ios::app);
  std::string detail;
  Check(Pump([&] { return RunRow(kHandEdited, detail); }, 1500),
        kHandEdited.name, detail);
}

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

// The host stays responsive for every other window while an application
// hangs, and the application gets its messages once it resumes.
void Hung() {
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, HungThread, nullptr, 0, &id);
  Pump([] { return win[HungSpin] != nullptr; }, 5000);
  Rows(kHungRows);
  SetEvent(release);
  Check(Pump([] { return hungScrolls == 3; }, 3000) && hungSetPos == 0,
        "the hung window, resumed, gets its 2 lines and the end");
  PostThreadMessageA(id, WM_QUIT, 0, 0);
  WaitForSingleObject(thread, 5000);
}

// A thousand private messages with null, destroyed and random windows and
// garbage lParams; each extra-button one types its four keys.
void HostileNotifications() {
  HWND gone = Make(kWins, "TvGone", 0, {0, 0, 1, 1}, nullptr);
  DestroyWindow(gone);
  Focus();
  Mark();
  size_t keys = 0;
  for (uint64_t i = 0, seed = 7; i < 1000; ++i) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    const UINT message = WMU_MBUTTON_CLICK + static_cast<UINT>(seed >> 61) % 5;
    const WPARAM windows[] = {0, reinterpret_cast<WPARAM>(gone),
                              static_cast<WPARAM>(seed | 1ull << 62)};
    PostMessageA(HostWindow(), message, windows[i % 3],
                 static_cast<LPARAM>(seed));
    keys += message >= WMU_XBUTTON1_UP ? 4 : 0;
  }
  Settle();
  Pump([&] { return Since().size() >= keys; }, 10000);
  size_t typed = 0;
  for (const Got& g : Since())
    typed += g.window == Child && g.message >= WM_KEYDOWN &&
             g.message <= WM_SYSKEYUP;
  Check(typed == keys && Since().size() == keys,
        "hostile notifications: only the extra buttons' keys arrive",
        std::to_string(Since().size()) + " messages, " + std::to_string(keys) +
            " keys");
  Rows({kAfterHostile});
}

// 10,000 notches, 100 at a time so that no queue overflows: each brings
// exactly its lines and its end, in order, nothing lost or doubled.
void Load() {
  const std::vector<Got> notch = Lines(kDown, Child, WM_VSCROLL, 2);
  bool exact = true;
  for (int batch = 0; batch < 100 && exact; ++batch) {
    Mark();
    PointAt(Child);
    for (int i = 0; i < 100; ++i)
      PostMessageA(win[Top], WM_MOUSEWHEEL, kDown, kL);
    Settle(400);
    std::vector<Got> top, child;
    for (const Got& g : Since()) (g.window == Top ? top : child).push_back(g);
    exact = top == std::vector<Got>(100, notch[0]) && child.size() == 300;
    for (size_t i = 0; exact && i < child.size(); ++i)
      exact = child[i] == notch[1 + i % 3];
  }
  Check(exact, "10,000 notches: each its lines and its end, in order");
}

// A renamed copy reads the settings file of its own name; without its
// companion it says once that 32-bit applications are not served.
void RenamedCopy() {
  CopyFileA(Host("Tavrin64.exe").c_str(), Host("Renamed.exe").c_str(), FALSE);
  WriteFile("Renamed.ini",
            "[general]\r\nscroll_counts=-3\r\n[exclude_class]\r\nTvSync\r\n");
  MoveFileA(Host("TV_Hook.dll").c_str(), Host("TV_Hook.off").c_str());
  HANDLE host = nullptr;
  std::string text =
      Answer("Tavrin64", IDOK, [&] { host = StartHost("Renamed.exe"); });
  MoveFileA(Host("TV_Hook.off").c_str(), Host("TV_Hook.dll").c_str());
  char notice[256];
  snprintf(notice, sizeof notice, kStrings[7][0], "Tavrin64", "TV_Hook.dll");
  Check(text == notice, "without the 32-bit library: 5008, once", text);
  Rows(kNegativeCounts);
  DWORD code = 0;
  text = RunAnswering("Renamed.exe", code, IDYES);
  Check(code == 0 && ExitCodeOf(host) == 0 && !HostWindow(),
        "a second start answered Yes ends both", text);
}

// Two starts at the same moment: one asks, the other serves. Then that one
// ends by force, without ResetHook: its window is gone, and the wheel of
// every application passes untouched until the next start, which may set
// its hook, and catches every notch once.
void TwoStartsThenKilled() {
  HANDLE starts[] = {Start("Tavrin64.exe"), Start("Tavrin64.exe")};
  const std::string text = Answer("Tavrin64", IDNO);
  Pump([&] { return WaitForMultipleObjects(2, starts, FALSE, 0) < 2; }, 5000);
  const DWORD asked = WaitForMultipleObjects(2, starts, FALSE, 0);
  DWORD code = 0;
  GetExitCodeProcess(starts[asked % 2], &code);
  HANDLE host = starts[1 - asked % 2];
  Check(
      asked < 2 && code == kFailed && text == "Terminate Tavrin64?" && Settle(),
      "two starts at once: one asks and ends, the other serves", text);
  TerminateProcess(host, 1);
  WaitForSingleObject(host, 5000);
  hostSync = false;
  Rows(kUnhooked);
  WriteFile("Tavrin64.ini",
            HostileSettings("[general]\r\nscroll_counts=2000000000\r\n"
                            "[exclude_class]\r\nTvSync\r\n"));
  host = StartHost("Tavrin64.exe");
  Check(host != nullptr,
        "after a killed host, a host starts on a hostile file of " +
            std::to_string(ReadFile("Tavrin64.ini").size() >> 20) + " MB");
  Rows({kCapped});
  Terminate(host);
}

#else

// Ended by force: the companion ends within a second, its hooks removed,
// and 32-bit applications get their wheel untouched.
void KilledHost() {
  HANDLE host = StartHost("Tavrin64.exe");
  const HWND window = HostWindow();
  TerminateProcess(host, 1);
  Check(Pump([&] { return !CompanionRuns(window); }, 1000),
        "a host ended by force: its companion ends within a second");
  hostSync = false;
  Rows(kUnhooked);
}

// Started by the 32-bit host cases: a window of a process that did not run
// when the host started. 0 once a notch over it comes back as lines, within
// a second of its making.
int LateApplication() {
  HWND late =
      Make(kWins, "TvLate", WS_POPUP | WS_BORDER, {560, 600, 120, 80}, nullptr);
  RECT r;
  GetWindowRect(late, &r);
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  const ULONGLONG made = GetTickCount64();
  const auto served = [] {
    return std::any_of(got.begin(), got.end(),
                       [](const Got& g) { return g.message == WM_VSCROLL; });
  };
  while (!served() && GetTickCount64() - made < 1000) {
    PostMessageA(late, WM_MOUSEWHEEL, kDown, kL);
    Pump(served, 50);
  }
  printf("a new 32-bit window served after %llu ms\n", GetTickCount64() - made);
  return served() ? 0 : 1;
}
#endif  // _WIN64

void HostCases() {
#ifdef _WIN64
  Resources();
  Settings();
  SettingsCheck();
  ScrollBars();
  TerminateWithoutHost();
#endif
  WriteFile("Tavrin64.ini", kMainSettings);
  HANDLE host = StartHost("Tavrin64.exe");
  if (!Check(host && CompanionRuns(HostWindow()),
             "the host starts with its companion and serves the wheel"))
    return;
#ifdef _WIN64
  SecondStarts();
#endif
  Focus();  // back from the questions' boxes
  Rows(kHostRows);
  const LRESULT line = SendMessageA(win[List], LB_GETTOPINDEX, 0, 0);
  Check(line == 2, "the list box scrolled 2 lines",
        "  first line " + std::to_string(line));
#ifdef _WIN64
  Hung();
  HostileNotifications();
  Load();
#else
  Check(ExitCodeOf(Start("e2e_runner.exe late", true)) == 0,
        "a 32-bit application started later is served within a second");
#endif
  for (const EditRow& row : kEdits) Edit(row);
#ifdef _WIN64
  HandEdit();
  Terminate(host);
  RenamedCopy();
  TwoStartsThenKilled();
#else
  Terminate(host);
  KilledHost();
#endif
}
#endif  // TAVRIN_HOST_CASES

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN64
  const char* title = "Tavrin64";
#else
  const char* title = "Tavrin";
#endif
  // Started by the hook cases: SetHook from a second process.
  if (argc > 1 && argv[1] == "set-hook"s)
    return SetHook(GetDesktopWindow(), false) ? 1 : 0;
#if defined(TAVRIN_HOST_CASES) && !defined(_WIN64)
  if (argc > 1 && argv[1] == "late"s) return LateApplication();
#endif
  CreateScene();
  HookCases(title);
#ifdef TAVRIN_HOST_CASES
  HostCases();
#endif
  printf("e2e: %d passed, %d failed\n", passed, failed);
  return failed ? 1 : 0;
}
