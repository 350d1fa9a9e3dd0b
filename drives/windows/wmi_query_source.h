#pragma once
// Where the disk identity reads WMI: the system's service through COM, or recorded answers in tests.

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace korvanel::platform {

// One object of a query's result: its properties that hold a value, as text (numbers in decimal).
// A property that is null or of a type without a text form is absent.
using WmiObject = std::map<std::string, std::string>;

class WmiQuerySource {
 public:
  virtual ~WmiQuerySource() = default;
  // The objects a WQL query returns, in the order WMI gives them; nullopt when the query fails.
  virtual std::optional<std::vector<WmiObject>> Query(const std::string& wql) = 0;
};

}  // namespace korvanel::platform
