// Test-only: makes a time zone ICU's default for the life of the object, then restores the one
// that was there.
#pragma once
#include <memory>

#include <unicode/timezone.h>
#include <unicode/unistr.h>

namespace nvx::testing {

class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* id) : previous_(icu::TimeZone::createDefault()) {
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(id)));
  }
  ~ScopedTimeZone() { icu::TimeZone::adoptDefault(previous_.release()); }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::unique_ptr<icu::TimeZone> previous_;
};

}  // namespace nvx::testing
