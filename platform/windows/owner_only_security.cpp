#include "platform/windows/owner_only_security.h"

#include <sddl.h>

#include <vector>

#include "platform/windows/unique_handle.h"

namespace korvanel::platform {

std::wstring CurrentUserSid() {
  HANDLE raw_token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw_token)) return {};
  UniqueHandle token(raw_token);
  DWORD bytes = 0;
  GetTokenInformation(token.get(), TokenUser, nullptr, 0, &bytes);
  if (bytes == 0) return {};
  std::vector<unsigned char> buffer(bytes);
  if (!GetTokenInformation(token.get(), TokenUser, buffer.data(), bytes, &bytes)) return {};
  wchar_t* text = nullptr;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &text)) return {};
  std::wstring sid = text;
  LocalFree(text);
  return sid;
}

OwnerOnlySecurity::OwnerOnlySecurity(Access access) {
  const std::wstring sid = CurrentUserSid();
  if (sid.empty()) return;
  // The user is the owner. For kUserOnly the rules are protected (nothing inherited from the
  // parent): full access for the user, passed on to files and subdirectories. Without rules of its
  // own (kInherited) the object takes what its directory hands down.
  std::wstring sddl = L"O:" + sid;
  if (access == Access::kUserOnly) sddl += L"D:P(A;OICI;FA;;;" + sid + L")";
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor_, nullptr)) {
    descriptor_ = nullptr;
    return;
  }
  attributes_.nLength = sizeof attributes_;
  attributes_.lpSecurityDescriptor = descriptor_;
  attributes_.bInheritHandle = FALSE;
}

OwnerOnlySecurity::~OwnerOnlySecurity() {
  if (descriptor_ != nullptr) LocalFree(descriptor_);
}

}  // namespace korvanel::platform
