#include "database/catalogue_query.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "platform/text.h"

namespace kandelo::query {

enum class Op { Eq, Ne, Lt, Le, Gt, Ge, Contains };

struct Expression::Node {
  enum class Kind { And, Or, Not, Number, Text } kind;
  std::unique_ptr<Node> left, right;  // And/Or: both; Not: left
  std::size_t field = 0;
  Op op = Op::Eq;
  double number = 0, tolerance = 0;  // Number
  std::string text;                  // Text, upper case

  bool Eval(const Values& v) const {
    switch (kind) {
      case Kind::And: return left->Eval(v) && right->Eval(v);
      case Kind::Or: return left->Eval(v) || right->Eval(v);
      case Kind::Not: return !left->Eval(v);
      case Kind::Number: {
        const std::optional<double> x = v.Number(field);
        if (!x || std::isnan(*x)) return false;
        switch (op) {
          // The values that round to the number as written.
          case Op::Eq: return *x >= number - tolerance && *x < number + tolerance;
          case Op::Ne: return !(*x >= number - tolerance && *x < number + tolerance);
          case Op::Lt: return *x < number;
          case Op::Le: return *x <= number;
          case Op::Gt: return *x > number;
          case Op::Ge: return *x >= number;
          case Op::Contains: return false;
        }
        return false;
      }
      case Kind::Text: {
        const std::optional<std::string_view> t = v.Text(field);
        if (!t) return false;
        const std::string upper = platform::upper1252(std::string(*t));
        switch (op) {
          case Op::Eq: return upper == text;
          case Op::Ne: return upper != text;
          case Op::Contains: return upper.find(text) != std::string::npos;
          default: return false;
        }
      }
    }
    return false;
  }
};

Expression::Expression() = default;
Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

bool Expression::Matches(const Values& values) const { return root_ && root_->Eval(values); }

namespace {

using Node = Expression::Node;

bool IsWordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

std::string Lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

// Edit distance, for "did you mean" on a misspelt field name.
std::size_t Distance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diag = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t up = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diag + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diag = up;
    }
  }
  return row[b.size()];
}

// A unit as typed, in the spelling of the field table: "deg", the degree
// sign in UTF-8 or in 1252 all stand for "°"; case does not matter.
std::string CanonicalUnit(std::string_view u) {
  std::string s = Lower(u);
  if (s == "deg" || s == "\xC2\xB0" || s == "\xB0") return "\xB0";
  return s;
}

struct Failure {
  std::size_t pos;
  std::string message;
};

class Parser {
 public:
  Parser(std::string_view text, std::span<const Field> fields) : s_(text), fields_(fields) {}

  struct Parsed {
    std::unique_ptr<Node> root;
    std::vector<std::size_t> used;
  };

  Parsed Run() {
    SkipBlanks();
    if (pos_ == s_.size()) throw Failure{pos_, "empty query: say what to look for, e.g. flux>=3000"};
    Parsed e;
    e.root = ParseOr();
    SkipBlanks();
    if (pos_ < s_.size()) {
      if (s_[pos_] == ')') throw Failure{pos_, "\")\" without \"(\""};
      throw Failure{pos_, "expected \"and\", \"or\" or the end, found \"" + std::string(PeekToken()) + "\""};
    }
    e.used = std::move(used_);
    return e;
  }

 private:
  void SkipBlanks() {
    while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
  }

  // The word at the position, or the single character there.
  std::string_view PeekToken() const {
    if (pos_ >= s_.size()) return {};
    std::size_t end = pos_;
    if (IsWordChar(s_[end]))
      while (end < s_.size() && IsWordChar(s_[end])) ++end;
    else
      ++end;
    return s_.substr(pos_, end - pos_);
  }

  bool Keyword(std::string_view word) {
    SkipBlanks();
    if (s_.size() - pos_ < word.size() || Lower(s_.substr(pos_, word.size())) != word) return false;
    const std::size_t end = pos_ + word.size();
    if (end < s_.size() && IsWordChar(s_[end])) return false;
    pos_ = end;
    return true;
  }

  std::unique_ptr<Node> Combine(Node::Kind kind, std::unique_ptr<Node> l, std::unique_ptr<Node> r) {
    auto n = std::make_unique<Node>();
    n->kind = kind;
    n->left = std::move(l);
    n->right = std::move(r);
    return n;
  }

  std::unique_ptr<Node> ParseOr() {
    auto l = ParseAnd();
    while (Keyword("or")) l = Combine(Node::Kind::Or, std::move(l), ParseAnd());
    return l;
  }

  std::unique_ptr<Node> ParseAnd() {
    auto l = ParseNot();
    while (Keyword("and")) l = Combine(Node::Kind::And, std::move(l), ParseNot());
    return l;
  }

  std::unique_ptr<Node> ParseNot() {
    if (Keyword("not")) return Combine(Node::Kind::Not, ParseNot(), nullptr);
    return ParsePrimary();
  }

  std::unique_ptr<Node> ParsePrimary() {
    SkipBlanks();
    if (pos_ < s_.size() && s_[pos_] == '(') {
      const std::size_t open = pos_++;
      auto inner = ParseOr();
      SkipBlanks();
      if (pos_ >= s_.size() || s_[pos_] != ')') throw Failure{open, "\"(\" is not closed"};
      ++pos_;
      return inner;
    }
    return ParseComparison();
  }

  std::size_t ParseField() {
    SkipBlanks();
    const std::size_t start = pos_;
    if (pos_ >= s_.size()) throw Failure{pos_, "expected a field name at the end"};
    if (!IsWordStart(s_[pos_]))
      throw Failure{pos_, "expected a field name, found \"" + std::string(PeekToken()) + "\""};
    while (pos_ < s_.size() && IsWordChar(s_[pos_])) ++pos_;
    const std::string name = Lower(s_.substr(start, pos_ - start));
    for (std::size_t i = 0; i < fields_.size(); ++i)
      if (name == fields_[i].name) return i;
    std::string message = "unknown field \"" + name + "\"";
    const Field* nearest = nullptr;
    std::size_t best = 3;
    for (const Field& f : fields_)
      if (std::size_t d = Distance(name, f.name); d < best) best = d, nearest = &f;
    if (nearest) message += " (did you mean " + std::string(nearest->name) + "?)";
    throw Failure{start, message + "; catalogue find --fields lists them"};
  }

  Op ParseOperator(const Field& field) {
    SkipBlanks();
    static constexpr std::pair<std::string_view, Op> kOps[] = {
        {"<=", Op::Le}, {">=", Op::Ge}, {"!=", Op::Ne}, {"<>", Op::Ne}, {"==", Op::Eq},
        {"=", Op::Eq},  {"<", Op::Lt},  {">", Op::Gt},  {"~", Op::Contains}};
    for (const auto& [text, op] : kOps)
      if (s_.substr(pos_, text.size()) == text) {
        const std::size_t at = pos_;
        pos_ += text.size();
        if (field.type == FieldType::Number && op == Op::Contains)
          throw Failure{at, "\"~\" looks for a text; " + std::string(field.name) + " is a number"};
        if (field.type == FieldType::Text && op != Op::Eq && op != Op::Ne && op != Op::Contains)
          throw Failure{at, std::string(field.name) + " is a text: compare it with =, != or ~"};
        return op;
      }
    throw Failure{pos_, "expected =, !=, <, <=, >, >= or ~ after " + std::string(field.name) +
                            (pos_ < s_.size() ? ", found \"" + std::string(PeekToken()) + "\"" : "")};
  }

  std::unique_ptr<Node> ParseComparison() {
    const std::size_t index = ParseField();
    const Field& field = fields_[index];
    auto n = std::make_unique<Node>();
    n->field = index;
    n->op = ParseOperator(field);
    SkipBlanks();
    if (field.type == FieldType::Number) {
      n->kind = Node::Kind::Number;
      ParseNumber(field, *n);
    } else {
      n->kind = Node::Kind::Text;
      n->text = platform::upper1252(ParseText(field));
    }
    if (std::find(used_.begin(), used_.end(), index) == used_.end()) used_.push_back(index);
    return n;
  }

  void ParseNumber(const Field& field, Node& n) {
    const std::size_t start = pos_;
    std::string digits;
    if (pos_ < s_.size() && (s_[pos_] == '-' || s_[pos_] == '+')) digits += s_[pos_++];
    bool any = false;
    int decimals = -1;
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (std::isdigit(static_cast<unsigned char>(c))) {
        digits += c;
        any = true;
        if (decimals >= 0) ++decimals;
      } else if ((c == '.' || c == ',') && decimals < 0) {
        digits += '.';  // a decimal comma is taken as the point
        decimals = 0;
      } else {
        break;
      }
      ++pos_;
    }
    if (!any)
      throw Failure{start, std::string("expected a number after ") + field.name +
                               (pos_ < s_.size() ? ", found \"" + std::string(PeekToken()) + "\"" : "")};
    n.number = std::strtod(digits.c_str(), nullptr);
    n.tolerance = 0.5 * std::pow(10.0, -std::max(decimals, 0));
    // A unit, right after the number or after blanks; a keyword is no unit.
    const std::size_t beforeUnit = pos_;
    SkipBlanks();
    const std::size_t unitStart = pos_;
    while (pos_ < s_.size()) {
      const unsigned char c = static_cast<unsigned char>(s_[pos_]);
      if (std::isalpha(c) || c == '%' || c == '/' || c >= 0x80) ++pos_;
      else break;
    }
    const std::string_view unit = s_.substr(unitStart, pos_ - unitStart);
    // After blanks only a unit of the table counts as one ("flux>1 cct<3"
    // lacks its "and"); right after the number any letters are the unit.
    const bool known = std::any_of(fields_.begin(), fields_.end(), [&](const Field& f) {
      return *f.unit && CanonicalUnit(f.unit) == CanonicalUnit(unit);
    });
    if (unit.empty() || (unitStart > beforeUnit && !known)) {
      pos_ = beforeUnit;
      return;
    }
    if (!*field.unit) throw Failure{unitStart, std::string(field.name) + " takes no unit, found \"" + std::string(unit) + "\""};
    if (CanonicalUnit(unit) != CanonicalUnit(field.unit))
      throw Failure{unitStart, "\"" + std::string(unit) + "\" is not the unit of " + field.name + " (" + field.unit + ")"};
  }

  std::string ParseText(const Field& field) {
    if (pos_ >= s_.size()) throw Failure{pos_, std::string("expected a text after ") + field.name};
    const char quote = s_[pos_];
    if (quote == '"' || quote == '\'') {
      const std::size_t open = pos_++;
      std::string text;
      while (true) {
        if (pos_ >= s_.size()) throw Failure{open, "the text has no closing quote"};
        if (s_[pos_] == quote) {
          if (pos_ + 1 < s_.size() && s_[pos_ + 1] == quote) {
            text += quote;
            pos_ += 2;
            continue;
          }
          ++pos_;
          return text;
        }
        text += s_[pos_++];
      }
    }
    const std::size_t start = pos_;
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (std::isspace(static_cast<unsigned char>(c)) || c == '(' || c == ')' || c == '"' || c == '\'') break;
      ++pos_;
    }
    if (pos_ == start)
      throw Failure{start, std::string("expected a text after ") + field.name + ", found \"" +
                               std::string(PeekToken()) + "\""};
    return std::string(s_.substr(start, pos_ - start));
  }

  std::string_view s_;
  std::span<const Field> fields_;
  std::size_t pos_ = 0;
  std::vector<std::size_t> used_;
};

}  // namespace

std::variant<Expression, ParseError> Parse(std::string_view text, std::span<const Field> fields) {
  try {
    auto parsed = Parser(text, fields).Run();
    Expression e;
    e.root_ = std::move(parsed.root);
    e.fieldsUsed_ = std::move(parsed.used);
    return e;
  } catch (const Failure& f) {
    return ParseError{std::min(f.pos, text.size()) + 1, f.message};
  }
}

}  // namespace kandelo::query
