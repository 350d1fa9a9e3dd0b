#include "platform/windows/volume_query.h"

#include <aclapi.h>

#include <atomic>
#include <vector>

#include "platform/windows/unique_handle.h"
#include "platform/windows/wide_text.h"

namespace korvanel::platform {
namespace {

// The token's SID of the given kind (TokenUser, TokenOwner), in `buffer`; null when unreadable.
PSID TokenSid(HANDLE token, TOKEN_INFORMATION_CLASS kind, std::vector<unsigned char>& buffer) {
  DWORD bytes = 0;
  GetTokenInformation(token, kind, nullptr, 0, &bytes);
  if (bytes == 0) return nullptr;
  buffer.resize(bytes);
  if (!GetTokenInformation(token, kind, buffer.data(), bytes, &bytes)) return nullptr;
  return kind == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid
                           : reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner;
}

// Whether the token holds the Administrators group, enabled (elevated) or for deny only (the
// filtered token of an administrator who runs the program normally).
bool HoldsAdministrators(HANDLE token, PSID administrators) {
  DWORD bytes = 0;
  GetTokenInformation(token, TokenGroups, nullptr, 0, &bytes);
  if (bytes == 0) return false;
  std::vector<unsigned char> buffer(bytes);
  if (!GetTokenInformation(token, TokenGroups, buffer.data(), bytes, &bytes)) return false;
  const auto* groups = reinterpret_cast<const TOKEN_GROUPS*>(buffer.data());
  for (DWORD i = 0; i < groups->GroupCount; ++i) {
    if (EqualSid(groups->Groups[i].Sid, administrators)) return true;
  }
  return false;
}

bool IsRemote(HANDLE handle) {
  // Only files on a network share have a remote protocol to tell.
  FILE_REMOTE_PROTOCOL_INFO protocol{};
  return GetFileInformationByHandleEx(handle, FileRemoteProtocolInfo, &protocol, sizeof protocol) != 0;
}

class SystemAnswers : public VolumeQuery {
 public:
  std::wstring FinalPathName(HANDLE handle, DWORD form) override {
    return GrowingWideText([&](wchar_t* buffer, DWORD capacity) {
      return GetFinalPathNameByHandleW(handle, buffer, capacity, FILE_NAME_NORMALIZED | form);
    });
  }

  bool KeepsOwners(HANDLE handle) override {
    DWORD flags = 0;
    if (!GetVolumeInformationByHandleW(handle, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0)) return true;
    return (flags & FILE_PERSISTENT_ACLS) != 0 && !IsRemote(handle);
  }

  bool OwnerIsCurrentUser(HANDLE handle) override {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS) {
      return false;
    }
    HANDLE raw_token = nullptr;
    bool ours = false;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw_token)) {
      UniqueHandle token(raw_token);
      std::vector<unsigned char> user_buffer, owner_buffer;
      const PSID user = TokenSid(token.get(), TokenUser, user_buffer);
      const PSID default_owner = TokenSid(token.get(), TokenOwner, owner_buffer);
      ours = (user != nullptr && EqualSid(owner, user)) || (default_owner != nullptr && EqualSid(owner, default_owner));
      // Only an administrator can give an object to the Administrators group: one that the group
      // owns was made by this user elevated, or by another administrator, who may do anything anyway.
      SID_IDENTIFIER_AUTHORITY nt_authority = SECURITY_NT_AUTHORITY;
      PSID administrators = nullptr;
      if (!ours && AllocateAndInitializeSid(&nt_authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                            0, 0, 0, 0, 0, &administrators)) {
        ours = EqualSid(owner, administrators) && HoldsAdministrators(token.get(), administrators);
        FreeSid(administrators);
      }
    }
    LocalFree(descriptor);
    return ours;
  }
};

std::atomic<VolumeQuery*> g_current{nullptr};

}  // namespace

VolumeQuery& SystemVolumeQuery() {
  static SystemAnswers answers;
  return answers;
}

VolumeQuery& CurrentVolumeQuery() {
  VolumeQuery* current = g_current.load();
  return current != nullptr ? *current : SystemVolumeQuery();
}

ScopedVolumeQuery::ScopedVolumeQuery(VolumeQuery& query) : previous_(g_current.exchange(&query)) {}

ScopedVolumeQuery::~ScopedVolumeQuery() { g_current.store(previous_); }

}  // namespace korvanel::platform
