#include "export/base64.h"

#include <cstring>

namespace korvanel {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kPad = '=';
constexpr size_t kGrowthStep = 4096;

// Always strictly above `size`, so a buffer of this capacity keeps a terminating zero.
size_t GrownCapacity(size_t size) { return (size / kGrowthStep + 1) * kGrowthStep; }

int AlphabetValue(char c) {
  const char* found = c != '\0' ? std::strchr(kAlphabet, c) : nullptr;
  return found != nullptr ? static_cast<int>(found - kAlphabet) : -1;
}

}  // namespace

void CBase64::EncodeText(const char* text) {
  if (text == nullptr) return;
  EncodeBytes(reinterpret_cast<const uint8_t*>(text), std::strlen(text));
}

void CBase64::EncodeBytes(const uint8_t* data, size_t length) {
  SetDecodedInput(data, length);
  ReserveEncoded(length * 2);
  const uint8_t* input = decoded_.get();
  size_t offset = 0;
  while (length - offset >= 3) {
    Group group{{input[offset], input[offset + 1], input[offset + 2]}, 3};
    WriteGroup(group, encoded_.get() + encoded_length_);
    encoded_length_ += 4;
    offset += 3;
  }
  if (offset < length) {
    Group group;
    group.count = static_cast<int>(length - offset);
    std::memcpy(group.bytes, input + offset, group.count);
    WriteGroup(group, encoded_.get() + encoded_length_);
    encoded_length_ += 4;
  }
}

bool CBase64::DecodeText(const char* text) {
  if (text == nullptr) {
    ReserveDecoded(0);
    return false;
  }
  return DecodeBytes(text, std::strlen(text));
}

bool CBase64::DecodeBytes(const char* data, size_t length) {
  SetEncodedInput(data, length);
  ReserveDecoded(encoded_length_);
  if (encoded_length_ % 4 != 0) return false;
  uint8_t* out = decoded_.get();
  for (size_t offset = 0; offset < encoded_length_; offset += 4) {
    Group group;
    const bool last = offset + 4 == encoded_length_;
    if (!ReadGroup(encoded_.get() + offset, &group) || (group.count < 3 && !last)) {
      ReserveDecoded(0);
      return false;
    }
    std::memcpy(out + decoded_length_, group.bytes, group.count);
    decoded_length_ += group.count;
  }
  return true;
}

const char* CBase64::EncodedText() const { return encoded_ ? encoded_.get() : ""; }

void CBase64::ReserveEncoded(size_t size) {
  if (encoded_capacity_ < size) {
    encoded_capacity_ = GrownCapacity(size);
    encoded_ = std::make_unique<char[]>(encoded_capacity_);
  } else if (encoded_) {
    std::memset(encoded_.get(), 0, encoded_capacity_);
  }
  encoded_length_ = 0;
}

void CBase64::ReserveDecoded(size_t size) {
  if (decoded_capacity_ < size) {
    decoded_capacity_ = GrownCapacity(size);
    decoded_ = std::make_unique<uint8_t[]>(decoded_capacity_);
  } else if (decoded_) {
    std::memset(decoded_.get(), 0, decoded_capacity_);
  }
  decoded_length_ = 0;
}

void CBase64::SetEncodedInput(const char* data, size_t length) {
  ReserveEncoded(length);
  for (size_t i = 0; i < length; ++i) {
    if (!IsSkippedChar(static_cast<uint8_t>(data[i]))) encoded_[encoded_length_++] = data[i];
  }
}

void CBase64::SetDecodedInput(const uint8_t* data, size_t length) {
  ReserveDecoded(length);
  if (length > 0) std::memcpy(decoded_.get(), data, length);
  decoded_length_ = length;
}

void CBase64::WriteGroup(const Group& group, char* out) const {
  uint8_t values[4];
  SplitGroup(values, group.bytes);
  for (int i = 0; i < 4; ++i) out[i] = kAlphabet[values[i]];
  if (group.count < 3) out[3] = kPad;
  if (group.count < 2) out[2] = kPad;
}

bool CBase64::ReadGroup(const char* in, Group* group) const {
  const int pads = in[3] != kPad ? 0 : (in[2] != kPad ? 1 : 2);
  uint8_t values[4] = {};
  for (int i = 0; i < 4 - pads; ++i) {
    const int value = AlphabetValue(in[i]);
    if (value < 0) return false;
    values[i] = static_cast<uint8_t>(value);
  }
  JoinGroup(group->bytes, values);
  group->count = 3 - pads;
  return true;
}

void CBase64::SplitGroup(uint8_t out[4], const uint8_t in[3]) const {
  out[0] = in[0] >> 2;
  out[1] = ((in[0] & 3) << 4) | (in[1] >> 4);
  out[2] = ((in[1] & 15) << 2) | (in[2] >> 6);
  out[3] = in[2] & 63;
}

void CBase64::JoinGroup(uint8_t out[3], const uint8_t in[4]) const {
  out[0] = static_cast<uint8_t>((in[0] << 2) | (in[1] >> 4));
  out[1] = static_cast<uint8_t>((in[1] << 4) | (in[2] >> 2));
  out[2] = static_cast<uint8_t>((in[2] << 6) | in[3]);
}

bool CBase64::IsSkippedChar(uint8_t byte) const { return (byte >= 7 && byte <= 13) || byte == 32; }

}  // namespace korvanel
