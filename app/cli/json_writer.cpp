#include "app/cli/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace korvanel::cli {

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

void JsonWriter::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (first_in_container_.empty()) return;
  if (!first_in_container_.back()) out_ += ',';
  first_in_container_.back() = false;
  out_ += '\n';
  out_.append(2 * first_in_container_.size(), ' ');
}

JsonWriter& JsonWriter::Open(char bracket) {
  BeforeValue();
  out_ += bracket;
  first_in_container_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
  const bool empty = first_in_container_.back();
  first_in_container_.pop_back();
  if (!empty) {
    out_ += '\n';
    out_.append(2 * first_in_container_.size(), ' ');
  }
  out_ += bracket;
  return *this;
}

JsonWriter& JsonWriter::BeginObject() { return Open('{'); }
JsonWriter& JsonWriter::EndObject() { return Close('}'); }
JsonWriter& JsonWriter::BeginArray() { return Open('['); }
JsonWriter& JsonWriter::EndArray() { return Close(']'); }

JsonWriter& JsonWriter::Key(std::string_view name) {
  BeforeValue();
  out_ += JsonString(name) + ": ";
  after_key_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
  BeforeValue();
  out_ += JsonString(text);
  return *this;
}

JsonWriter& JsonWriter::Integer(int64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Number(double value, int decimals) {
  if (!std::isfinite(value)) return Null();
  BeforeValue();
  // to_chars ignores the C locale, so a decimal comma can never slip into the JSON.
  char text[400];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  out_.append(text, result.ptr);
  return *this;
}

JsonWriter& JsonWriter::Number(std::optional<double> value, int decimals) {
  return value ? Number(*value, decimals) : Null();
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  out_ += "null";
  return *this;
}

}  // namespace korvanel::cli
