// The settings file as the Windows build reads it under Wine: every file of
// the shared table (which the native build reads in the unit tests), and
// files written with WritePrivateProfileStringA as the exclusion editor
// writes them.
#include <windows.h>

#include <stdio.h>

#include <memory>
#include <string>

#include "e2e_support.h"
#include "settings_cases.h"
#include "settings_loader.h"

using namespace tavrin;

namespace {

std::string Printable(const std::string& bytes) {
  std::string out;
  for (char c : bytes)
    out += c == '\r'   ? std::string("\\r")
           : c == '\n' ? std::string("\\n\n    ")
                       : std::string(1, c);
  return out;
}

}  // namespace

int main() {
  e2e::Checks checks;
  char directory[MAX_PATH];
  GetTempPathA(MAX_PATH, directory);
  const std::string path = std::string(directory) + "tavrin_settings_e2e.ini";
  auto state = std::make_unique<host::HostState>();
  path.copy(state->settings_path, sizeof state->settings_path - 1);

  for (const testing::SettingsCase& c : testing::kSettingsCases) {
    DeleteFileA(path.c_str());
    if (c.bytes) {
      FILE* f = fopen(path.c_str(), "wb");
      fwrite(c.bytes->data(), 1, c.bytes->size(), f);
      fclose(f);
    }
    host::LoadSettings(*state);
    const std::string wrong = testing::Mismatch(*state, c);
    checks.Expect(wrong.empty(), c.name, "  " + wrong);
  }

  // Entries as the exclusion editor writes them: the platform creates the
  // file and the section, and later replaces the value in place.
  struct Write {
    const char* section;
    const char* key;
    const char* value;
  };
  struct Step {
    const char* name;
    std::vector<Write> writes;
    const char* file;
    std::vector<std::string> excludeClass, excludeParentClass;
  };
  const Step steps[] = {
      {"written: a first entry creates file and section",
       {{"exclude_class", "Edit", "1"}},
       "[exclude_class]\r\nEdit=1\r\n",
       {"Edit"},
       {}},
      {"written: 0 replaces 1, a second section follows",
       {{"exclude_class", "Edit", "0"},
        {"exclude_parent_class", "TopFrame", "1"}},
       "[exclude_class]\r\nEdit=0\r\n[exclude_parent_class]\r\nTopFrame=1\r\n",
       {},
       {"TopFrame"}},
      {"written: excluded again, the file holds one entry",
       {{"exclude_class", "Edit", "1"}},
       "[exclude_class]\r\nEdit=1\r\n[exclude_parent_class]\r\nTopFrame=1\r\n",
       {"Edit"},
       {"TopFrame"}},
  };
  DeleteFileA(path.c_str());
  for (const Step& step : steps) {
    for (const Write& w : step.writes)
      WritePrivateProfileStringA(w.section, w.key, w.value, path.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    host::LoadSettings(*state);
    const std::string bytes = e2e::ReadFileBytes(path);
    const std::string wrong =
        testing::Mismatch(*state, {step.name,
                                   bytes,
                                   3,
                                   step.excludeClass,
                                   step.excludeParentClass,
                                   {},
                                   {}});
    checks.Expect(bytes == step.file && wrong.empty(), step.name,
                  "  file:\n    " + Printable(bytes) + "\n  " + wrong);
  }
  DeleteFileA(path.c_str());
  return checks.Finish("settings file, Windows build");
}
