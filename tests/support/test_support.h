// Helpers shared by every test suite: cp932 fixtures written as UTF-8, readable
// failure messages for byte strings, the test data folder and self-removing temp folders.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace yomira::test {

// UTF-8 to cp932 through glibc iconv "CP932". Throws std::invalid_argument naming
// the first character that has no cp932 form.
std::string sj(std::u8string_view utf8);
std::string sj(std::string_view utf8);

// cp932 back to UTF-8 for messages; bytes that do not decode print as \xNN.
std::string u8(std::string_view cp932);

// Source lines from a UTF-8 text split at "\n", each converted with sj().
std::vector<std::string> sjLines(std::u8string_view utf8);

// Raw bytes, for the fixtures where the exact bytes are the point.
std::string bytes(std::initializer_list<int> values);

// Upper-case hex dump, "82 A0 41".
std::string hex(std::string_view data);

// A path under the test data folder ($YOMIRA_TEST_DATA, else tests/data of the source tree).
std::filesystem::path TestData(std::string_view rel);

// Whole file as bytes; fails the current test when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

// A fresh temporary folder removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// s quoted for a POSIX shell.
std::string ShellQuote(const std::string& s);

struct CommandRun {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out;  // what it wrote to stdout
};
// Runs a shell command line (its own redirections included) and collects its stdout.
CommandRun RunCommand(const std::string& commandLine);

// Root writes into any folder, so tests of a folder the program may not write would prove
// nothing as root (CI runs as root). Such a test runs its body through RunUnprivileged:
// as root, in a forked child that has become the user nobody; otherwise in this process.
// The body returns "" on success, else what went wrong (a child cannot report by EXPECT_*);
// an exception it throws is returned as what went wrong.
bool RunningAsRoot();
std::string RunUnprivileged(const std::function<std::string()>& body);
// Gives a folder the test made to the user RunUnprivileged's body runs as, and lets that
// user pass through the folder above it (a temporary folder is the creator's alone).
void HandToUnprivileged(const std::filesystem::path& folder);
// The words that run a program as that user ("setpriv ..."); empty when not root.
std::vector<std::string> UnprivilegedCommandPrefix();

// A PCM WAV image of frames silent frames.
std::string SilentWav(uint32_t rate, uint16_t bits, uint16_t channels, uint32_t frames);

// Whether the shared library of that file name is mapped into this process.
bool LibraryLoaded(const std::string& fileName);

::testing::AssertionResult SjEqual(const char* actual_expr, const char* expected_expr,
                                   std::string_view actual, std::u8string_view expected);

}  // namespace yomira::test

// Compares a cp932 string with a UTF-8 literal; on failure both sides print as text and hex.
#define EXPECT_SJ_EQ(actual, expected) \
  EXPECT_PRED_FORMAT2(::yomira::test::SjEqual, actual, expected)
#define ASSERT_SJ_EQ(actual, expected) \
  ASSERT_PRED_FORMAT2(::yomira::test::SjEqual, actual, expected)
