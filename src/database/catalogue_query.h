// Queries over catalogue entries: a small expression language such as
//
//   flux>=3000 and flux<=4000 and cct=4000K and ugr<19 and beam<60
//   manufacturer~"lumina" or (format=ies and not problems>0)
//
// A comparison is a field, an operator and a value. Numbers compare with
// = != < <= > >=; "=" and "!=" take the number as precise as it is written
// (the values that round to it: cct=4000 takes 3999.5 up to below 4000.5). A unit may
// follow a number when it is the field's own (3000lm, 4000K, 60°, 80%).
// Texts compare with "=" and "!=" (whole text) and "~" (contains), without
// regard to case; a text value is a word or is quoted ("..." or '...', a
// doubled quote inside stands for one). `not` binds tighter than `and`, and
// `and` tighter than `or`; parentheses group. Keywords and field names are
// matched without regard to case.
//
// Texts, the expression's included, are 1252 like every text of the core;
// columns count its bytes.
//
// A field an entry does not know (a file without a colour temperature) makes
// every comparison on it false, so `not cct=4000` holds for it.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kandelo::query {

enum class FieldType { Number, Text };

struct Field {
  const char* name;         // as written in expressions, lower case
  FieldType type;
  const char* unit;         // the unit that may follow a number ("lm"); "" for none
  const char* description;  // one line for `--fields`
};

// The values of one entry, by index into the field table the expression was
// parsed with.
class Values {
 public:
  virtual ~Values() = default;
  // nullopt: the entry does not know this value.
  virtual std::optional<double> Number(std::size_t field) const = 0;
  virtual std::optional<std::string_view> Text(std::size_t field) const = 0;
};

struct ParseError {
  std::size_t column = 0;  // 1-based column of the fault in the expression
  std::string message;     // English, one line, without the column
};

class Expression {
 public:
  Expression();
  ~Expression();
  Expression(Expression&&) noexcept;
  Expression& operator=(Expression&&) noexcept;

  bool Matches(const Values& values) const;
  // The fields the expression reads (indices into the table), each once.
  const std::vector<std::size_t>& FieldsUsed() const { return fieldsUsed_; }

  struct Node;

 private:
  friend std::variant<Expression, ParseError> Parse(std::string_view text, std::span<const Field> fields);
  std::unique_ptr<Node> root_;
  std::vector<std::size_t> fieldsUsed_;
};

// Parses `text` against the field table. An empty text (blanks only) is an
// error: a query must ask something.
std::variant<Expression, ParseError> Parse(std::string_view text, std::span<const Field> fields);

}  // namespace kandelo::query
