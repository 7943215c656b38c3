// The program as a second start and Windows see it: its resources, a
// terminate without a running instance or against one that stays, a second
// start that asks, and a renamed copy, which has a settings file of its own.
#include <string_view>

#include "harness.h"
#include "resource_ids.h"

namespace e2e {

// Every string in English and Japanese, with as many "%s" in both (each
// is formatted with the same arguments); the icon, the manifest's settings
// and the version block.
static void Resources() {
  const std::string program = Here("Tavrin64.exe");
  HMODULE file =
      LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  // A block of 16 counted UTF-16 strings holds ids 16 (n - 1) to 16 n - 1.
  const auto text = [&](UINT id, WORD language) {
    HRSRC block = FindResourceExA(file, RT_STRING,
                                  MAKEINTRESOURCEA(id / 16 + 1), language);
    auto* at =
        static_cast<const WCHAR*>(LockResource(LoadResource(file, block)));
    for (UINT skip = id % 16; at && skip > 0; --skip) at += 1 + *at;
    return std::wstring(at ? at + 1 : L"", at ? *at : 0);
  };
  const auto formats = [](const std::wstring& s) {
    size_t n = 0;
    for (size_t at = s.find(L"%s"); at != s.npos; at = s.find(L"%s", at + 2))
      ++n;
    return n;
  };
  std::string wrong;
  for (UINT id = IDS_TERMINATE_QUESTION; id <= IDS_CANNOT_START_WITH_WINDOWS;
       ++id) {
    const std::wstring japanese =
        text(id, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    const std::wstring english =
        text(id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (japanese.empty() || english.empty() ||
        formats(japanese) != formats(english))
      wrong += " " + std::to_string(id);
  }
  Check(wrong.empty(),
        "strings 5001 to 5020, the menu's among them, in English and "
        "Japanese, with the same %s",
        "  missing or unlike:" + wrong);
  HRSRC found = FindResourceA(file, MAKEINTRESOURCEA(1), RT_MANIFEST);
  const std::string manifest(
      static_cast<const char*>(LockResource(LoadResource(file, found))),
      found ? SizeofResource(file, found) : 0);
  // Both icons, serving and paused, drawn at the notification area's
  // sizes from 100 to 200 % (16, 20, 24 and 32 pixels).
  bool complete = true;
  for (const int id : {IDI_TAVRIN64, IDI_TAVRIN64_PAUSED}) {
    HRSRC group = FindResourceA(file, MAKEINTRESOURCEA(id), RT_GROUP_ICON);
    const auto* icons =
        static_cast<const BYTE*>(LockResource(LoadResource(file, group)));
    std::string sizes;
    for (int i = 0; icons && i < icons[4]; ++i)
      sizes += std::to_string(icons[6 + 14 * i]) + " ";
    complete &= sizes.find("16 20 24 32 ") != std::string::npos;
  }
  FreeLibrary(file);
  for (const char* part :
       {"level=\"asInvoker\"", "<supportedOS", "<dpiAwareness",
        "Microsoft.Windows.Common-Controls"})
    complete &= manifest.find(part) != std::string::npos;
  Check(complete && GetFileVersionInfoSizeA(program.c_str(), nullptr) > 0,
        "the icons, the manifest (asInvoker, systems, DPI, common controls) "
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
  snprintf(notice, sizeof notice, HostText(IDS_NO_32BIT).c_str(), kProgramTitle,
           "TV_Hook.dll");
  if (!SkippedWithout32Bit("without the 32-bit library: 5008, once"))
    Check(text == notice, "without the 32-bit library: 5008, once", text);
  Rows(ownFile);
  const Ran second = RunAnswering("Renamed.exe", kProgramTitle, IDYES);
  Check(second.code == 0 && ExitCodeOf(host) == 0 && !HostWindow(),
        "a second start answered Yes ends both", second.text);
}

}  // namespace e2e
