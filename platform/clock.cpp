#include "platform/clock.h"

namespace platform {

// Days from 1970-01-01 to the given civil date (H. Hinnant's algorithm).
int64_t daysFromCivil(int year, unsigned month, unsigned day) {
  const int64_t y = int64_t(year) - (month <= 2);
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = unsigned(y - era * 400);
  const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + int64_t(doe) - 719468;
}

SystemTime systemTimeFromUnixMs(int64_t unixMs) {
  int64_t days = unixMs / 86400000;
  int64_t msOfDay = unixMs % 86400000;
  if (msOfDay < 0) {
    msOfDay += 86400000;
    --days;
  }
  const int64_t z = days + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = unsigned(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = int64_t(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;

  SystemTime t;
  t.wYear = uint16_t(y + (m <= 2));
  t.wMonth = uint16_t(m);
  t.wDay = uint16_t(d);
  // 1970-01-01 was a Thursday (4).
  int64_t dow = (days + 4) % 7;
  if (dow < 0) dow += 7;
  t.wDayOfWeek = uint16_t(dow);
  t.wHour = uint16_t(msOfDay / 3600000);
  t.wMinute = uint16_t(msOfDay / 60000 % 60);
  t.wSecond = uint16_t(msOfDay / 1000 % 60);
  t.wMilliseconds = uint16_t(msOfDay % 1000);
  return t;
}

int64_t unixMsFromSystemTime(const SystemTime& t) {
  return daysFromCivil(t.wYear, t.wMonth, t.wDay) * 86400000 + int64_t(t.wHour) * 3600000 +
         int64_t(t.wMinute) * 60000 + int64_t(t.wSecond) * 1000 + t.wMilliseconds;
}

double oleDateFromSystemTime(const SystemTime& t) {
  const int64_t days = daysFromCivil(t.wYear, t.wMonth, t.wDay) - daysFromCivil(1899, 12, 30);
  const double dayFraction =
      (double(t.wHour) * 3600000.0 + double(t.wMinute) * 60000.0 + double(t.wSecond) * 1000.0 + t.wMilliseconds) /
      86400000.0;
  return double(days) + dayFraction;
}

}  // namespace platform
