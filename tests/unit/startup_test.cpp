// The host's start-up decisions.
#include "startup.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace tavrin::host;

TEST(Startup, OnlyTheExactWordTerminates) {
  EXPECT_TRUE(IsTerminateRequest("terminate"));
  for (const char* tail : {"", "Terminate", "terminate ", " terminate"})
    EXPECT_FALSE(IsTerminateRequest(tail)) << '"' << tail << '"';
}

TEST(Startup, SettingsPathReplacesFromTheLastDotOrIsRefused) {
  const struct {
    std::string program;
    const char* settings;  // nullptr: refused
    size_t size;
  } cases[] = {
      {"C:\\Tools\\Wheel.Helper.exe", "C:\\Tools\\Wheel.Helper.ini", 260},
      {"C:\\v1.2\\Tavrin64", "C:\\v1.ini", 260},  // the last dot of the path
      {"C:\\Tools\\Tavrin64", "C:\\Tools\\Tavrin64.ini", 260},  // appended
      {"C:\\abcdefgh.exe", "C:\\abcdefgh.ini", 16},  // 15 bytes and the NUL
      {"C:\\abcdefghi.exe", nullptr, 16},            // one more does not fit
  };
  for (const auto& [program, settings, size] : cases) {
    char path[260] = "x";
    EXPECT_EQ(SettingsPathFor(program, path, size), settings != nullptr);
    EXPECT_STREQ(path, settings ? settings : "") << program;
  }
}

}  // namespace
