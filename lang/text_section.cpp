#include "lang/text_section.h"

#include "common/leading_number.h"

namespace korvanel {

namespace {

// Calls store(id, text) for every line that holds "=", in order.
template <typename Store>
void ForEachIdLine(std::string_view section, Store store) {
  std::size_t start = 0;
  while (start < section.size()) {
    std::size_t end = section.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? section.size() : end + 1;
    if (end == std::string_view::npos) end = section.size();
    std::string_view line = section.substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos) store(LeadingNumber(line), line.substr(equals + 1));
    start = next;
  }
}

std::string Unescaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'r' || text[i + 1] == 'n')) {
      out.push_back(text[++i] == 'r' ? '\r' : '\n');
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace

long LeadingNumber(std::string_view line) { return static_cast<long>(LeadingDecimal(line)); }

void ParseTextSection(std::string_view section, TextTable& table) {
  table.fill(std::nullopt);
  ForEachIdLine(section, [&](long id, std::string_view text) {
    if (id >= 0 && id < static_cast<long>(table.size())) table[id] = std::string(text);
  });
}

void ParseSpecialSection(std::string_view section, SpecialTextTable& table) {
  table.fill(std::nullopt);
  ForEachIdLine(section, [&](long id, std::string_view text) {
    if (id >= 0 && id < static_cast<long>(table.size())) table[id] = Unescaped(text);
  });
}

}  // namespace korvanel
