#include "shell/forward_plan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/test_support.h"

namespace yomira {
namespace {

using Msgs = std::vector<std::string>;

TEST(PlanForward, SendsUpToTheFirstFileOrUrlWithLocalPathsAbsolute) {
  test::TempDir t;
  const std::string w = t.path().string();
  std::ofstream(t / "a.txt") << "a";
  std::ofstream(t / "b c.txt") << "b";
  std::filesystem::create_directory(t / "d");
  struct Case {
    Msgs args;
    Msgs expected;
  } cases[] = {
      {{"a.txt", "-p5"}, {w + "/a.txt", "-null"}},
      // A switch's value is read from its own argument: a separate "5" is a name, and missing.
      {{"-p", "5", "a.txt"}, {"-p", w + "/5", w + "/a.txt", "-null"}},
      {{}, {"-null"}},
      {{"http", "a.txt"}, {w + "/http", w + "/a.txt", "-null"}},
      {{"http://x", "a.txt"}, {"http://x", "-null"}},
      {{"HTTP://x", "a.txt"}, {w + "/HTTP:/x", w + "/a.txt", "-null"}},
      {{"d", "a.txt"}, {w + "/d", w + "/a.txt", "-null"}},
      {{"file://" + w + "/b%20c.txt", "-p5"}, {w + "/b c.txt", "-null"}},
      {{"FILE://" + w + "/a.txt"}, {w + "/FILE:" + w + "/a.txt", "-null"}},
      // A missing path is made absolute for the receiver's message, and the sending goes on.
      {{"nosuch.txt", "a.txt"}, {w + "/nosuch.txt", w + "/a.txt", "-null"}},
      {{"-p5", "d/../nosuch.txt"}, {"-p5", w + "/nosuch.txt", "-null"}},
      {{"./d/../a.txt"}, {w + "/a.txt", "-null"}},
  };
  for (const Case& c : cases) {
    const auto plan = planForward(c.args, w);
    ASSERT_TRUE(plan.has_value());
    EXPECT_EQ(*plan, c.expected) << (c.args.empty() ? "(none)" : c.args[0]);
  }
}

TEST(PlanForward, RefusesAnArgumentOverOneFrame) {
  EXPECT_FALSE(planForward({"-p5", "-" + std::string(65535, 'a')}, "/").has_value());
  EXPECT_TRUE(planForward({"-" + std::string(65534, 'a')}, "/").has_value());
  // A missing name is sent absolute, and measured so.
  EXPECT_FALSE(planForward({std::string(65535, 'a')}, "/").has_value());
}

}  // namespace
}  // namespace yomira
