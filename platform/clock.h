#pragma once
// The clock seam: millisecond ticks (timeGetTime, wrapping modulo 2^32) and calendar time in UTC and local
// time. The station reads time only through a Clock, so tests run whole sessions on a simulated clock.
#include <cstdint>

namespace platform {

// Calendar fields in the layout of the Win32 SYSTEMTIME record.
struct SystemTime {
  uint16_t wYear = 0;
  uint16_t wMonth = 0;
  uint16_t wDayOfWeek = 0;  // 0 = Sunday
  uint16_t wDay = 0;
  uint16_t wHour = 0;
  uint16_t wMinute = 0;
  uint16_t wSecond = 0;
  uint16_t wMilliseconds = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start, wrapping modulo 2^32 like timeGetTime.
  virtual uint32_t timeGetTime() = 0;
  virtual SystemTime utcTime() = 0;
  virtual SystemTime localTime() = 0;
};

// The operating system's clock (timeGetTime, GetSystemTime, GetLocalTime on Windows).
Clock& systemClock();

// Milliseconds from `since` to `now` on the wrapping 32-bit clock: correct across the wrap as long as the
// two instants are less than 2^31 ms (about 24.8 days) apart.
inline uint32_t elapsedMs(uint32_t now, uint32_t since) { return now - since; }
// True when `now` is at or after `deadline` on the wrapping clock.
inline bool reached(uint32_t now, uint32_t deadline) { return static_cast<int32_t>(now - deadline) >= 0; }

// Calendar helpers (proleptic Gregorian calendar).
int64_t daysFromCivil(int year, unsigned month, unsigned day);        // days since 1970-01-01
SystemTime systemTimeFromUnixMs(int64_t unixMs);                       // fields of that instant
int64_t unixMsFromSystemTime(const SystemTime& t);
// Days since 30 December 1899, fraction = time of day (the OLE date of the station's time stamps).
double oleDateFromSystemTime(const SystemTime& t);

// A clock for tests: time moves only when told to. Several stations can share one.
class SimulatedClock final : public Clock {
 public:
  // ticksAtStart: the first timeGetTime value; utcAtStartMs: the UTC instant at start, in Unix milliseconds;
  // localOffsetMinutes: local time minus UTC.
  explicit SimulatedClock(uint32_t ticksAtStart = 1000, int64_t utcAtStartMs = 1798761600000LL /* 2027-01-01 */,
                          int32_t localOffsetMinutes = 0)
      : ticks_(ticksAtStart), utcMs_(utcAtStartMs), offsetMin_(localOffsetMinutes) {}

  uint32_t timeGetTime() override { return ticks_; }
  SystemTime utcTime() override { return systemTimeFromUnixMs(utcMs_); }
  SystemTime localTime() override { return systemTimeFromUnixMs(utcMs_ + int64_t(offsetMin_) * 60000); }

  void advance(uint32_t ms) {
    ticks_ += ms;
    utcMs_ += ms;
  }
  void setUtc(int64_t unixMs) { utcMs_ = unixMs; }
  void setTicks(uint32_t ticks) { ticks_ = ticks; }
  void setLocalOffsetMinutes(int32_t minutes) { offsetMin_ = minutes; }

 private:
  uint32_t ticks_;
  int64_t utcMs_;
  int32_t offsetMin_;
};

}  // namespace platform
