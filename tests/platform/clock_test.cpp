#include "platform/clock.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Calendar, UnixMillisecondsAndFieldsAgree) {
  const SystemTime t = systemTimeFromUnixMs(1796547903123LL);  // 2026-12-06 09:05:03.123 UTC, a Sunday
  EXPECT_EQ(t.wYear, 2026);
  EXPECT_EQ(t.wMonth, 12);
  EXPECT_EQ(t.wDay, 6);
  EXPECT_EQ(t.wDayOfWeek, 0);
  EXPECT_EQ(t.wHour, 9);
  EXPECT_EQ(t.wMinute, 5);
  EXPECT_EQ(t.wSecond, 3);
  EXPECT_EQ(t.wMilliseconds, 123);
  EXPECT_EQ(unixMsFromSystemTime(t), 1796547903123LL);
  // Every day boundary of several years, leap days included.
  for (int64_t day = daysFromCivil(1999, 1, 1); day < daysFromCivil(2033, 1, 1); ++day) {
    const SystemTime d = systemTimeFromUnixMs(day * 86400000);
    ASSERT_EQ(daysFromCivil(d.wYear, d.wMonth, d.wDay), day);
  }
  EXPECT_DOUBLE_EQ(oleDateFromSystemTime(systemTimeFromUnixMs(daysFromCivil(1899, 12, 30) * 86400000 + 43200000)), 0.5);
}

TEST(SystemClock, AnswersPlausibleTimes) {
  Clock& c = systemClock();
  const uint32_t a = c.timeGetTime();
  const uint32_t b = c.timeGetTime();
  EXPECT_LT(elapsedMs(b, a), 1000u);
  const SystemTime utc = c.utcTime();
  EXPECT_GE(utc.wYear, 2024);
  EXPECT_GE(utc.wMonth, 1);
  EXPECT_LE(utc.wMonth, 12);
  const SystemTime local = c.localTime();
  EXPECT_GE(local.wYear, 2024);
}
