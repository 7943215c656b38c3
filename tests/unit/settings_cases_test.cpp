// The shared table of settings files, read by the native build.
#include "settings_cases.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "settings_loader.h"

namespace {

TEST(SettingsCases, NativeBuildReadsEveryFileOfTheTable) {
  namespace fs = std::filesystem;
  const fs::path path = fs::temp_directory_path() / "tavrin_cases_test.ini";
  auto state = std::make_unique<tavrin::host::HostState>();
  path.string().copy(state->settings_path, sizeof state->settings_path - 1);
  for (const auto& c : tavrin::testing::kSettingsCases) {
    fs::remove(path);
    if (c.bytes) std::ofstream(path, std::ios::binary) << *c.bytes;
    tavrin::host::LoadSettings(*state);
    EXPECT_EQ(tavrin::testing::Mismatch(*state, c), "") << c.name;
  }
  fs::remove(path);
}

}  // namespace
