// tavrin-check.exe on a file with traps, named without a folder (the
// profile functions need the full path that it makes of it): its exit code
// and parts of its standard output.
#include "harness.h"

namespace e2e {

void CheckCases() {
  SetCurrentDirectoryA(Here("").c_str());
  WriteFile("traps.ini",
            "[general]\r\nscroll_counts=7\r\n[exclude_class]\r\n"
            "Edit = 1\r\nChrome_\r\nChrome_WidgetWin_\r\n");
  // clang-format off
  const struct { const char* args; DWORD code; std::vector<std::string> parts; } rows[] = {
    {"traps.ini", 0, {"\n     4  Edit = 1  ", "warning: a blank before the value", "scroll_counts = 7: 7 line messages", "\n2 warnings\r\n"}},
    {"--json traps.ini Chrome_Zeta", 0, {R"("wheel": "lines", "wheel_list": null, "wheel_key": null)", R"("scroll_counts": 7)", R"("modern_wheel": 0, "tray_icon": 0)"}},
    {"traps.ini Chrome_WidgetWin_0 TvTop --json", 0, {R"("wheel": "forward", "wheel_list": "exclude_class", "wheel_key": "Chrome_WidgetWin_")"}},
    {"traps.ini Button", 0, {"no key lies below \"Button\": no"}},
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

}  // namespace e2e
