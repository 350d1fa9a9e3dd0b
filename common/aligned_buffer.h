#pragma once
// A zero-initialised memory block aligned for unbuffered I/O; owns its memory, move-only. Its size
// is the size asked for, rounded up to a whole number of alignments.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace korvanel {

class AlignedBuffer {
 public:
  AlignedBuffer() = default;
  // An empty buffer (data() == nullptr) when the memory cannot be had. `before_first_touch` may
  // advise the system how to back the memory: advice such as large pages only works before the
  // memory is first written.
  AlignedBuffer(size_t bytes, size_t alignment, void (*before_first_touch)(void* data, size_t bytes) = nullptr) {
    // aligned_alloc wants a whole number of alignments; anything else is undefined.
    if (alignment == 0 || bytes > SIZE_MAX - alignment) return;
    bytes = (bytes + alignment - 1) / alignment * alignment;
    data_ = static_cast<uint8_t*>(std::aligned_alloc(alignment, bytes));
    if (data_) {
      size_ = bytes;
      if (before_first_touch) before_first_touch(data_, bytes);
      std::memset(data_, 0, bytes);
    }
  }
  ~AlignedBuffer() { std::free(data_); }
  AlignedBuffer(AlignedBuffer&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
  AlignedBuffer& operator=(AlignedBuffer&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    return *this;
  }
  AlignedBuffer(const AlignedBuffer&) = delete;
  AlignedBuffer& operator=(const AlignedBuffer&) = delete;

  uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }

 private:
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace korvanel
