#include "results/finish_time.h"

#include "results/locale_date_time.h"

namespace korvanel {

std::string FinishTimeStamp(const platform::UserLocale& locale) {
  return RefreshLocaleDateTime(locale).date_time_text;
}

}  // namespace korvanel
