#pragma once
// A zero-initialised memory block aligned for unbuffered I/O; owns its memory, move-only. Its size
// is the size asked for, rounded up to a whole number of alignments.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace korvanel {

class AlignedBuffer {
 public:
  // Gives memory that the system handed out back to it.
  using Release = void (*)(void* data, size_t bytes);

  AlignedBuffer() = default;
  // An empty buffer (data() == nullptr) when the memory cannot be had. `before_first_touch` may
  // advise the system how to back the memory: advice such as large pages only works before the
  // memory is first written.
  AlignedBuffer(size_t bytes, size_t alignment, void (*before_first_touch)(void* data, size_t bytes) = nullptr) {
    // A whole number of alignments, so that the last unbuffered transfer never runs past the end.
    if (alignment == 0 || bytes > SIZE_MAX - alignment) return;
    bytes = (bytes + alignment - 1) / alignment * alignment;
    void* data = ::operator new(bytes, std::align_val_t(alignment), std::nothrow);
    if (data == nullptr) return;
    alignment_ = alignment;
    Own(data, bytes, nullptr);
    if (before_first_touch) before_first_touch(data_, bytes);
    std::memset(data_, 0, bytes);
  }
  // Takes over `bytes` of memory that the system allocated (already zeroed); `release` frees it.
  static AlignedBuffer Adopt(void* data, size_t bytes, Release release) {
    AlignedBuffer buffer;
    if (data != nullptr) buffer.Own(data, bytes, release);
    return buffer;
  }
  ~AlignedBuffer() { Free(); }
  AlignedBuffer(AlignedBuffer&& other) noexcept { Swap(other); }
  AlignedBuffer& operator=(AlignedBuffer&& other) noexcept {
    Swap(other);
    return *this;
  }
  AlignedBuffer(const AlignedBuffer&) = delete;
  AlignedBuffer& operator=(const AlignedBuffer&) = delete;

  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  void Own(void* data, size_t bytes, Release release) {
    data_ = static_cast<uint8_t*>(data);
    size_ = bytes;
    release_ = release;
  }
  void Free() {
    if (data_ == nullptr) return;
    if (release_ != nullptr) {
      release_(data_, size_);
    } else {
      ::operator delete(data_, std::align_val_t(alignment_), std::nothrow);
    }
  }
  void Swap(AlignedBuffer& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(alignment_, other.alignment_);
    std::swap(release_, other.release_);
  }

  uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t alignment_ = 0;
  Release release_ = nullptr;
};

}  // namespace korvanel
