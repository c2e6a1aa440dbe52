#include <ctime>

#include "platform/clock.h"

namespace platform {
namespace {

class PosixClock final : public Clock {
 public:
  uint32_t timeGetTime() override {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint32_t(uint64_t(ts.tv_sec) * 1000u + uint64_t(ts.tv_nsec) / 1000000u);
  }
  SystemTime utcTime() override {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return systemTimeFromUnixMs(int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000);
  }
  SystemTime localTime() override {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    SystemTime t;
    t.wYear = uint16_t(local.tm_year + 1900);
    t.wMonth = uint16_t(local.tm_mon + 1);
    t.wDayOfWeek = uint16_t(local.tm_wday);
    t.wDay = uint16_t(local.tm_mday);
    t.wHour = uint16_t(local.tm_hour);
    t.wMinute = uint16_t(local.tm_min);
    t.wSecond = uint16_t(local.tm_sec > 59 ? 59 : local.tm_sec);
    t.wMilliseconds = uint16_t(ts.tv_nsec / 1000000);
    return t;
  }
};

}  // namespace

Clock& systemClock() {
  static PosixClock clock;
  return clock;
}

}  // namespace platform
