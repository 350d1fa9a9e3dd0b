#pragma once
// What the access rules (the DACL) of a file or directory say, for tests of who may get in.

#include <windows.h>
#include <aclapi.h>

#include <string>

namespace korvanel::platform {

struct AccessRules {
  bool read = false;             // whether the rules could be read at all
  bool protected_rules = false;  // nothing is inherited from the directory above
  DWORD rule_count = 0;
};

inline AccessRules ReadAccessRules(const std::wstring& path) {
  AccessRules rules;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                            &descriptor) != ERROR_SUCCESS) {
    return rules;
  }
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  rules.read = GetSecurityDescriptorControl(descriptor, &control, &revision) && dacl != nullptr;
  rules.protected_rules = (control & SE_DACL_PROTECTED) != 0;
  rules.rule_count = dacl != nullptr ? dacl->AceCount : 0;
  LocalFree(descriptor);
  return rules;
}

}  // namespace korvanel::platform
