#pragma once
// What the file system says about an open file or directory, where it decides how far Korvanel may
// trust what it sees: the path the system gives the handle, whether the volume records owners, and
// who owns the object. The program asks the system; tests put recorded answers in its place for
// what Wine cannot show (a FAT stick or a network share that keeps no owners of its own, a RAM disk
// whose volume the mount manager does not know).

#include <windows.h>

#include <string>

namespace korvanel::platform {

class VolumeQuery {
 public:
  virtual ~VolumeQuery() = default;
  // GetFinalPathNameByHandleW in `form` (VOLUME_NAME_DOS, VOLUME_NAME_GUID or VOLUME_NAME_NT),
  // normalized; empty when the system cannot tell (volumes the mount manager does not know have no
  // DOS or GUID form).
  virtual std::wstring FinalPathName(HANDLE handle, DWORD form) = 0;
  // Whether the volume records who owns each file: FAT and exFAT report one owner (Everyone) for
  // everything, and a network share the server's own mapping, which say nothing about this user.
  // True when the volume cannot be asked: then the owner is judged.
  virtual bool KeepsOwners(HANDLE handle) = 0;
  // Whether the object's owner is the user: the user's own SID, the owner the user's token gives to
  // what it creates, or the Administrators group when the user is one of them (what an elevated run
  // of the same user leaves behind). False when the owner cannot be read.
  virtual bool OwnerIsCurrentUser(HANDLE handle) = 0;
};

// The system's answers, or those a test put in their place.
VolumeQuery& CurrentVolumeQuery();

// Puts `query` in the place of the system's answers while it lives; for tests, on one thread.
class ScopedVolumeQuery {
 public:
  explicit ScopedVolumeQuery(VolumeQuery& query);
  ~ScopedVolumeQuery();
  ScopedVolumeQuery(const ScopedVolumeQuery&) = delete;
  ScopedVolumeQuery& operator=(const ScopedVolumeQuery&) = delete;

 private:
  VolumeQuery* previous_;
};

// The system's own answers, for a test's query to pass on what it does not replace.
VolumeQuery& SystemVolumeQuery();

}  // namespace korvanel::platform
