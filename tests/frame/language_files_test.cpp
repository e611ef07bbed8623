// The shipped language files (resources/language, written by
// tools/make_language_files.py): the same keys in every language, clean
// Windows-1252 text with CR LF, and every key the sources look up.
// GCC 12 reports a false "maybe uninitialized" inside the std::regex compiler at -O1.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "frame/inifile.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

namespace pf = kandelo::platform;

const std::vector<std::string> kLanguages = {"GER", "ENG", "FRA"};
const std::vector<std::string> kKinds = {"MSGTXT", "ORVMSG"};

// Sections of each kind that the program looks up by literal name.
const std::vector<std::string> kMsgTxtSections = {"GeneralDialogs", "GeneralButtons", "GeneralButtonsHint"};
const std::vector<std::string> kOrvMsgSections = {"DEFAULT MESSAGES", "CONFMSG", "OUTTXT", "OUTSEL", "FirstPage",
                                                  "Files", "LTABHD", "LTABKEYS", "ERRORS"};

std::string SourceFile(const std::string& kind, const std::string& lang) {
  return std::string(KANDELO_SOURCE_DIR) + "/resources/language/" + kind + "." + lang;
}

std::unique_ptr<TBigInifile> FromText(const std::string& text) {
  auto file = std::make_unique<TBigInifile>(std::string());
  file->SetTextStr(text);
  return file;
}

// The three languages of one kind, loaded from the source tree or from the
// copies embedded into the program.
std::map<std::string, std::unique_ptr<TBigInifile>> LoadKind(const std::string& kind, bool embedded) {
  std::map<std::string, std::unique_ptr<TBigInifile>> files;
  for (const auto& lang : kLanguages) {
    if (embedded) {
      auto data = pf::EmbeddedFile("language/" + kind + "." + lang);
      files[lang] = FromText(data ? std::string(*data) : std::string());
    } else {
      files[lang] = std::make_unique<TBigInifile>(SourceFile(kind, lang));
    }
  }
  return files;
}

bool HasKey(const TBigInifile& file, const std::string& section, const std::string& key) {
  const tsection* s = file.FindSection(section);
  return s && s->Find(key) >= 0;
}

bool HasKeyInAnySection(const TBigInifile& file, const std::string& key) {
  for (int i = 0; i < file.Count(); ++i)
    if (file.GetSection(i).Find(key) >= 0) return true;
  return false;
}

// --- 1. Every key in every language ------------------------------------------

void ExpectSameKeysInAllLanguages(const std::string& kind, bool embedded) {
  const char* origin = embedded ? " (embedded)" : " (source tree)";
  auto files = LoadKind(kind, embedded);
  // The union of all languages, case-insensitive as the program looks keys up.
  std::map<std::pair<std::string, std::string>, std::pair<std::string, std::string>> all;
  for (const auto& [lang, file] : files) {
    EXPECT_GT(file->Count(), 0) << kind << "." << lang << origin << " is missing or empty";
    for (int i = 0; i < file->Count(); ++i) {
      const tsection& s = file->GetSection(i);
      for (int k = 0; k < s.Count(); ++k)
        all[{pf::upper1252(s.Name()), pf::upper1252(s.GetKey(k))}] = {s.Name(), s.GetKey(k)};
    }
  }
  for (const auto& [lang, file] : files)
    for (const auto& [id, shown] : all) {
      const auto& [section, key] = shown;
      if (!HasKey(*file, section, key))
        ADD_FAILURE() << kind << "." << lang << origin << " lacks [" << section << "] " << key;
      else if (file->ReadString(section, key, "").empty())
        ADD_FAILURE() << kind << "." << lang << origin << " has an empty text for [" << section << "] " << key;
    }
}

TEST(LanguageFiles, EveryKeyExistsInAllThreeLanguages) {
  for (const auto& kind : kKinds) {
    ExpectSameKeysInAllLanguages(kind, false);
    ExpectSameKeysInAllLanguages(kind, true);
  }
}

TEST(LanguageFiles, EmbeddedCopiesEqualTheSourceTree) {
  for (const auto& kind : kKinds)
    for (const auto& lang : kLanguages) {
      auto data = pf::EmbeddedFile("language/" + kind + "." + lang);
      ASSERT_TRUE(data) << kind << "." << lang << " is not embedded";
      EXPECT_EQ(std::string(*data), test::readFile(SourceFile(kind, lang))) << kind << "." << lang;
    }
}

TEST(LanguageFiles, HoldTheSectionsTheProgramReads) {
  for (const auto& lang : kLanguages) {
    TBigInifile msg(SourceFile("MSGTXT", lang));
    for (const auto& s : kMsgTxtSections) EXPECT_TRUE(msg.SectionExists(s)) << "MSGTXT." << lang << " [" << s << "]";
    TBigInifile orv(SourceFile("ORVMSG", lang));
    for (const auto& s : kOrvMsgSections) EXPECT_TRUE(orv.SectionExists(s)) << "ORVMSG." << lang << " [" << s << "]";
  }
}

// --- 3. Windows-1252 text with CR LF that loads without losing a line ----------

TEST(LanguageFiles, AreWindows1252WithCrLfAndLoadWithoutLoss) {
  for (const auto& kind : kKinds)
    for (const auto& lang : kLanguages) {
      const std::string name = kind + "." + lang;
      const std::string bytes = test::readFile(SourceFile(kind, lang));
      ASSERT_FALSE(bytes.empty()) << name;
      EXPECT_EQ(bytes[0], '[') << name << " must start with a section header (no byte-order mark)";
      ASSERT_GE(bytes.size(), 2u);
      EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name << " must end with CR LF";

      for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto c = static_cast<unsigned char>(bytes[i]);
        auto next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if (c == '\r') {
          EXPECT_EQ(next, '\n') << name << ": CR without LF at byte " << i;
        } else if (c == '\n') {
          EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << ": LF without CR at byte " << i;
        } else {
          EXPECT_GE(c, 0x20) << name << ": control character at byte " << i;
          // Bytes that Windows-1252 leaves undefined.
          EXPECT_TRUE(c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D)
              << name << ": byte " << int(c) << " is not a 1252 character (at " << i << ")";
          // A UTF-8 lead byte followed by a continuation byte: the generator
          // wrote UTF-8 instead of 1252 ("Ã¤" instead of "ä").
          EXPECT_FALSE(c >= 0xC2 && c <= 0xF4 && next >= 0x80 && next <= 0xBF)
              << name << ": UTF-8 sequence at byte " << i;
        }
      }

      // Every line is a header or key=value, no longer than the file format
      // keeps, and each is found again after loading with its exact text.
      TBigInifile file(SourceFile(kind, lang));
      std::string section;
      int headers = 0, entries = 0;
      for (std::size_t pos = 0; pos < bytes.size();) {
        std::size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) end = bytes.size();
        const std::string line = bytes.substr(pos, end - pos);
        pos = end + 2;
        EXPECT_LE(line.size(), 255u) << name << ": line too long: " << line;
        if (line.size() > 2 && line.front() == '[' && line.back() == ']') {
          section = line.substr(1, line.size() - 2);
          ++headers;
          continue;
        }
        const auto eq = line.find('=');
        if (eq == std::string::npos || eq == 0 || section.empty()) {
          ADD_FAILURE() << name << ": line the file format drops: \"" << line << "\"";
          continue;
        }
        ++entries;
        EXPECT_EQ(file.ReadString(section, line.substr(0, eq), "\x01 missing"), line.substr(eq + 1))
            << name << " [" << section << "] " << line.substr(0, eq);
      }
      // Equal counts: no section or key was given twice (a repeat replaces).
      EXPECT_EQ(headers, file.Count()) << name;
      int loaded = 0;
      for (int i = 0; i < file.Count(); ++i) loaded += file.GetSection(i).Count();
      EXPECT_EQ(entries, loaded) << name;
    }

  // The umlaut arrives as the single 1252 byte and reads back as "ä".
  TBigInifile ger(SourceFile("ORVMSG", "GER"));
  EXPECT_EQ(ger.ReadString("OUTTXT", "LVK_HD", ""), "Lichtst\xE4rkeverteilung");
  EXPECT_EQ(pf::cp1252ToUtf8(ger.ReadString("OUTTXT", "LVK_HD", "")), "Lichtstärkeverteilung");
}

// --- 2. Lookups in the sources -------------------------------------------------

struct Lookup {
  std::string kind;     // "MSGTXT" or "ORVMSG"
  std::string section;  // empty: the key may be in any section of the kind
  std::string key;
  std::string where;    // source file, for the failure message
};

// Drops // and /* */ comments so that prose in comments is not taken for a lookup.
std::string StripComments(const std::string& src) {
  std::string out;
  out.reserve(src.size());
  for (std::size_t i = 0; i < src.size(); ++i) {
    char c = src[i];
    if (c == '"' || c == '\'') {
      out += c;
      for (++i; i < src.size() && src[i] != c; ++i) {
        out += src[i];
        if (src[i] == '\\' && i + 1 < src.size()) out += src[++i];
      }
      if (i < src.size()) out += src[i];
    } else if (c == '/' && i + 1 < src.size() && src[i + 1] == '/') {
      while (i < src.size() && src[i] != '\n') ++i;
      out += '\n';
    } else if (c == '/' && i + 1 < src.size() && src[i + 1] == '*') {
      std::size_t end = src.find("*/", i + 2);
      i = end == std::string::npos ? src.size() : end + 1;
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

bool IsOneOf(const std::string& name, const std::vector<std::string>& list) {
  for (const auto& s : list)
    if (pf::equalTextCI(name, s)) return true;
  return false;
}

// Lookups whose section and key are string literals; whitespace and line
// breaks between the arguments are allowed. Keys put together at run time
// ("UTF_R" + number) cannot be seen here: kBuiltKeys below covers them.
std::vector<Lookup> ScanSource(const std::string& text, const std::string& where) {
  static const std::string lit = R"re("((?:[^"\\\n]|\\.)*)")re";
  // TMsgManager::GetText("SECTION", "KEY"): always the message file.
  static const std::regex getText(R"re(\bGetText\s*\(\s*)re" + lit + R"re(\s*,\s*)re" + lit + R"re(\s*\))re");
  // GetText(sectionConstant, "KEY"): the key must be in some section.
  static const std::regex getTextKeyOnly(R"re(\bGetText\s*\(\s*[A-Za-z_][\w:.>-]*\s*,\s*)re" + lit + R"re(\s*\))re");
  // Any other call whose first two arguments are literals, such as
  // TBigInifile::ReadString("SECTION", "KEY", default) or a window's own
  // Msg("SECTION", "KEY") wrapper, counts when the section is one of the
  // language files' (settings sections such as "GLOBAL" are not).
  static const std::regex literalPair(R"re(\b(\w+)\s*\(\s*)re" + lit + R"re(\s*,\s*)re" + lit + R"re(\s*[,)])re");

  std::vector<Lookup> found;
  const std::string code = StripComments(text);
  for (std::sregex_iterator it(code.begin(), code.end(), getText), end; it != end; ++it)
    found.push_back({"ORVMSG", (*it)[1], (*it)[2], where});
  for (std::sregex_iterator it(code.begin(), code.end(), getTextKeyOnly), end; it != end; ++it)
    found.push_back({"ORVMSG", "", (*it)[1], where});
  for (std::sregex_iterator it(code.begin(), code.end(), literalPair), end; it != end; ++it) {
    if ((*it)[1] == "GetText") continue;  // taken above
    const std::string section = (*it)[2];
    if (IsOneOf(section, kMsgTxtSections)) found.push_back({"MSGTXT", section, (*it)[3], where});
    if (IsOneOf(section, kOrvMsgSections)) found.push_back({"ORVMSG", section, (*it)[3], where});
  }
  return found;
}

// The localized message boxes (msgbox.cpp) look their keys up through tables:
// the caption table {"&Ja", "YesBtn"} and the title keys returned by TitleKey.
std::vector<Lookup> ScanMessageBoxTables(const std::string& text, const std::string& where) {
  static const std::regex captionPair(R"re(\{\s*"[^"\n]*"\s*,\s*"(\w+Btn)"\s*\})re");
  static const std::regex titleKeyBody(R"re(\bTitleKey\s*\([^)]*\)\s*\{([\s\S]*?)\n\})re");
  static const std::regex returnLiteral(R"re(return\s+"([^"\n]+)")re");
  std::vector<Lookup> found;
  const std::string code = StripComments(text);
  for (std::sregex_iterator it(code.begin(), code.end(), captionPair), end; it != end; ++it)
    found.push_back({"MSGTXT", "GeneralButtons", (*it)[1], where});
  std::smatch body;
  if (std::regex_search(code, body, titleKeyBody)) {
    const std::string b = body[1];
    for (std::sregex_iterator it(b.begin(), b.end(), returnLiteral), end; it != end; ++it)
      found.push_back({"MSGTXT", "GeneralDialogs", (*it)[1], where});
  }
  return found;
}

// Keys that the program builds at run time or reads through tables, as the
// program's texts name them: "SYM" + symmetry code, "UTF_R" + row, "UGR_L" +
// line, "LHD" + column content, "LBK" + sort key, the output-type keys and
// their page titles, and the message-box titles and buttons.
const std::vector<Lookup> kBuiltKeys = [] {
  std::vector<Lookup> keys;
  auto add = [&](const char* kind, const char* section, const std::string& key) {
    keys.push_back({kind, section, key, "built at run time"});
  };
  for (int i = 0; i <= 4; ++i) add("ORVMSG", "OUTTXT", "SYM" + std::to_string(i));
  for (int i = 1; i <= 3; ++i) add("ORVMSG", "OUTTXT", "UTF_R" + std::to_string(i));
  for (int i = 1; i <= 5; ++i) add("ORVMSG", "OUTTXT", "UGR_L" + std::to_string(i));
  for (int i = 1; i <= 5; ++i) add("ORVMSG", "LTABHD", "LHD" + std::to_string(i));
  for (int i = 1; i <= 5; ++i) add("ORVMSG", "LTABKEYS", "LBK" + std::to_string(i));
  for (const char* k : {"OT_MAIN", "OT_POLAR", "OT_Kart", "OT_Table", "OT_GLUGR", "OT_GLDIN", "OT_RTDIN",
                        "OT_RTTM5", "OT_RTNB", "OT_ISO", "OT_CONE", "OT_SRT", "OT_BBK"})
    add("ORVMSG", "OUTSEL", k);
  for (const char* k : {"HDMAIN", "HDPOL", "HDCRT", "HDTAB", "HDUGR", "HDSLR", "HDUFDIN", "HDUFTM5", "HDUFNB",
                        "HDISO", "HDCONE", "HDSRT", "HDBBK"})
    add("ORVMSG", "OUTTXT", k);
  for (const char* k : {"Warning", "Error", "Information", "Confirmation"}) add("MSGTXT", "GeneralDialogs", k);
  for (const char* k : {"YesBtn", "NoBtn", "AbortBtn", "OKBtn", "IgnoreBtn", "AllBtn", "RetryBtn"})
    add("MSGTXT", "GeneralButtons", k);
  return keys;
}();

// Fails once per language file that lacks a looked-up key.
void ExpectInLanguageFiles(const std::vector<Lookup>& lookups) {
  std::map<std::string, std::map<std::string, std::unique_ptr<TBigInifile>>> files;
  for (const auto& kind : kKinds) files[kind] = LoadKind(kind, false);
  for (const auto& l : lookups)
    for (const auto& [lang, file] : files.at(l.kind)) {
      bool ok = l.section.empty() ? HasKeyInAnySection(*file, l.key) : HasKey(*file, l.section, l.key);
      if (!ok)
        ADD_FAILURE() << l.where << ": " << l.kind << "." << lang << " lacks ["
                      << (l.section.empty() ? "any section" : l.section) << "] " << l.key;
    }
}

std::vector<std::string> SourceFiles() {
  std::vector<std::string> out;
  const std::filesystem::path root = std::filesystem::path(KANDELO_SOURCE_DIR) / "src";
  for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
    if (!e.is_regular_file()) continue;
    const auto ext = e.path().extension().string();
    if (ext == ".cpp" || ext == ".h" || ext == ".hpp" || ext == ".cc") out.push_back(e.path().string());
  }
  return out;
}

TEST(LanguageFileScan, FindsLiteralLookupsAcrossLineBreaksOnly) {
  const std::string code =
      "void f(TMsgManager& msgs, TBigInifile& file, int i) {\n"
      "  msgs.GetText(\n"
      "      \"OUTTXT\",\n"
      "      \"UGR_HD\");\n"
      "  m->GetText ( \"DEFAULT MESSAGES\" ,\"DM_WAIT\" );\n"
      "  msgs.GetText(kSection, \"DM_ITEMS\");\n"
      "  msgs.GetText(\"OUTTXT\", \"UTF_R\" + std::to_string(i));\n"
      "  file.ReadString(\"GeneralButtons\",\n"
      "                  \"OKBtn\", caption);\n"
      "  file.ReadString(\"GLOBAL\", \"LANGDIR\", \"\");\n"
      "  Msg(\"CONFMSG\", \"CONFDEL\");\n"
      "  Msg(\"LTABKEYS\", (\"LBK\" + std::to_string(i)).c_str());\n"
      "  // GetText(\"OUTTXT\", \"IN_A_COMMENT\")\n"
      "}\n";
  std::set<std::string> got;
  for (const auto& l : ScanSource(code, "snippet")) got.insert(l.kind + "/" + l.section + "/" + l.key);
  EXPECT_EQ(got, (std::set<std::string>{"ORVMSG/OUTTXT/UGR_HD", "ORVMSG/DEFAULT MESSAGES/DM_WAIT",
                                        "ORVMSG//DM_ITEMS", "MSGTXT/GeneralButtons/OKBtn",
                                        "ORVMSG/CONFMSG/CONFDEL"}));
}

TEST(LanguageFileScan, EveryLiteralLookupInTheSourcesIsInEveryLanguage) {
  std::vector<Lookup> lookups;
  for (const auto& path : SourceFiles()) {
    auto found = ScanSource(test::readFile(path), path);
    lookups.insert(lookups.end(), found.begin(), found.end());
  }
  ExpectInLanguageFiles(lookups);
}

TEST(LanguageFileScan, MessageBoxTablesOfMsgboxCppAreInMsgTxt) {
  const std::string path = std::string(KANDELO_SOURCE_DIR) + "/src/shell/msgbox.cpp";
  auto found = ScanMessageBoxTables(test::readFile(path), path);
  std::set<std::string> sections;
  for (const auto& l : found) sections.insert(l.section);
  // Both tables must still be recognisable, or this check would pass vacuously.
  EXPECT_EQ(sections, (std::set<std::string>{"GeneralButtons", "GeneralDialogs"}))
      << "msgbox.cpp changed its caption table or TitleKey; adapt ScanMessageBoxTables";
  ExpectInLanguageFiles(found);
}

TEST(LanguageFileScan, KeysBuiltAtRunTimeAreInEveryLanguage) { ExpectInLanguageFiles(kBuiltKeys); }

}  // namespace
}  // namespace kandelo
