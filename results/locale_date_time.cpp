#include "results/locale_date_time.h"

#include <mutex>

namespace korvanel {
namespace {

std::mutex g_last_mutex;
LocaleDateTime g_last;

}  // namespace

LocaleDateTime FormatLocaleDateTime(const platform::UserLocale& locale, std::time_t when) {
  const platform::DateTimePatterns patterns = locale.DateTime();
  LocaleDateTime result;
  result.date_format = patterns.date_format;
  result.time_format = patterns.time_format;
  result.date_text = locale.FormatLocalTime(patterns.date_format, when);
  result.time_text = locale.FormatLocalTime(patterns.time_format, when);
  result.date_time_text = result.date_text + " " + result.time_text;
  return result;
}

LocaleDateTime RefreshLocaleDateTime(const platform::UserLocale& locale) {
  LocaleDateTime now = FormatLocaleDateTime(locale, std::time(nullptr));
  std::lock_guard lock(g_last_mutex);
  g_last = now;
  return now;
}

LocaleDateTime LastLocaleDateTime() {
  std::lock_guard lock(g_last_mutex);
  return g_last;
}

}  // namespace korvanel
