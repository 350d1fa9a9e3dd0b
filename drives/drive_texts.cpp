#include "drives/drive_texts.h"

#include "lang/languages.h"

namespace korvanel {
namespace {

// What the English table says; used until a language table is loaded (tests, early start-up).
const char* EnglishDefault(int id) {
  switch (id) {
    case kDriveTextInitialize: return "... Initialize";
    case kDriveTextFree: return "Free";
    case kDriveTextOf: return "of";
    case kDriveTextNoInfo: return "No drive Info :-(";
    case kDriveTextDriver: return "Driver";
    case kDriveTextPartition: return "Partition";
    default: return nullptr;
  }
}

}  // namespace

std::string DriveText(int id) {
  const char* english = EnglishDefault(id);
  if (!english) return {};
  std::string text = GetText(id);
  return text.empty() ? english : text;
}

}  // namespace korvanel
