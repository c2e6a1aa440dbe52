#include <windows.h>
#include <mmsystem.h>

#include "platform/clock.h"

namespace platform {
namespace {

SystemTime fromWin32(const SYSTEMTIME& s) {
  SystemTime t;
  t.wYear = s.wYear;
  t.wMonth = s.wMonth;
  t.wDayOfWeek = s.wDayOfWeek;
  t.wDay = s.wDay;
  t.wHour = s.wHour;
  t.wMinute = s.wMinute;
  t.wSecond = s.wSecond;
  t.wMilliseconds = s.wMilliseconds;
  return t;
}

class Win32Clock final : public Clock {
 public:
  uint32_t timeGetTime() override { return ::timeGetTime(); }
  SystemTime utcTime() override {
    SYSTEMTIME s;
    ::GetSystemTime(&s);
    return fromWin32(s);
  }
  SystemTime localTime() override {
    SYSTEMTIME s;
    ::GetLocalTime(&s);
    return fromWin32(s);
  }
};

}  // namespace

Clock& systemClock() {
  static Win32Clock clock;
  return clock;
}

}  // namespace platform
