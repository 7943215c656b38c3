// How long the host takes to load a hostile settings file: a hundred
// thousand entries, lines of 100 KB and megabytes of random bytes. Run under
// Wine:   tests/e2e/run_wine.sh build/win64/bin/load_bench.exe
#include <windows.h>

#include <stdio.h>

#include <algorithm>
#include <string>

#include "hostile_settings.h"
#include "settings_loader.h"

int main() {
  char directory[MAX_PATH];
  GetTempPathA(MAX_PATH, directory);
  tavrin::rules::HostState state;
  const std::string path = std::string(directory) + "tavrin_load_bench.ini";
  path.copy(state.settings_path, sizeof state.settings_path - 1);
  const std::string text = HostileSettings(
      "[general]\r\nscroll_counts=5\r\n"
      "[exclude_class]\r\n");
  if (FILE* f = fopen(path.c_str(), "wb")) {
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  double best = 1e9;
  bool loaded = true;
  for (int round = 0; round < 5; ++round) {
    QueryPerformanceCounter(&start);
    loaded &= tavrin::rules::LoadSettings(state);
    QueryPerformanceCounter(&end);
    best = std::min(best, static_cast<double>(end.QuadPart - start.QuadPart) /
                              static_cast<double>(frequency.QuadPart));
  }
  DeleteFileA(path.c_str());
  printf("hostile settings file, %zu bytes: LoadSettings %.1f ms (best of 5)\n",
         text.size(), best * 1e3);
  return loaded && state.scroll_counts == 5 ? 0 : 1;
}
