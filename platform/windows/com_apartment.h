#pragma once
// COM for the calling thread, for as long as the object lives.

#include <objbase.h>

namespace korvanel::platform {

class ComApartment {
 public:
  explicit ComApartment(DWORD model) : result_(CoInitializeEx(nullptr, model)) {}
  // Each successful initialisation (S_FALSE too: already initialised here) is balanced.
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

  bool ok() const { return SUCCEEDED(result_); }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace korvanel::platform
