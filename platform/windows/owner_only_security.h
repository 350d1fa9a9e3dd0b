#pragma once
// Security attributes that let only the current user in: for the directories Korvanel creates, as
// mode 0700 does on Linux.

#include <windows.h>

#include <string>

namespace korvanel::platform {

class OwnerOnlySecurity {
 public:
  OwnerOnlySecurity();
  ~OwnerOnlySecurity();
  OwnerOnlySecurity(const OwnerOnlySecurity&) = delete;
  OwnerOnlySecurity& operator=(const OwnerOnlySecurity&) = delete;

  // Null when the user's identity could not be read: the object then gets the inherited rights.
  SECURITY_ATTRIBUTES* get() { return descriptor_ != nullptr ? &attributes_ : nullptr; }

 private:
  PSECURITY_DESCRIPTOR descriptor_ = nullptr;
  SECURITY_ATTRIBUTES attributes_{};
};

// The current user's SID as text ("S-1-5-21-..."); empty when it cannot be read.
std::wstring CurrentUserSid();

}  // namespace korvanel::platform
