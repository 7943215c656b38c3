// The program as a second start and Windows see it: its resources, a
// terminate without a running instance or against one that stays, a second
// start that asks, and a renamed copy, which has a settings file of its own.
#include <string_view>

#include "harness.h"
#include "resource_ids.h"

namespace e2e {

// Every string in Japanese too, with as many "%s" as the English one that
// the question and notice rows read (each is formatted with the same
// arguments); the icon, the manifest's settings and the version block.
static void Resources() {
  const std::string program = Here("Tavrin64.exe");
  HMODULE file =
      LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  std::string wrong;
  for (UINT id = IDS_TERMINATE_QUESTION; id <= IDS_NO_32BIT; ++id) {
    // A block of 16 counted UTF-16 strings holds ids 16 (n - 1) to 16 n - 1.
    HRSRC block =
        FindResourceExA(file, RT_STRING, MAKEINTRESOURCEA(id / 16 + 1),
                        MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    auto* text =
        static_cast<const WCHAR*>(LockResource(LoadResource(file, block)));
    for (UINT skip = id % 16; text && skip > 0; --skip) text += 1 + *text;
    const std::wstring japanese(text ? text + 1 : L"", text ? *text : 0);
    const std::string english = kStrings[id - IDS_TERMINATE_QUESTION];
    const auto formats = [](const auto& s, const auto& mark) {
      size_t n = 0;
      for (size_t at = s.find(mark); at != s.npos; at = s.find(mark, at + 2))
        ++n;
      return n;
    };
    if (japanese.empty() || formats(japanese, L"%s") != formats(english, "%s"))
      wrong += " " + std::to_string(id);
  }
  Check(wrong.empty(), "strings 5001 to 5008 in Japanese, with the same %s",
        "  missing or unlike:" + wrong);
  HRSRC found = FindResourceA(file, MAKEINTRESOURCEA(1), RT_MANIFEST);
  const std::string manifest(
      static_cast<const char*>(LockResource(LoadResource(file, found))),
      found ? SizeofResource(file, found) : 0);
  bool complete =
      FindResourceA(file, MAKEINTRESOURCEA(IDI_TAVRIN64), RT_GROUP_ICON);
  FreeLibrary(file);
  for (const char* part :
       {"level=\"asInvoker\"", "<supportedOS", "<dpiAwareness",
        "Microsoft.Windows.Common-Controls"})
    complete &= manifest.find(part) != std::string::npos;
  Check(complete && GetFileVersionInfoSizeA(program.c_str(), nullptr) > 0,
        "the icon, the manifest (asInvoker, systems, DPI, common controls) "
        "and the version block",
        manifest);
}

// "terminate" without one running, and against a window of the host's
// class and title that does not go. That box has no caption of its own.
void StartupCases() {
  Resources();
  Check(ExitCodeOf(Start("Tavrin64.exe terminate")) == 0 && !HostWindow(),
        "\"terminate\" without a running instance: exit 0, no window");
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = kWindowClass;
  RegisterClassA(&wc);
  HWND stuck = CreateWindowExA(0, kWindowClass, kProgramTitle, 0, 0, 0, 10, 10,
                               nullptr, nullptr, nullptr, nullptr);
  const auto [code, text] =
      RunAnswering("Tavrin64.exe terminate", "Error", IDOK);
  Check(text == "Terminate failed!" && code == kFailed,
        "an instance that stays: exit -1", text);
  DestroyWindow(stuck);
  UnregisterClassA(kWindowClass, nullptr);
}

// A running host: a second start asks, and No leaves it running.
void SecondStartCases() {
  for (const char* tail : {"", " Terminate"}) {
    const auto [code, text] =
        RunAnswering("Tavrin64.exe"s + tail, kProgramTitle, IDNO);
    Check(
        text == "Terminate Tavrin64?" && code == kFailed && HostWindow(),
        "a second start \""s + tail + "\" asks; No: exit -1, the host runs on",
        text);
  }
}

// A renamed copy reads the settings file of its own name; without the
// 32-bit library it says once that 32-bit applications are not served.
void RenamedCopyCases() {
  // clang-format off
  const std::vector<Row> ownFile = {
    {"negative scroll_counts from its own file: only the end", Child, Top, 0x20A, kDown, Lines(kDown, Child, WM_VSCROLL, 0)},
    {"close_by_mbtn 0: middle clicks pass untouched", Top, Child, 0x208, 0, {{Child, 0x208, 0}}},
  };
  // clang-format on
  CopyFileA(Host("Tavrin64.exe").c_str(), Host("Renamed.exe").c_str(), FALSE);
  WriteFile("Renamed.ini",
            "[general]\r\nscroll_counts=-3\r\n[exclude_class]\r\nTvSync\r\n");
  MoveFileA(Host("TV_Hook.dll").c_str(), Host("TV_Hook.off").c_str());
  HANDLE host = nullptr;
  std::string text =
      Answer(kProgramTitle, IDOK, [&] { host = StartHost("Renamed.exe"); });
  MoveFileA(Host("TV_Hook.off").c_str(), Host("TV_Hook.dll").c_str());
  char notice[256];
  snprintf(notice, sizeof notice, kStrings[7], kProgramTitle, "TV_Hook.dll");
  if (!SkippedWithout32Bit("without the 32-bit library: 5008, once"))
    Check(text == notice, "without the 32-bit library: 5008, once", text);
  Rows(ownFile);
  const Ran second = RunAnswering("Renamed.exe", kProgramTitle, IDYES);
  Check(second.code == 0 && ExitCodeOf(host) == 0 && !HostWindow(),
        "a second start answered Yes ends both", second.text);
}

}  // namespace e2e
