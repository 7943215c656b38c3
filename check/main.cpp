// tavrin-check.exe: explains a settings file, and what Tavrin64 does over a
// window of a given class. Its platform part: the full path, the file, the
// loader and profile reads that the host uses; the other files here do the
// rest.
#include <windows.h>

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <memory>
#include <string>

#include "explain.h"
#include "settings_loader.h"
#include "settings_reader.h"

using namespace tavrin;

namespace {

int Unreadable(const char* path, const std::string& why) {
  fprintf(stderr, "tavrin-check: %s: %s\n", path, why.c_str());
  return check::kExitUnreadable;
}

}  // namespace

int main(int argc, char** argv) {
  check::Args args;
  if (const std::string error = check::ParseArgs(argc, argv, args);
      !error.empty()) {
    fprintf(stderr, "tavrin-check: %s\n%s", error.c_str(), check::kUsage);
    return check::kExitUsage;
  }
  if (args.help) {
    fputs(check::kUsage, stdout);
    return check::kExitOk;
  }

  auto state = std::make_unique<rules::HostState>();
  char* const path = state->settings_path;
  // The host always has a full path; given a bare name, the profile
  // functions would look in the Windows directory.
  const DWORD length = GetFullPathNameA(
      args.file.c_str(), sizeof state->settings_path, path, nullptr);
  if (length == 0 || length >= sizeof state->settings_path)
    return Unreadable(args.file.c_str(),
                      "not a path of at most 259 bytes, as Tavrin64 needs");
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return Unreadable(path, "a folder, not a settings file");
  const rules::SettingsFile file = rules::OpenSettingsFile(path);
  if (!file)
    return Unreadable(path, errno == EACCES
                                ? "access denied (another program may hold "
                                  "it open)"
                                : strerror(errno));

  // What the host would load from it, through the same loader.
  rules::ResetClassLists(*state);
  if (!rules::LoadSettings(*state))
    return Unreadable(path, "cannot be read just now");
  const check::Effective effective{
      state->scroll_counts, rules::ReadCloseByMbtn(path), state->modern_wheel,
      state->tray_icon};
  const check::FileExplanation explanation = check::ExplainFile(file.get());
  if (explanation.readFailed) return Unreadable(path, "a read failed");
  for (const rules::ClassList& list : rules::kClassLists) {
    if (!(explanation.lists.get()->*list.set == state.get()->*list.set)) {
      fprintf(stderr,
              "tavrin-check: %s changed while it was read; run tavrin-check "
              "again\n",
              path);
      break;
    }
  }

  if (args.className)
    check::PrintWindow(stdout, path, *state, effective, *args.className,
                       *args.topClass, args.json, explanation.warnings);
  else
    check::PrintFile(stdout, path, explanation, effective);
  return fflush(stdout) == 0 ? check::kExitOk : check::kExitUnreadable;
}
