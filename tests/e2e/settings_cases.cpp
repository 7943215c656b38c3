// The settings file: what a load reads from it, through the host's own
// loader in this process, and a hand edit that the running host picks up.
#include <atomic>

#include "harness.h"
#include "settings_loader.h"
#include "settings_reader.h"

namespace e2e {

// A settings file and what a load makes of it. Each check: the list's
// letter (Exclude, Parent, Discard, pass-through S, in the order of the
// lists), "+" or "-", and a name.
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
  {"headers in any case of ASCII letters, at the line start only, CR LF",
   "[EXCLUDE_PARENT_CLASS] remark\r\nA\r\n [mbtn_discard_class]\r\nB\r\n[mbtn_passthrough_class\r\nC\r\n"
   "[exclude\x7F" "class]\r\nD\r\n", 3, {"P+A", "P+ [mbtn_discard_class]", "P+B", "P-C", "D-B", "S-C", "E-D"}},
  {"0x1A ends the text, a CR alone stays, a NUL ends a line",
   "[exclude_class]\r\nA\rB\r\nAb\0cd\r\nC\x1A\r\nD\r\n"s, 3, {"E+A\rB", "E+Ab", "E+C", "E-D", "E-C\x1A"}},
  {"a long line comes in pieces of 2047 bytes",
   "[exclude_class]\r\n" + kLong + "\r\n" + kLong + "yy\r\n" + kLong + "#x\r\n", 3,
   {"E+" + kLong, "E+yy", "E-#x", "E-" + kLong + "yy"}},
};
// clang-format on

void SettingsLoaderCases() {
  rules::HostState state;
  Host("case.ini").copy(state.settings_path, MAX_PATH - 1);
  for (const SettingsRow& row : kSettings) {
    DeleteFileA(state.settings_path);
    if (!row.file.empty()) WriteFile("case.ini", row.file);
    if (row.held) rules::LoadSettings(state);
    HANDLE held = row.held ? CreateFileA(state.settings_path, GENERIC_READ, 0,
                                         nullptr, OPEN_EXISTING, 0, nullptr)
                           : nullptr;
    const bool loaded = rules::LoadSettings(state);
    if (held) CloseHandle(held);
    std::string wrong;
    for (const std::string& c : row.checks) {
      const auto& list = rules::kClassLists[std::string("EPDS").find(c[0])];
      if ((state.*list.set).Contains(c.substr(2)) != (c[1] == '+'))
        wrong += " " + c.substr(0, 40);
    }
    Check(wrong.empty() && state.scroll_counts == row.scrollCounts &&
              loaded == !row.held,
          "settings: "s + row.name,
          "  wrong:" + wrong + ", scroll_counts " +
              std::to_string(state.scroll_counts));
  }
}

// A busy folder: another file of it changes.
static void CALLBACK ChangeAnotherFile(HWND, UINT, UINT_PTR, DWORD) {
  WriteFile("busy.txt", std::to_string(GetTickCount64()));
}

// Messages to the host, one after another without a pause, until stopped.
static std::atomic<bool> streaming;
static DWORD WINAPI StreamTo(void* host) {
  for (DWORD_PTR r; streaming;)
    SendMessageTimeoutA(HWND(host), WM_NULL, 0, 0, SMTO_NORMAL, 100, &r);
  return 0;
}

// The file rewritten by hand, in two steps as an editor may save it, while
// another file of the folder changes every 100 ms and two threads keep the
// host's queue from ever resting: within a second and a half the host has
// read it whole (4 lines, and TvChild, which the editor excluded, scrolled
// again). Then an edit that keeps the size and the time of the last write
// (a FAT32 volume keeps that time to 2 s): 5 lines.
void HandEditCases() {
  // clang-format off
  const Row four = {"a hand edit in a busy folder, messages streaming to the host, takes effect within 1.5 s", Child, Top, WM_MOUSEWHEEL, kDown, Lines(kDown, Child, WM_VSCROLL, 4)};
  const Row five = {"so does one that keeps the size and the time stamp", Child, Top, WM_MOUSEWHEEL, kDown, Lines(kDown, Child, WM_VSCROLL, 5)};
  // clang-format on
  std::string text = kMainSettings, detail;
  text.replace(text.find("=2"), 2, "=4");
  const UINT_PTR busy = SetTimer(nullptr, 0, 100, ChangeAnotherFile);
  streaming = true;
  HANDLE streams[] = {
      CreateThread(nullptr, 0, StreamTo, HostWindow(), 0, nullptr),
      CreateThread(nullptr, 0, StreamTo, HostWindow(), 0, nullptr)};
  WriteFile("Tavrin64.ini", text.substr(0, 40));
  WriteFile("Tavrin64.ini", text.substr(40), std::ios::app);
  Check(Pump([&] { return RunRow(four, detail); }, 1500), four.name, detail);
  KillTimer(nullptr, busy);
  streaming = false;
  WaitForMultipleObjects(2, streams, TRUE, 1000);
  WIN32_FILE_ATTRIBUTE_DATA was;
  GetFileAttributesExA(Host("Tavrin64.ini").c_str(), GetFileExInfoStandard,
                       &was);
  text.replace(text.find("=4"), 2, "=5");
  WriteFile("Tavrin64.ini", text);
  HANDLE file =
      CreateFileA(Host("Tavrin64.ini").c_str(), FILE_WRITE_ATTRIBUTES,
                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  SetFileTime(file, nullptr, nullptr, &was.ftLastWriteTime);
  CloseHandle(file);
  Check(Pump([&] { return RunRow(five, detail); }, 1500), five.name, detail);
}

// The host's folder renamed away, its settings file written there, and
// renamed back: meanwhile the host keeps its lists and spins no processor
// (a watch that spun would take all of 5 s; Wine counts some 150 ms of an
// idle host's own, which Linux does not see), and after the return it reads
// an edit.
// Wine renames a folder in use unless it is a process's current folder.
void FolderAwayCases() {
  const std::string folder = Here("").substr(0, Here("").size() - 1);
  const std::string away = folder + ".away";
  SetCurrentDirectoryA("C:\\");
  WriteFile("Tavrin64.ini", kMainSettings);
  const int notices = noCompanionNotices;
  HANDLE host = LaunchHost("Tavrin64.exe", "C:\\");
  // Serving, and, where no companion can start, done with saying so.
  Pump(
      [&] {
        return Settle(0, 250) && (!kNo32Bit || noCompanionNotices > notices);
      },
      10000);
  Pump([] { return false; }, 500);
  const auto busy = [&] {
    FILETIME times[4];
    GetProcessTimes(host, &times[0], &times[1], &times[2], &times[3]);
    return (ULONGLONG{times[2].dwHighDateTime} << 32 | times[2].dwLowDateTime) +
           (ULONGLONG{times[3].dwHighDateTime} << 32 | times[3].dwLowDateTime);
  };
  const bool moved = MoveFileA(folder.c_str(), away.c_str());
  std::ofstream(away + "\\Tavrin64.ini", std::ios::binary) << "[general]\r\n";
  const ULONGLONG before = busy();
  Pump([] { return false; }, 5000);
  const ULONGLONG used = (busy() - before) / 10000;  // in ms
  std::string detail;
  const bool kept = RunRow(
      {"", Pane, Top, WM_MOUSEWHEEL, kDown, Forwarded(kDown, Pane)}, detail);
  MoveFileA(away.c_str(), folder.c_str());
  std::string text = kMainSettings;
  text.replace(text.find("=2"), 2, "=4");
  WriteFile("Tavrin64.ini", text);
  const Row four = {
      "", Child, Top, WM_MOUSEWHEEL, kDown, Lines(kDown, Child, WM_VSCROLL, 4)};
  printf(
      "with its folder away, the host used %llu ms of processor time in 5 s\n",
      used);
  Check(moved && kept && used < 1000 &&
            Pump([&] { return RunRow(four, detail); }, 1500),
        "the folder renamed away and back: the lists kept, the host idle, "
        "an edit after the return read",
        detail);
  TerminateCases(host);
  SetCurrentDirectoryA(Here("").c_str());
}

}  // namespace e2e
