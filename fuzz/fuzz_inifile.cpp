// The sectioned text file on arbitrary bytes: as a language file (1252) or
// as the settings file (UTF-8 with old 1252 files read as such), chosen by the
// build (KANDELO_FUZZ_UTF8). What it writes must read back to the same content.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "frame/inifile.h"
#include "frame/msgmanager.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kandelo;
  static const bool quiet = (fuzz::Quiet(), true);
  (void)quiet;
  const std::string path = fuzz::InputFile(data, size, "input.ini");
  TBigInifile file(path, KANDELO_FUZZ_UTF8);
  (void)file.ReadString("GLOBAL", "LUMDIR1", "");
  (void)file.ReadInteger("LANGUAGES", "DBLANG", 1);
  (void)file.ReadBool("GRAPHICS", "LOR", true);
  const std::string text = file.GetTextStr();
  if (!file.SaveToFile(path + ".out")) return 0;
  // A key that starts with "[" reads back as a section header: the format
  // cannot say otherwise, so such files are left out of the comparison.
  bool bracketKey = false;
  for (int i = 0; i < file.Count(); ++i)
    for (int k = 0; k < file.GetSection(i).Count(); ++k)
      bracketKey = bracketKey || file.GetSection(i).GetKey(k).rfind('[', 0) == 0;
  TBigInifile back(path + ".out", KANDELO_FUZZ_UTF8);
  if (!bracketKey && back.GetTextStr() != text) std::abort();
  if (!KANDELO_FUZZ_UTF8) {
    TMsgManager msgs(path);
    (void)msgs.GetText("DEFAULT MESSAGES", "DM_NOTFOUND");
  }
  return 0;
}
