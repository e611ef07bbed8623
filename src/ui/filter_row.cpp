#include "ui/filter_row.h"

#include <QHBoxLayout>
#include <QStyle>
#include <optional>
#include <QStringList>
#include <cmath>
#include <cstdlib>

#include "conversion/catalogue_find.h"
#include "frame/msgmanager.h"
#include "texts/qstr.h"

namespace kandelo {

namespace {

QString T(const char* utf8) { return QString::fromUtf8(utf8); }

// A box's number, a decimal comma taken as the point; nullopt for an empty
// box or one that holds no number.
std::optional<double> BoxNumber(const QLineEdit* box) {
  QString text = box->text().trimmed();
  if (text.isEmpty()) return std::nullopt;
  text.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double v = text.toDouble(&ok);
  return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

std::string NumberText(double v) {
  QString t = QString::number(v, 'g', 12);
  return t.toStdString();
}

}  // namespace

TFilterRow::TFilterRow(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("FilterRow"));
  // The row never widens the window: at its smallest the free field shrinks
  // and the row is cut at the right.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(3);
  const int boxWidth = fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 10;
  auto box = [&](const char* name) {
    auto* b = new QLineEdit(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setFixedWidth(boxWidth);
    b->setAlignment(Qt::AlignRight);
    connect(b, &QLineEdit::textEdited, this, &TFilterRow::Changed);
    return b;
  };
  auto label = [&](const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(QString::fromLatin1(name));
    row->addWidget(l);
    return l;
  };
  struct BoxRow {
    const char* label;
    const char* text;
    std::size_t field;
    bool min;
  };
  // German built-in texts; the window's text files translate them.
  const BoxRow rows[] = {
      {"FltFluxLbl", "Lichtstrom (lm)", qf::Flux, true}, {"FltWattLbl", "Leistung (W)", qf::Watt, true},
      {"FltCctLbl", "Farbtemp. (K)", qf::Cct, true},     {"FltUgrLbl", "UGR bis", qf::Ugr, false},
      {"FltBeamLbl", "Winkel (\u00b0)", qf::Beam, true},
  };
  for (const BoxRow& s : rows) {
    if (!ranges_.empty()) row->addSpacing(8);
    label(s.label, T(s.text));
    Range r;
    r.field = s.field;
    const std::string name = std::string(s.label).substr(0, std::string(s.label).size() - 3);
    if (s.min) {
      r.min = box((name + "Min").c_str());
      row->addWidget(r.min);
      row->addWidget(new QLabel(QStringLiteral("\u2013"), this));
    }
    r.max = box((name + "Max").c_str());
    row->addWidget(r.max);
    ranges_.push_back(r);
  }
  row->addSpacing(8);
  label("FltExprLbl", T("Ausdruck"));
  expression_ = new QLineEdit(this);
  expression_->setObjectName(QStringLiteral("FltExpr"));
  expression_->setMinimumWidth(boxWidth);
  expression_->setClearButtonEnabled(false);
  connect(expression_, &QLineEdit::textEdited, this, &TFilterRow::Changed);
  row->addWidget(expression_, 1);
  fault_ = new QLabel(this);
  fault_->setStyleSheet(QStringLiteral("color: #b00000"));
  fault_->setVisible(false);
  row->addWidget(fault_);
  clear_ = new QToolButton(this);
  clear_->setObjectName(QStringLiteral("FltClearBtn"));
  clear_->setIcon(style()->standardIcon(QStyle::SP_LineEditClearButton));
  clear_->setToolTip(T("Filter aufheben"));
  clear_->setAutoRaise(true);
  connect(clear_, &QToolButton::clicked, this, [this] {
    Clear();
    emit Changed();
  });
  row->addWidget(clear_);
}

std::vector<QLineEdit*> TFilterRow::Boxes() const {
  std::vector<QLineEdit*> out;
  for (const Range& r : ranges_) {
    if (r.min) out.push_back(r.min);
    out.push_back(r.max);
  }
  return out;
}

std::string TFilterRow::Query() const {
  const auto fields = CatalogueQueryFields();
  std::string q;
  auto add = [&q](const std::string& part) { q += (q.empty() ? "" : " and ") + part; };
  for (const Range& r : ranges_) {
    const std::string name = fields[r.field].name;
    if (r.min)
      if (auto v = BoxNumber(r.min)) add(name + ">=" + NumberText(*v));
    if (auto v = BoxNumber(r.max)) add(name + "<=" + NumberText(*v));
  }
  const std::string free = S(expression_->text().trimmed());
  if (!free.empty()) add("(" + free + ")");
  return q;
}

std::shared_ptr<const query::Expression> TFilterRow::Parsed(bool& faulty) {
  faulty = false;
  // A box without a number is shown as such and left out.
  for (QLineEdit* b : Boxes()) {
    const bool bad = !b->text().trimmed().isEmpty() && !BoxNumber(b);
    b->setStyleSheet(bad ? QStringLiteral("color: #b00000") : QString());
  }
  fault_->clear();
  fault_->setVisible(false);
  expression_->setToolTip(QString());
  const std::string free = S(expression_->text().trimmed());
  if (!free.empty()) {
    // The free field alone first, so that its fault is told in its own columns.
    auto own = query::Parse(free, CatalogueQueryFields());
    if (const auto* e = std::get_if<query::ParseError>(&own)) {
      faulty = true;
      fault_->setText(faultWord_ + QLatin1Char(' ') + QString::number(e->column));
      fault_->setToolTip(Q(e->message));
      fault_->setVisible(true);
      return nullptr;
    }
  }
  const std::string q = Query();
  if (q.empty()) return nullptr;
  auto parsed = query::Parse(q, CatalogueQueryFields());
  if (auto* e = std::get_if<query::Expression>(&parsed)) return std::make_shared<const query::Expression>(std::move(*e));
  faulty = true;  // cannot happen: boxes are numbers and the field parsed
  return nullptr;
}

QString TFilterRow::State() const {
  QStringList parts;
  for (QLineEdit* b : Boxes()) parts << b->text().trimmed();
  parts << expression_->text();
  // The expression comes last, so a ";" inside it needs no escaping.
  return parts.join(QLatin1Char(';'));
}

void TFilterRow::SetState(const QString& state) {
  const std::vector<QLineEdit*> boxes = Boxes();
  const QStringList parts = state.split(QLatin1Char(';'));
  for (std::size_t i = 0; i < boxes.size(); ++i)
    boxes[i]->setText(int(i) < parts.size() ? parts[int(i)] : QString());
  expression_->setText(parts.size() > int(boxes.size()) ? parts.mid(int(boxes.size())).join(QLatin1Char(';'))
                                                          : QString());
}

void TFilterRow::Clear() {
  for (QLineEdit* b : Boxes()) {
    b->clear();
    b->setStyleSheet(QString());
  }
  expression_->clear();
  fault_->clear();
  fault_->setVisible(false);
}

bool TFilterRow::Empty() const {
  for (QLineEdit* b : Boxes())
    if (!b->text().trimmed().isEmpty()) return false;
  return expression_->text().trimmed().isEmpty();
}

void TFilterRow::SetMessages(const TMsgManager& msgs) {
  auto text = [&](const char* key, const char* english) {
    const std::string t = msgs.GetText("BROWSER", key);
    return t.empty() ? QString::fromLatin1(english) : Q(t);
  };
  const QString from = text("BR_FLTFROM", "from"), to = text("BR_FLTTO", "up to");
  for (const Range& r : ranges_) {
    if (r.min) r.min->setToolTip(from);
    r.max->setToolTip(to);
  }
  expression_->setToolTip(text("BR_FLTEXPR", "e.g. flux>=3000 and cct=4000 and ugr<19 and beam<60"));
  faultWord_ = text("BR_FLTFAULT", "fault in column");
}

}  // namespace kandelo
