#include "engine/engine_texts.h"

namespace korvanel {

const EngineTextArray& DefaultEngineTexts() {
  static const EngineTextArray defaults = {
      "... Initialize ", "Sequential Read", "Sequential Write", "Random Read", "Random Write",
      "Disk-Full",       "Create-File Error", "Write Error",    "Read Error",  "Memory Error",
  };
  return defaults;
}

EngineTexts::EngineTexts() : texts_(std::make_shared<const EngineTextArray>(DefaultEngineTexts())) {}

void EngineTexts::Replace(EngineTextArray texts) {
  texts_.store(std::make_shared<const EngineTextArray>(std::move(texts)));
}

std::shared_ptr<const EngineTextArray> EngineTexts::Snapshot() const { return texts_.load(); }

}  // namespace korvanel
