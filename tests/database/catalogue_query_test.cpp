#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "database/catalogue_query.h"

namespace kandelo::query {
namespace {

constexpr Field kFields[] = {
    {"flux", FieldType::Number, "lm", "luminaire flux"},
    {"cct", FieldType::Number, "K", "colour temperature"},
    {"beam", FieldType::Number, "\xB0", "half-value beam angle"},
    {"lor", FieldType::Number, "%", "light output ratio"},
    {"ugr", FieldType::Number, "", "UGR"},
    {"manufacturer", FieldType::Text, "", "manufacturer"},
    {"format", FieldType::Text, "", "file format"},
};

struct Entry : Values {
  std::map<std::size_t, double> numbers;
  std::map<std::size_t, std::string> texts;
  std::optional<double> Number(std::size_t f) const override {
    auto it = numbers.find(f);
    return it == numbers.end() ? std::nullopt : std::optional<double>(it->second);
  }
  std::optional<std::string_view> Text(std::size_t f) const override {
    auto it = texts.find(f);
    return it == texts.end() ? std::nullopt : std::optional<std::string_view>(it->second);
  }
};

Entry Make(double flux, std::optional<double> cct, double beam, double lor, double ugr, std::string maker,
           std::string format) {
  Entry e;
  e.numbers = {{0, flux}, {2, beam}, {3, lor}, {4, ugr}};
  if (cct) e.numbers[1] = *cct;
  e.texts = {{5, std::move(maker)}, {6, std::move(format)}};
  return e;
}

// Which of the entries an expression matches, as a string of their letters.
std::string Matching(const std::string& text, const std::vector<Entry>& entries) {
  auto parsed = Parse(text, kFields);
  if (auto* error = std::get_if<ParseError>(&parsed)) {
    ADD_FAILURE() << text << ": " << error->column << " " << error->message;
    return "?";
  }
  std::string out;
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (std::get<Expression>(parsed).Matches(entries[i])) out += char('a' + i);
  return out;
}

TEST(CatalogueQuery, ExpressionsSelectTheEntriesTheySay) {
  const std::vector<Entry> entries = {
      Make(3200, 4000, 45, 80.5, 18.2, "Lumina GmbH", "ies"),           // a
      Make(3999.6, 3000, 92, 100, 21.0, "LUMINA Sud", "eulumdat"),      // b
      Make(1500, std::nullopt, 60, 55.27, 16.0, "Stra\xDF" "e & Co", "tm14"),  // c: no colour temperature
      Make(4000.4, 4000, 24, 72, 19.0, "Other \"Q\"", "ies"),           // d
  };
  struct Case {
    const char* text;
    const char* matches;
  } cases[] = {
      {"flux>=3000 and flux<=4000", "ab"},
      {"flux>=3000 and flux<=4000 and cct=4000K and ugr<19 and beam<60", "a"},
      {"flux=4000", "bd"},        // 3999.5 ... 4000.5
      {"flux=4000.0", ""},        // 3999.95 ... 4000.05
      {"flux=4000.4", "d"},
      {"lor=80.5", "a"},
      {"lor=80", ""},
      {"lor=55.3", "c"},          // 55.25 ... 55.35
      {"lor != 100", "acd"},
      {"beam<60\xB0", "ad"},
      {"beam <= 60 deg", "acd"},
      {"beam<60 \xC2\xB0", "ad"},  // the degree sign as typed in UTF-8
      {"lor>75%", "ab"},
      {"flux > 3000 lm", "abd"},
      {"manufacturer~\"lumina\"", "ab"},
      {"MANUFACTURER ~ lumina", "ab"},
      {"manufacturer~'stra\xDF" "e'", "c"},
      {"manufacturer = \"lumina sud\"", "b"},
      {"manufacturer~\"\"\"Q\"\"\"", "d"},  // a doubled quote stands for one
      {"format=ies", "ad"},
      {"format!=ies", "bc"},
      {"cct=4000", "ad"},
      {"not cct=4000", "bc"},      // c does not know its colour temperature
      {"cct<5000", "abd"},         // nor does it match any comparison
      {"format=ies or format=tm14 and ugr<17", "acd"},   // and binds tighter
      {"(format=ies or format=tm14) and ugr<17", "c"},
      {"not not format=ies", "ad"},
      {"not (format=ies or beam>90)", "c"},
      {"FLUX>1000 AND Beam<30 Or cct=3000", "bd"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Matching(c.text, entries), c.matches);
  }
}

TEST(CatalogueQuery, FaultsAreNamedWithTheirColumn) {
  struct Case {
    const char* text;
    std::size_t column;
    const char* message;  // a fragment of the message
  } cases[] = {
      {"", 1, "empty query"},
      {"   ", 4, "empty query"},
      {"flx>3000", 1, "unknown field \"flx\" (did you mean flux?)"},
      {"colour=4000", 1, "unknown field \"colour\"; catalogue find --fields"},
      {"flux 3000", 6, "expected =, !=, <, <=, >, >= or ~ after flux"},
      {"flux>", 6, "expected a number after flux"},
      {"flux>abc", 6, "expected a number after flux, found \"abc\""},
      {"flux~3000", 5, "\"~\" looks for a text; flux is a number"},
      {"manufacturer<\"a\"", 13, "manufacturer is a text: compare it with =, != or ~"},
      {"manufacturer=", 14, "expected a text after manufacturer"},
      {"manufacturer=\"abc", 14, "the text has no closing quote"},
      {"cct=4000lm", 9, "\"lm\" is not the unit of cct (K)"},
      {"ugr<19x", 7, "ugr takes no unit, found \"x\""},
      {"flux>3e3", 7, "\"e\" is not the unit of flux (lm)"},
      {"(flux>1 and cct<3", 1, "\"(\" is not closed"},
      {"flux>1)", 7, "\")\" without \"(\""},
      {"flux>1 cct<3", 8, "expected \"and\", \"or\" or the end, found \"cct\""},
      {"flux>1 K", 8, "\"K\" is not the unit of flux (lm)"},
      {"flux>1 and", 11, "expected a field name at the end"},
      {"flux>1 and > 3", 12, "expected a field name, found \">\""},
      {"not", 4, "expected a field name at the end"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    auto parsed = Parse(c.text, kFields);
    const auto* error = std::get_if<ParseError>(&parsed);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->column, c.column) << error->message;
    EXPECT_NE(error->message.find(c.message), std::string::npos) << error->message;
  }
}

TEST(CatalogueQuery, FieldsUsedAreListedOnce) {
  auto parsed = Parse("flux>1 and (cct=3000 or flux<5) and not format=ies", kFields);
  ASSERT_TRUE(std::holds_alternative<Expression>(parsed));
  EXPECT_EQ(std::get<Expression>(parsed).FieldsUsed(), (std::vector<std::size_t>{0, 1, 6}));
}

}  // namespace
}  // namespace kandelo::query
