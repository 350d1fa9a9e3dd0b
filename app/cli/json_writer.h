#pragma once
// Writes JSON text the way korvanel-cli prints it: two-space indentation and one member per line,
// so that line-oriented scripts (grep '"SR":') keep working beside real JSON parsers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvanel::cli {

class JsonWriter {
 public:
  // Containers nest; inside an object every value follows a Key.
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view name);

  // Valid UTF-8 kept, each invalid byte as U+FFFD; quotes, backslashes and controls escaped.
  JsonWriter& String(std::string_view text);
  JsonWriter& Integer(int64_t value);
  // A fixed-point number with `decimals` fraction digits, always with "." whatever the locale;
  // null for a value that is not finite.
  JsonWriter& Number(double value, int decimals);
  JsonWriter& Number(std::optional<double> value, int decimals);  // null when absent
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  // The finished text, ending in a line break.
  std::string Text() const { return out_ + "\n"; }

 private:
  JsonWriter& Open(char bracket);
  JsonWriter& Close(char bracket);
  // Starts a value: a separator and a new line where it stands in a container.
  void BeforeValue();

  std::string out_;
  std::vector<bool> first_in_container_;
  bool after_key_ = false;
};

// `text` as a JSON string literal.
std::string JsonString(std::string_view text);

}  // namespace korvanel::cli
