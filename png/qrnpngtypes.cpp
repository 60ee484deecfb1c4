#include "png/qrnpngtypes.h"

#include <utility>

namespace yomira::qrn {

namespace {
std::function<std::time_t()>& Clock() {
  static std::function<std::time_t()> clock;
  return clock;
}
}  // namespace

TPNGTime PNGTime(int year, int month, int day, int hour, int minute, int second) {
  TPNGTime t;
  t.year = static_cast<uint16_t>(year);
  t.month = static_cast<uint8_t>(month);
  t.day = static_cast<uint8_t>(day);
  t.hour = static_cast<uint8_t>(hour);
  t.minute = static_cast<uint8_t>(minute);
  t.second = static_cast<uint8_t>(second);
  return t;
}

TPNGTime SystemPNGTime() {
  const std::time_t now = Clock() ? Clock()() : std::time(nullptr);
  std::tm tm{};
  gmtime_r(&now, &tm);
  return PNGTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
}

void SetPNGClock(std::function<std::time_t()> clock) { Clock() = std::move(clock); }

}  // namespace yomira::qrn
