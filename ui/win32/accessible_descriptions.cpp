#include "ui/win32/accessible_descriptions.h"

#include "platform/windows/wide_text.h"

namespace korvanel::win32 {

AccessibleDescriptions::AccessibleDescriptions(HWND dialog, const std::vector<ControlText>& descriptions) {
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                              reinterpret_cast<void**>(service_.Receive())))) {
    return;  // CoCreateInstance leaves nothing to release when it fails
  }
  for (const ControlText& description : descriptions) {
    HWND control = GetDlgItem(dialog, description.control_id);
    if (control == nullptr) continue;
    const std::wstring text = platform::WideFromUtf8(description.text);
    if (SUCCEEDED(service_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                           PROPID_ACC_DESCRIPTION, text.c_str()))) {
      described_.push_back(control);
    }
  }
}

AccessibleDescriptions::~AccessibleDescriptions() {
  if (!service_) return;
  MSAAPROPID property = PROPID_ACC_DESCRIPTION;
  for (HWND control : described_) {
    service_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &property, 1);
  }
}

}  // namespace korvanel::win32
