#pragma once
// Security attributes for what Korvanel creates, naming the user who runs it as the owner. Without
// an owner of its own, a new object gets the token's default owner, which for an elevated run is the
// Administrators group: a later normal run would then find its own files belonging to someone else.

#include <windows.h>

#include <string>

namespace korvanel::platform {

class OwnerOnlySecurity {
 public:
  enum class Access {
    kUserOnly,   // protected rules: full access for the user alone, passed on to what lies inside (mode 0700)
    kInherited,  // the rules the directory hands down, as for any new file
  };
  explicit OwnerOnlySecurity(Access access = Access::kUserOnly);
  ~OwnerOnlySecurity();
  OwnerOnlySecurity(const OwnerOnlySecurity&) = delete;
  OwnerOnlySecurity& operator=(const OwnerOnlySecurity&) = delete;

  // Null when the user's identity could not be read: the object then gets the system's defaults.
  SECURITY_ATTRIBUTES* get() { return descriptor_ != nullptr ? &attributes_ : nullptr; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_{};
};

// The current user's SID as text ("S-1-5-21-..."); empty when it cannot be read.
std::wstring CurrentUserSid();

}  // namespace korvanel::platform
