#pragma once
// The ten texts the engine uses for its status lines and error boxes. The panel may replace them with
// another language's texts while a run reads them, so readers take a snapshot.

#include <array>
#include <atomic>
#include <memory>
#include <string>

namespace korvanel {

enum EngineText {
  kTextInitialize = 0,
  kTextSequentialRead = 1,
  kTextSequentialWrite = 2,
  kTextRandomRead = 3,
  kTextRandomWrite = 4,
  kTextDiskFull = 5,
  kTextCreateFileError = 6,
  kTextWriteError = 7,
  kTextReadError = 8,
  kTextMemoryError = 9,
};

using EngineTextArray = std::array<std::string, 10>;

// The built-in English defaults.
const EngineTextArray& DefaultEngineTexts();

class EngineTexts {
 public:
  EngineTexts();
  // Safe to call while a run reads the texts.
  void Replace(EngineTextArray texts);
  // A consistent copy of all ten, unaffected by later replacements.
  std::shared_ptr<const EngineTextArray> Snapshot() const;

 private:
  std::atomic<std::shared_ptr<const EngineTextArray>> texts_;
};

}  // namespace korvanel
