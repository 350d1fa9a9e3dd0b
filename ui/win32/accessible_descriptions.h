#pragma once
// What each value field means, for screen readers: Windows reads a field's text ("2349.58 MB/s"),
// and then this description ("Sequential read"). Set through the accessibility annotation service,
// for as long as the object lives; without it (old systems) the fields keep their texts only.

#include <windows.h>
#include <oleacc.h>

#include <vector>

#include "platform/windows/com_owners.h"
#include "results/value_texts.h"

namespace korvanel::win32 {

class AccessibleDescriptions {
 public:
  // Describes each control of `dialog` named in `descriptions`. COM must be initialised here.
  AccessibleDescriptions(HWND dialog, const std::vector<ControlText>& descriptions);
  ~AccessibleDescriptions();
  AccessibleDescriptions(const AccessibleDescriptions&) = delete;
  AccessibleDescriptions& operator=(const AccessibleDescriptions&) = delete;

 private:
  platform::ComPtr<IAccPropServices> service_;
  std::vector<HWND> described_;
};

}  // namespace korvanel::win32
