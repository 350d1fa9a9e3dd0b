#include "app/cli/json_writer.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "common/text_encoding.h"

namespace korvanel::cli {
namespace {

void AppendEscaped(char32_t code, std::string* out) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(code));
  *out += escaped;
}

}  // namespace

// Names come from file systems and devices as bytes: what is not UTF-8 becomes U+FFFD, one a byte,
// so that every JSON parser reads the text.
std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (size_t at = 0; at < text.size();) {
    const size_t start = at;
    const std::optional<char32_t> code = NextUtf8(text, at);
    if (!code) {
      AppendUtf8(out, 0xFFFD);
      ++at;
    } else if (*code == '"' || *code == '\\') {
      out += '\\';
      out += static_cast<char>(*code);
    } else if (*code < 0x20 || (*code >= 0x7F && *code < 0xA0)) {
      AppendEscaped(*code, &out);  // C0, DEL and the C1 controls
    } else {
      out.append(text.substr(start, at - start));
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
