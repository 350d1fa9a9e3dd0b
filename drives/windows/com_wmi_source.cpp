#include "drives/windows/com_wmi_source.h"

#include <windows.h>
#include <wbemidl.h>

#include "platform/windows/com_apartment.h"
#include "platform/windows/com_owners.h"
#include "platform/windows/wide_text.h"

namespace korvanel {
namespace {

// How long one object of a query's result is waited for. A healthy WMI service answers in well under
// a second; a stuck one would hold the drive list, and a command-line run, for good.
constexpr long kWmiWaitMs = 10000;

// Text for the property types that Win32_DiskDrive and its associations use.
bool VariantText(const VARIANT& value, std::string* text) {
  switch (value.vt) {
    case VT_BSTR: *text = platform::Utf8FromWide(value.bstrVal ? value.bstrVal : L""); return true;
    case VT_I1: *text = std::to_string(value.cVal); return true;
    case VT_UI1: *text = std::to_string(value.bVal); return true;
    case VT_I2: *text = std::to_string(value.iVal); return true;
    case VT_UI2: *text = std::to_string(value.uiVal); return true;
    case VT_I4: case VT_INT: *text = std::to_string(value.lVal); return true;
    case VT_UI4: case VT_UINT: *text = std::to_string(value.ulVal); return true;
    case VT_I8: *text = std::to_string(value.llVal); return true;
    case VT_UI8: *text = std::to_string(value.ullVal); return true;
    case VT_BOOL: *text = value.boolVal ? "1" : "0"; return true;
    default: return false;  // null, arrays, objects
  }
}

WmiObject ReadProperties(IWbemClassObject* object) {
  WmiObject properties;
  if (FAILED(object->BeginEnumeration(WBEM_FLAG_NONSYSTEM_ONLY))) return properties;
  for (;;) {
    BSTR raw_name = nullptr;
    platform::ComVariant value;
    if (object->Next(0, &raw_name, value.Receive(), nullptr, nullptr) != WBEM_S_NO_ERROR) break;
    const std::string name = platform::Utf8FromWide(raw_name ? raw_name : L"");
    SysFreeString(raw_name);
    std::string text;
    if (VariantText(value.get(), &text)) properties[name] = text;
  }
  object->EndEnumeration();
  return properties;
}

class ComWmiSource : public WmiQuerySource {
 public:
  ComWmiSource(std::unique_ptr<platform::ComApartment> com, platform::ComPtr<IWbemLocator> locator,
               platform::ComPtr<IWbemServices> services)
      : com_(std::move(com)), locator_(std::move(locator)), services_(std::move(services)) {}
  ~ComWmiSource() override {
    // Released before COM goes down.
    services_.Reset();
    locator_.Reset();
  }

  WmiAnswer Query(const std::string& wql) override {
    const platform::ComString language(L"WQL");
    const platform::ComString query(platform::WideFromUtf8(wql).c_str());
    platform::ComPtr<IEnumWbemClassObject> results;
    WmiAnswer answer;
    if (FAILED(services_->ExecQuery(language.get(), query.get(),
                                    WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr,
                                    results.Receive()))) {
      answer.problem = "WMI refused the query";
      return answer;
    }
    for (;;) {
      platform::ComPtr<IWbemClassObject> object;
      ULONG returned = 0;
      const HRESULT next = results->Next(kWmiWaitMs, 1, object.Receive(), &returned);
      if (next == WBEM_S_TIMEDOUT) {
        answer.problem = "WMI did not answer within " + std::to_string(kWmiWaitMs / 1000) + " s";
        return answer;
      }
      if (next != WBEM_S_NO_ERROR || returned == 0) break;
      answer.objects.push_back(ReadProperties(object.get()));
    }
    return answer;
  }

 private:
  std::unique_ptr<platform::ComApartment> com_;
  platform::ComPtr<IWbemLocator> locator_;
  platform::ComPtr<IWbemServices> services_;
};

}  // namespace

std::unique_ptr<WmiQuerySource> ConnectWmi() {
  auto com = std::make_unique<platform::ComApartment>(COINIT_MULTITHREADED);
  if (!com->ok()) return nullptr;
  // Fails harmlessly when the process has set its security already (a second refresh).
  CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, RPC_C_IMP_LEVEL_IMPERSONATE,
                       nullptr, EOAC_NONE, nullptr);
  platform::ComPtr<IWbemLocator> locator;
  if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                              reinterpret_cast<void**>(locator.Receive())))) {
    return nullptr;
  }
  const platform::ComString name_space(L"ROOT\\CIMV2");
  platform::ComPtr<IWbemServices> services;
  if (FAILED(locator->ConnectServer(name_space.get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr,
                                    services.Receive()))) {
    return nullptr;
  }
  if (FAILED(CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                               RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE))) {
    return nullptr;
  }
  return std::make_unique<ComWmiSource>(std::move(com), std::move(locator), std::move(services));
}

}  // namespace korvanel
