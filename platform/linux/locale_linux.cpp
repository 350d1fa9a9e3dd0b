#include "platform/locale.h"

#include <langinfo.h>
#include <locale.h>

namespace korvanel::platform {
namespace {

// A locale object of our own per query: the global setlocale state is shared by every thread and
// by libraries (a GUI toolkit sets it), while newlocale with "" reads LC_ALL > LC_xxx > LANG anew.
class ScopedLocale {
 public:
  explicit ScopedLocale(int category_mask) : handle_(newlocale(category_mask, "", nullptr)) {
    if (handle_ == nullptr) handle_ = newlocale(category_mask, "C", nullptr);
  }
  ~ScopedLocale() {
    if (handle_ != nullptr) freelocale(handle_);
  }
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

  locale_t get() const { return handle_; }

  std::string Item(nl_item item, const char* fallback) const {
    if (handle_ == nullptr) return fallback;
    const char* text = nl_langinfo_l(item, handle_);
    return (text != nullptr && *text != '\0') ? text : fallback;
  }

 private:
  locale_t handle_;
};

class LinuxLocale final : public UserLocale {
 public:
  NumberConventions Numbers() const override {
    ScopedLocale numeric(LC_NUMERIC_MASK);
    NumberConventions conventions;
    conventions.decimal_separator = numeric.Item(RADIXCHAR, ".");
    // POSIX locales carry no leading-zero rule; the C library always writes the zero.
    conventions.leading_zero = true;
    return conventions;
  }

  DateTimePatterns DateTime() const override {
    ScopedLocale time(LC_TIME_MASK);
    return {time.Item(D_FMT, "%m/%d/%y"), time.Item(T_FMT, "%H:%M:%S")};
  }

  std::string FormatLocalTime(const std::string& pattern, std::time_t when) const override {
    ScopedLocale time(LC_TIME_MASK);
    if (time.get() == nullptr || pattern.empty()) return {};
    tzset();  // localtime_r alone would keep the zone it saw first
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr) return {};
    char text[256];
    const size_t length = strftime_l(text, sizeof text, pattern.c_str(), &local, time.get());
    return std::string(text, length);
  }
};

}  // namespace

const UserLocale& SystemLocale() {
  static const LinuxLocale locale;
  return locale;
}

}  // namespace korvanel::platform
