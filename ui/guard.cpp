#include "ui/guard.h"

#include <cstdio>
#include <exception>

namespace yomira {
namespace {

std::function<void(const std::string&)>& Reporter() {
  static std::function<void(const std::string&)> reporter;
  return reporter;
}

}  // namespace

void SetGuardReporter(std::function<void(const std::string&)> reporter) { Reporter() = std::move(reporter); }

void ReportException(const std::string& message) {
  if (Reporter()) {
    // The report itself may fail (a message box in a dying program): never let that out.
    try {
      Reporter()(message);
      return;
    } catch (...) {
    }
  }
  std::fprintf(stderr, "yomira: %s\n", message.c_str());
}

bool guarded(const std::function<void()>& fn) {
  try {
    fn();
    return true;
  } catch (const std::exception& e) {
    ReportException(e.what());
  } catch (...) {
    ReportException(kUnknownErrorMessage);
  }
  return false;
}

}  // namespace yomira
