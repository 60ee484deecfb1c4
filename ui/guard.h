// No exception crosses the event loop: every handler the program calls from a key, a menu,
// a timer or a socket runs through guarded(), which shows what went wrong and carries on.
#pragma once

#include <functional>
#include <string>

namespace yomira {

constexpr const char* kUnknownErrorMessage = "不明なエラーが発生しました。";

// Where guarded() sends the message of a caught exception; stderr when none is set.
void SetGuardReporter(std::function<void(const std::string&)> reporter);
void ReportException(const std::string& message);

// Runs fn. A std::exception shows its what(), anything else the unknown-error message.
// True when fn returned normally.
bool guarded(const std::function<void()>& fn);

}  // namespace yomira
