// The host's start-up decisions.
#include "startup.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace tavrin::host;

TEST(Startup, OnlyTheExactWordTerminates) {
  EXPECT_TRUE(IsTerminateRequest("terminate"));
  for (const char* tail : {"", "Terminate", "terminate ", " terminate",
                           "terminatex", "TERMINATE", "terminate now"})
    EXPECT_FALSE(IsTerminateRequest(tail)) << '"' << tail << '"';
}

TEST(Startup, SettingsPathReplacesFromTheLastDot) {
  char path[260];
  struct Case {
    const char* program;
    const char* settings;
  };
  const Case cases[] = {
      {"C:\\Tools\\Tavrin64.exe", "C:\\Tools\\Tavrin64.ini"},
      {"C:\\Tools\\Wheel.Helper.exe", "C:\\Tools\\Wheel.Helper.ini"},
      {"C:\\v1.2\\Tavrin64", "C:\\v1.ini"},  // the last dot of the whole path
      {"C:\\Tools\\Tavrin64", "C:\\Tools\\Tavrin64.ini"},  // no dot: appended
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(SettingsPathFor(c.program, path, sizeof path)) << c.program;
    EXPECT_STREQ(path, c.settings);
  }
}

TEST(Startup, SettingsPathThatDoesNotFitIsRefusedNotTruncated) {
  char path[16];
  memset(path, 'x', sizeof path);
  EXPECT_TRUE(SettingsPathFor("C:\\abcdefgh.exe", path, sizeof path));
  EXPECT_STREQ(path, "C:\\abcdefgh.ini");  // 15 bytes and the NUL: fits
  EXPECT_FALSE(SettingsPathFor("C:\\abcdefghi.exe", path, sizeof path));
  EXPECT_STREQ(path, "");
  const std::string longPath(300, 'a');
  char full[260];
  EXPECT_FALSE(SettingsPathFor(longPath + ".exe", full, sizeof full));
  EXPECT_STREQ(full, "");
}

}  // namespace
