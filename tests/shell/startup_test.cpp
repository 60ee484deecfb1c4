#include "shell/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/test_support.h"

namespace yomira {
namespace {

// Records the calls in a readable form; "-c<n>" sets the start code page as the real parser does.
class RecordingOps : public StartupOps {
 public:
  std::vector<std::string> calls;
  bool laidOut = false, reopen = false, urlOk = true;
  int charCode = 0, filter = -1;

  void ResetStartParams() override {
    charCode = 0;
    filter = -1;
  }
  int StartFilter() const override { return filter; }
  int StartCharCode() const override { return charCode; }
  void SetPendingRate(int rate) override { calls.push_back("PendingRate(" + std::to_string(rate) + ")"); }
  void OpenFileItem(const std::string& path, bool force, int f, int cc, bool keep, bool rebuild) override {
    calls.push_back("OpenFileItem(" + path + ", " + std::to_string(force) + ", " + std::to_string(f) + ", " +
                    std::to_string(cc) + ", " + std::to_string(keep) + ", " + std::to_string(rebuild) + ")");
  }
  void OpenDirectory(const std::string& folder, int cc, int f) override {
    calls.push_back("OpenDirectory(" + folder + ", " + std::to_string(cc) + ", " + std::to_string(f) + ")");
  }
  bool OpenUrl(const std::string& url, int rate) override {
    calls.push_back("OpenUrl(" + url + ", " + std::to_string(rate) + ")");
    return urlOk;
  }
  void ParseParam(const std::string& arg) override {
    calls.push_back("ParseParam(" + arg + ")");
    if (arg.rfind("-c", 0) == 0 && arg.size() > 2) charCode = std::stoi(arg.substr(2));
  }
  bool IsLaidOut() const override { return laidOut; }
  bool ReopenAtStart() const override { return reopen; }
  void ActionFileRecent0Execute() override { calls.push_back("Reopen"); }
};

class Startup : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(t_ / "a.txt") << "a";
    std::filesystem::create_directory(t_ / "folder");
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(t_.path());
  }
  void TearDown() override { std::filesystem::current_path(old_); }
  std::string T() const { return t_.path().string(); }

  test::TempDir t_;
  std::filesystem::path old_;
};

using Calls = std::vector<std::string>;

TEST_F(Startup, EachKindOfArgumentTakesItsRoad) {
  struct Case {
    std::vector<std::string> args;
    Calls calls;
  } cases[] = {
      {{"file://" + T() + "/a.txt"},
       {"PendingRate(-1)", "OpenFileItem(" + T() + "/a.txt, 1, -1, 0, 0, 1)", "ParseParam(-null)"}},
      {{"-c2", "a.txt"}, {"ParseParam(-c2)", "PendingRate(-1)", "OpenFileItem(a.txt, 1, -1, 2, 0, 1)", "ParseParam(-null)"}},
      {{T() + "/folder"}, {"OpenDirectory(" + T() + "/folder, 0, -1)", "ParseParam(-null)"}},
      {{"http://h/x"}, {"OpenUrl(http://h/x, 0)", "ParseParam(-null)"}},
      {{"a.txt", "-c1"}, {"PendingRate(-1)", "OpenFileItem(a.txt, 1, -1, 0, 0, 1)", "ParseParam(-null)"}},
      // Not a switch and not there: the open road tells the user, as for a file.
      {{"-c1", "nosuch.txt", "a.txt"},
       {"ParseParam(-c1)", "PendingRate(-1)", "OpenFileItem(nosuch.txt, 1, -1, 1, 0, 1)", "ParseParam(-null)"}},
      {{" -p3", ""}, {"ParseParam( -p3)", "ParseParam()", "ParseParam(-null)"}},
  };
  for (const Case& c : cases) {
    RecordingOps ops;
    EXPECT_TRUE(RunStartupArguments(c.args, ops));
    EXPECT_EQ(ops.calls, c.calls) << c.args[0];
  }
}

TEST_F(Startup, ReopensTheLastDocumentWhenNothingWasLaidOut) {
  RecordingOps ops;
  ops.reopen = true;
  EXPECT_TRUE(RunStartupArguments({"-c1"}, ops));
  EXPECT_EQ(ops.calls, (Calls{"ParseParam(-c1)", "ParseParam(-null)", "Reopen"}));

  RecordingOps none;
  EXPECT_TRUE(RunStartupArguments({}, none));
  EXPECT_TRUE(none.calls.empty());

  RecordingOps shown;
  shown.reopen = true;
  shown.laidOut = true;
  EXPECT_TRUE(RunStartupArguments({}, shown));
  EXPECT_TRUE(shown.calls.empty());
}

TEST_F(Startup, AFailedUrlEndsTheStartWithoutReopen) {
  RecordingOps ops;
  ops.reopen = true;
  ops.urlOk = false;
  EXPECT_FALSE(RunStartupArguments({"http://h/x"}, ops));
  EXPECT_EQ(ops.calls, (Calls{"OpenUrl(http://h/x, 0)", "ParseParam(-null)"}));
}

}  // namespace
}  // namespace yomira
