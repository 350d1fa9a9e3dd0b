#pragma once
// Where the disk identity reads WMI: the system's service through COM, or recorded answers in tests.

#include <map>
#include <string>
#include <vector>

namespace korvanel {

// One object of a query's result: its properties that hold a value, as text (numbers in decimal).
// A property that is null or of a type without a text form is absent.
using WmiObject = std::map<std::string, std::string>;

struct WmiAnswer {
  std::vector<WmiObject> objects;  // in the order WMI gives them
  std::string problem;             // why the query was not answered, in words for the user; empty when it was
  bool answered() const { return problem.empty(); }
};

class WmiQuerySource {
 public:
  virtual ~WmiQuerySource() = default;
  // What a WQL query returns. A stuck WMI service is not waited for without end: the answer then
  // says so.
  virtual WmiAnswer Query(const std::string& wql) = 0;
};

}  // namespace korvanel
