#include "frame/msg_translation.h"

#include "frame/msgmanager.h"
#include "frame/strutil.h"
#include "platform/fileio.h"

namespace kandelo {

namespace pf = kandelo::platform;

std::optional<TMsgTransList> LoadMessageTranslation(const std::string& sourceFile, const std::string& destFile) {
  if (!pf::fs().exists(sourceFile)) return std::nullopt;
  const TMsgManager source(sourceFile);
  if (!pf::fs().exists(destFile) && !source.SaveAs(destFile)) return std::nullopt;
  const TMsgManager dest(destFile);
  TMsgTransList rows;
  for (int s = 0; s < source.SectionCount(); ++s) {
    const tsection& section = source.GetSection(s);
    for (int k = 0; k < section.Count(); ++k) {
      const std::string& key = section.GetKey(k);
      rows.push_back({section.Name(), key, Cut(section.GetValue(k)), dest.GetText(section.Name(), key)});
    }
  }
  return rows;
}

bool StoreMessageTranslation(const TMsgTransList& rows, const std::string& destFile) {
  // The write guard of the settings files passes over read-only files without
  // a word; a translation that was not stored must be told.
  if (const auto attrs = pf::fs().attributes(destFile); attrs && (*attrs & pf::faReadOnly)) return false;
  TMsgManager dest(destFile);
  for (const TMsgTransRow& row : rows) dest.SetText(row.section, row.key, Cut(row.destination));
  return dest.SaveAs(destFile);
}

}  // namespace kandelo
