#include "ui/Startup.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/headless/HeadlessSystem.h"

namespace lumevra {
namespace {

TEST(Startup, ModeParamIsTheFirstTwoUpperCasedCharacters) {
  const std::pair<std::vector<std::string>, std::pair<std::string, std::string>> cases[] = {
      {{}, {"", ""}},
      {{"/s"}, {"/S", ""}},
      {{"/S1234"}, {"/S", ""}},
      {{"/s:1234"}, {"/S", ""}},
      {{"/c:1234"}, {"/C", ""}},
      {{"/p", "1234"}, {"/P", "1234"}},
      {{"a", "abc"}, {"A", "ABC"}},
      {{"ab"}, {"AB", ""}},
  };
  for (const auto& [args, expected] : cases) {
    const CommandLine cl = ParseCommandLine(args);
    EXPECT_EQ(cl.ModeParam, expected.first);
    EXPECT_EQ(cl.HandleParam, expected.second);
  }
}

TEST(Startup, ModeTable) {
  using M = StartMode;
  struct Row {
    const char* param;  // nullptr: no parameter
    M scr;
    M exe;
  };
  const Row rows[] = {
      {nullptr, M::Configuration, M::Saver},
      {"/c", M::Configuration, M::Saver}, {"-C", M::Configuration, M::Saver},
      {"c", M::Configuration, M::Saver}, {"/c:1234", M::Configuration, M::Saver},
      {"/s", M::Saver, M::Saver}, {"-s", M::Saver, M::Saver}, {"S", M::Saver, M::Saver},
      {"/S1234", M::Saver, M::Saver},
      {"/p", M::Preview, M::Preview}, {"-P", M::Preview, M::Preview}, {"p", M::Preview, M::Preview},
      {"/a", M::PasswordChange, M::PasswordChange}, {"-a", M::PasswordChange, M::PasswordChange},
      {"A", M::PasswordChange, M::PasswordChange},
      {"/x", M::None, M::Saver}, {"ab", M::None, M::Saver}, {"ss", M::None, M::Saver},
      {"/", M::None, M::Saver}, {"C:\\Windows\\other.scr", M::None, M::Saver},
  };
  for (const Row& r : rows) {
    const std::vector<std::string> args = r.param ? std::vector<std::string>{r.param} : std::vector<std::string>{};
    const std::string mode = ParseCommandLine(args).ModeParam;
    EXPECT_EQ(SelectMode(mode, "C:/Windows/MySaver.scr"), r.scr) << (r.param ? r.param : "(none)");
    EXPECT_EQ(SelectMode(mode, "/x/MySaver.Scr"), r.scr) << (r.param ? r.param : "(none)");
    EXPECT_EQ(SelectMode(mode, "/x/StandAloneScr"), r.scr) << (r.param ? r.param : "(none)");
    EXPECT_EQ(SelectMode(mode, "/x/MySaver.exe"), r.exe) << (r.param ? r.param : "(none)");
    EXPECT_EQ(SelectMode(mode, "/x/MySaver.EXE"), r.exe) << (r.param ? r.param : "(none)");
  }
}

class RunStartupTest : public ::testing::Test {
protected:
  int Run(std::vector<std::string> args, const std::string& program = "/x/MySaver.scr") {
    system.arguments = std::move(args);
    system.programFile = program;
    out.str("");
    return RunStartup(system, handlers, out);
  }

  HeadlessSystem system;
  StartupHandlers handlers;
  std::ostringstream out;
  std::vector<std::string> calls;
};

TEST_F(RunStartupTest, EachModeRunsItsHandler) {
  handlers.preview = [this](intptr_t h) { calls.push_back("preview " + std::to_string(h)); };
  handlers.configuration = [this] { calls.push_back("configuration"); };
  handlers.saver = [this] {
    calls.push_back("saver");
    EXPECT_EQ(system.applicationTitle, "Lumevra Screensaver");  // set before any window
  };
  EXPECT_EQ(Run({"/p", "1234"}), 0);
  EXPECT_EQ(Run({"/P", "1234"}), 0);
  EXPECT_EQ(Run({"/s"}), 0);
  EXPECT_EQ(Run({}), 0);
  EXPECT_EQ(Run({"/x"}), 0);                  // a screensaver file: nothing
  EXPECT_EQ(Run({"/c"}, "/x/MySaver.exe"), 0);  // a stand-alone program: the saver
  EXPECT_EQ(calls, (std::vector<std::string>{"preview 1234", "preview 1234", "saver", "configuration", "saver"}));
}

TEST_F(RunStartupTest, ModesWithoutHandlersReportThemselves) {
  Run({"/s"});
  EXPECT_EQ(out.str(), "mode: saver\n");
  Run({});
  EXPECT_EQ(out.str(), "mode: configuration\n");
  Run({"/p", "77"});
  EXPECT_EQ(out.str(), "mode: preview into window 77\n");
  Run({"/x"});
  EXPECT_EQ(out.str(), "");
}

TEST_F(RunStartupTest, GuardBlocksASecondStartButNotPasswordChange) {
  handlers.saver = [this] {
    calls.push_back("outer saver");
    // A second start while the saver runs.
    std::ostringstream inner;
    HeadlessSystem second;
    second.programFile = "/x/MySaver.scr";
    second.passwordServices = true;
    StartupHandlers h;
    h.saver = [this] { calls.push_back("inner saver"); };
    h.configuration = [this] { calls.push_back("inner configuration"); };
    for (auto args : {std::vector<std::string>{"/s"}, std::vector<std::string>{}}) {
      second.arguments = args;
      EXPECT_EQ(RunStartup(second, h, inner), 0);
    }
    second.arguments = {"/a", "99"};
    EXPECT_EQ(RunStartup(second, h, inner), 0);
    EXPECT_EQ(second.passwordChangeCalls, std::vector<intptr_t>{99});
  };
  Run({"/s"});
  EXPECT_EQ(calls, std::vector<std::string>{"outer saver"});
  // Once the first run ended, the guard is free again.
  Run({"/s"});
  EXPECT_EQ(calls.size(), 2u);
}

TEST_F(RunStartupTest, NoGuardAvailableStillRuns) {
  system.guardAvailable = false;
  handlers.saver = [this] { calls.push_back("saver"); };
  Run({"/s"});
  EXPECT_EQ(calls.size(), 1u);
}

TEST_F(RunStartupTest, PasswordChangeAndHandles) {
  // Without the system's service the process just ends.
  EXPECT_EQ(Run({"/a", "not a number"}), 0);
  system.passwordServices = true;
  EXPECT_EQ(Run({"-A", "4321"}), 0);
  EXPECT_EQ(system.passwordChangeCalls, std::vector<intptr_t>{4321});
  EXPECT_THROW(Run({"/a", "12x"}), InvalidInteger);
  EXPECT_THROW(Run({"/p"}), InvalidInteger);
  try {
    Run({"/p", "abc"});
    FAIL();
  } catch (const InvalidInteger& e) {
    EXPECT_STREQ(e.what(), "'ABC' is not a valid integer value");
  }
}

}  // namespace
}  // namespace lumevra
