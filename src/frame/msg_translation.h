// Translation of a message file: every key of the source language's file
// beside its text in the destination language's file, for the user to edit.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kandelo {

struct TMsgTransRow {
  std::string section;
  std::string key;
  std::string source;       // the text in the source file
  std::string destination;  // the text in the destination file (edited)
};
using TMsgTransList = std::vector<TMsgTransRow>;

// The rows of every key of `sourceFile`, in its section and key order, with the
// destination's text (empty where the destination lacks the key). A missing
// destination is first created as a copy of the source. nullopt when the
// source does not exist, or when the missing destination cannot be created.
std::optional<TMsgTransList> LoadMessageTranslation(const std::string& sourceFile, const std::string& destFile);

// Sets every row's text in the destination file and writes it in one atomic
// replace; keys the source lacks stay as they are. False when the file cannot
// be written (the old file is then unchanged).
bool StoreMessageTranslation(const TMsgTransList& rows, const std::string& destFile);

}  // namespace kandelo
