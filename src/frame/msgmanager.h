// Message catalogue over an "ORVMSG" language file.
#pragma once

#include <memory>
#include <string>

#include "frame/inifile.h"

namespace kandelo {

class TMsgManager {
 public:
  explicit TMsgManager(const std::string& filePath);
  // Empty when the section or key is missing.
  std::string GetText(std::string_view section, std::string_view key) const;
  void SetText(std::string_view section, std::string_view key, std::string_view text);
  void Reload(const std::string& filePath);
  bool SaveAs(const std::string& filePath) const;
  int SectionCount() const { return file_->Count(); }
  const tsection& GetSection(int index) const { return file_->GetSection(index); }
  const std::string& FilePath() const { return path_; }

 private:
  std::string path_;
  std::unique_ptr<TBigInifile> file_;
};

}  // namespace kandelo
