#pragma once
// Base64 (RFC 4648, standard alphabet, "=" padding, no line breaks) with buffers that are kept and
// reused across calls, so repeated encodings of similar size allocate nothing.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace korvanel {

class CBase64 {
 public:
  CBase64() = default;
  virtual ~CBase64() = default;
  CBase64(const CBase64&) = delete;
  CBase64& operator=(const CBase64&) = delete;

  // Encodes a NUL-terminated byte string; a null pointer leaves the previous result untouched.
  virtual void EncodeText(const char* text);
  // Encodes `length` bytes; the result replaces the previous one.
  virtual void EncodeBytes(const uint8_t* data, size_t length);
  // Decodes NUL-terminated Base64 text; blanks and control characters 7 to 13 are skipped.
  // Returns false (decoded data empty) for a null pointer, a character outside the alphabet or a
  // length that is not a whole number of groups.
  virtual bool DecodeText(const char* text);
  // The same for `length` characters.
  virtual bool DecodeBytes(const char* data, size_t length);

  // The Base64 text of the last encoding, NUL-terminated; "" before any.
  virtual const char* EncodedText() const;
  size_t EncodedLength() const { return encoded_length_; }
  // The bytes of the last encoding's input or of the last decoding's output.
  virtual const uint8_t* DecodedData() const { return decoded_.get(); }
  size_t DecodedLength() const { return decoded_length_; }

  // Bytes allocated for each buffer; they only grow, in steps of 4096.
  size_t EncodedCapacity() const { return encoded_capacity_; }
  size_t DecodedCapacity() const { return decoded_capacity_; }

 protected:
  // A group is up to 3 data bytes, `count` of them valid.
  struct Group {
    uint8_t bytes[3] = {};
    int count = 0;
  };

  // Make a buffer at least `size` bytes, zero-filled, with length 0.
  virtual void ReserveEncoded(size_t size);
  virtual void ReserveDecoded(size_t size);
  // Decoding input: copies the Base64 text without skipped characters.
  virtual void SetEncodedInput(const char* data, size_t length);
  // Encoding input: copies the raw bytes.
  virtual void SetDecodedInput(const uint8_t* data, size_t length);
  virtual void WriteGroup(const Group& group, char* out) const;
  // Reads the 4 characters at `in`; false when one is outside the alphabet or misplaced padding.
  virtual bool ReadGroup(const char* in, Group* group) const;
  virtual void SplitGroup(uint8_t out[4], const uint8_t in[3]) const;
  virtual void JoinGroup(uint8_t out[3], const uint8_t in[4]) const;
  virtual bool IsSkippedChar(uint8_t byte) const;

 private:
  std::unique_ptr<uint8_t[]> decoded_;
  std::unique_ptr<char[]> encoded_;
  size_t decoded_capacity_ = 0;
  size_t encoded_capacity_ = 0;
  size_t decoded_length_ = 0;
  size_t encoded_length_ = 0;
};

}  // namespace korvanel
