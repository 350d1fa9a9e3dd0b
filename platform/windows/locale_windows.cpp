// The user's number and date/time conventions from the user's default locale, asked anew at every
// call so that a changed setting shows at the next refresh.

#include <windows.h>

#include <vector>

#include "platform/locale.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

constexpr size_t kLongestText = 255;

std::wstring LocaleText(LCTYPE item) {
  return GrowingWideText([item](wchar_t* buffer, DWORD capacity) {
    const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, buffer, static_cast<int>(capacity));
    // The length counts the terminator.
    return length > 0 ? static_cast<DWORD>(length - 1) : 0;
  });
}

// The first format an enumeration offers; the callbacks carry no context, so one per thread.
thread_local std::wstring t_first_format;

BOOL CALLBACK KeepFirstDate(LPWSTR format, CALID, LPARAM) {
  t_first_format = format;
  return FALSE;  // the first one is all we want
}

BOOL CALLBACK KeepFirstTime(LPWSTR format, LPARAM) {
  t_first_format = format;
  return FALSE;
}

std::wstring FirstShortDateFormat() {
  t_first_format.clear();
  EnumDateFormatsExEx(KeepFirstDate, LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, 0);
  return t_first_format.empty() ? LocaleText(LOCALE_SSHORTDATE) : t_first_format;
}

std::wstring FirstTimeFormat() {
  t_first_format.clear();
  EnumTimeFormatsEx(KeepFirstTime, LOCALE_NAME_USER_DEFAULT, 0, 0);
  return t_first_format.empty() ? LocaleText(LOCALE_STIMEFORMAT) : t_first_format;
}

enum class Picture { kNone, kDate, kTime };

Picture PictureOf(wchar_t c) {
  if (c == L'd' || c == L'M' || c == L'y' || c == L'g') return Picture::kDate;
  if (c == L'h' || c == L'H' || c == L'm' || c == L's' || c == L't') return Picture::kTime;
  return Picture::kNone;
}

// A pattern cut where it changes between date and time pictures; quoted text and other characters
// stay with the piece they stand in, so "dd. MMMM" goes to the date function whole (month names
// take their genitive form there) and "HH:mm" to the time function.
std::vector<std::pair<Picture, std::wstring>> SplitPattern(const std::wstring& pattern) {
  std::vector<std::pair<Picture, std::wstring>> pieces;
  Picture current = Picture::kNone;
  std::wstring piece;
  bool quoted = false;
  for (wchar_t c : pattern) {
    if (c == L'\'') quoted = !quoted;
    const Picture kind = quoted || c == L'\'' ? Picture::kNone : PictureOf(c);
    if (kind != Picture::kNone && current != Picture::kNone && kind != current) {
      pieces.emplace_back(current, piece);
      piece.clear();
    }
    if (kind != Picture::kNone) current = kind;
    piece += c;
  }
  // Text without any picture is copied by the date function as it stands.
  if (!piece.empty()) pieces.emplace_back(current == Picture::kNone ? Picture::kDate : current, piece);
  return pieces;
}

std::wstring FormatPiece(Picture kind, const std::wstring& piece, const SYSTEMTIME& when) {
  return GrowingWideText([&](wchar_t* buffer, DWORD capacity) {
    const int length =
        kind == Picture::kTime
            ? GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &when, piece.c_str(), buffer, static_cast<int>(capacity))
            : GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &when, piece.c_str(), buffer, static_cast<int>(capacity),
                              nullptr);
    if (length > 0) return static_cast<DWORD>(length - 1);
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER ? capacity * 2 : 0;
  });
}

bool LocalSystemTime(std::time_t when, SYSTEMTIME* local) {
  // FILETIME counts 100 ns steps since 1601.
  const ULONGLONG ticks = static_cast<ULONGLONG>(when) * 10000000ULL + 116444736000000000ULL;
  FILETIME file_time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME utc{};
  return FileTimeToSystemTime(&file_time, &utc) && SystemTimeToTzSpecificLocalTime(nullptr, &utc, local);
}

class WindowsLocale final : public UserLocale {
 public:
  NumberConventions Numbers() const override {
    NumberConventions conventions;
    const std::wstring separator = LocaleText(LOCALE_SDECIMAL);
    if (!separator.empty()) conventions.decimal_separator = Utf8FromWide(separator);
    conventions.leading_zero = LocaleText(LOCALE_ILZERO) != L"0";
    return conventions;
  }

  DateTimePatterns DateTime() const override {
    return {Utf8FromWide(FirstShortDateFormat()), Utf8FromWide(FirstTimeFormat())};
  }

  std::string FormatLocalTime(const std::string& pattern, std::time_t when) const override {
    SYSTEMTIME local{};
    if (pattern.empty() || !LocalSystemTime(when, &local)) return {};
    std::wstring text;
    for (const auto& [kind, piece] : SplitPattern(WideFromUtf8(pattern))) {
      const std::wstring formatted = FormatPiece(kind, piece, local);
      if (formatted.empty()) return {};
      text += formatted;
    }
    const std::string utf8 = Utf8FromWide(text);
    return utf8.size() > kLongestText ? std::string() : utf8;
  }
};

}  // namespace

const UserLocale& SystemLocale() {
  static const WindowsLocale locale;
  return locale;
}

}  // namespace korvanel::platform
