// The host's start-up decisions.
#include "startup.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace tavrin::host;

TEST(Startup, OnlyTheExactWordsAskTheRunningInstance) {
  EXPECT_EQ(RequestOf("terminate"), Request::Terminate);
  EXPECT_EQ(RequestOf("pause"), Request::Pause);
  EXPECT_EQ(RequestOf("resume"), Request::Resume);
  for (const char* tail : {"", "Terminate", "terminate ", " terminate", "Pause",
                           "pause resume", "resume "})
    EXPECT_EQ(RequestOf(tail), Request::Start) << '"' << tail << '"';
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
