#include "frame/msgmanager.h"

#include "frame/strutil.h"

namespace kandelo {

TMsgManager::TMsgManager(const std::string& filePath)
    : path_(Cut(filePath)), file_(std::make_unique<TBigInifile>(path_)) {}

std::string TMsgManager::GetText(std::string_view section, std::string_view key) const {
  return Cut(file_->ReadString(Cut(section), Cut(key), ""));
}

void TMsgManager::SetText(std::string_view section, std::string_view key, std::string_view text) {
  file_->WriteString(Cut(section), Cut(key), Cut(text));
}

void TMsgManager::Reload(const std::string& filePath) {
  path_ = Cut(filePath);
  file_ = std::make_unique<TBigInifile>(path_);
}

bool TMsgManager::SaveAs(const std::string& filePath) const { return file_->SaveToFile(filePath); }

}  // namespace kandelo
