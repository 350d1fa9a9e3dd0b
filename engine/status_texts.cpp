#include "engine/status_texts.h"

#include <cstdio>

namespace korvanel {
namespace {

const std::string& DirectionName(const EngineTextArray& texts, EngineText read, EngineText write, bool is_write) {
  return texts[is_write ? write : read];
}

std::string Counter(int pass, int pass_count) {
  return std::to_string(pass) + "/" + std::to_string(pass_count);
}

}  // namespace

std::string SequentialStatus(const EngineTextArray& texts, bool write, int pass, int pass_count) {
  const std::string& name = DirectionName(texts, kTextSequentialRead, kTextSequentialWrite, write);
  if (pass == 0) return texts[kTextInitialize] + " " + name;
  return name + " " + Counter(pass, pass_count);
}

std::string RandomStatus(const EngineTextArray& texts, bool write, int block_kb, int pass, int pass_count) {
  const std::string& name = DirectionName(texts, kTextRandomRead, kTextRandomWrite, write);
  const std::string size = std::to_string(block_kb) + "KB";
  if (pass == 0) {
    // The write direction names itself first: "Random Write ... Initialize  4KB".
    return write ? name + " " + texts[kTextInitialize] + " " + size : texts[kTextInitialize] + " " + name + " " + size;
  }
  return name + " " + size + " " + Counter(pass, pass_count);
}

std::string QueuedStatus(const EngineTextArray& texts, bool write, int block_kb, int depth, int pass,
                         int pass_count) {
  const std::string& name = DirectionName(texts, kTextRandomRead, kTextRandomWrite, write);
  if (pass == 0) return texts[kTextInitialize] + " " + name + " x " + std::to_string(depth);
  return name + " " + std::to_string(block_kb) + "KB x " + std::to_string(depth) + " " + Counter(pass, pass_count);
}

std::string IoErrorText(const std::string& text, int code, const std::string& description) {
  char head[16];
  std::snprintf(head, sizeof head, "0x%08X:", static_cast<unsigned>(code));
  return text + "\r\n" + head + description;
}

}  // namespace korvanel
