#include "ui/small_editors.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "frame/settings.h"
#include "frame/strutil.h"
#include "photometry/lum32.h"
#include "texts/dialog_parts.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"

namespace kandelo {

namespace {

// "#" a digit (a sign may lead), "9" a digit, "." the decimal point, for
// which "," is taken as well.
QRegularExpression MaskPattern(const std::string& mask) {
  int before = 0, after = 0;
  bool point = false, digitsOnly = true;
  for (char c : mask) {
    if (c == '.') point = true;
    else (point ? after : before)++;
    if (c == '#') digitsOnly = false;
  }
  QString re = digitsOnly ? QStringLiteral("^\\d{0,%1}$").arg(before)
                          : QStringLiteral("^[+-]?\\d{0,%1}").arg(before);
  if (!digitsOnly) re += point ? QStringLiteral("([.,]\\d{0,%1})?$").arg(after) : QStringLiteral("$");
  return QRegularExpression(re);
}

QLineEdit* MaskedField(QWidget* parent, const char* name, const std::string& mask) {
  auto* f = new QLineEdit(parent);
  f->setObjectName(QString::fromLatin1(name));
  f->setValidator(new QRegularExpressionValidator(MaskPattern(mask), f));
  f->setMaxLength(static_cast<int>(mask.size()) + 1);
  f->setMaximumWidth(90);
  f->setAlignment(Qt::AlignRight);
  return f;
}

// A value shown in a field of the mask: the mask's decimals, "." as separator.
QString MaskText(double v, const std::string& mask) {
  const auto dot = mask.find('.');
  const int decimals = dot == std::string::npos ? 0 : static_cast<int>(mask.size() - dot - 1);
  const QString text = Q(FormatFixed(v, decimals));
  // A stored value the mask cannot show (a damaged or foreign file) is shown
  // as it is, read from the file; the field still only takes masked input.
  return text;
}

float FieldValue(const QLineEdit* f) {
  double v = 0;
  return ParseDouble(S(f->text()), v) ? static_cast<float>(v) : 0.0f;
}

}  // namespace

bool MaskAccepts(const std::string& mask, const QString& text) {
  return MaskPattern(mask).match(text).hasMatch();
}

// ---- Database version

TVersionDlg::TVersionDlg(const std::string& label, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TVersionDlg"));
  setWindowTitle(QStringLiteral("set database version"));
  auto* grid = new QGridLayout(this);
  field_ = new QLineEdit(this);
  field_->setObjectName(QStringLiteral("VersionFld"));
  field_->setMaxLength(5);
  field_->setMaximumWidth(90);
  grid->addWidget(NamedLabel(this, "Label1", QStringLiteral("version of luminaire database")), 0, 0);
  grid->addWidget(field_, 0, 1);
  const DialogButtons buttons = OkCancelRow(this, "OKBtn", "AbortBtn", QStringLiteral("Abort"));
  ok_ = buttons.ok;
  abort_ = buttons.cancel;
  grid->addLayout(buttons.row, 1, 0, 1, 2);
  LocalizeOrExport(this, Settings().OrvTxtFile);
  field_->setText(Q(label.substr(0, 5)));
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(abort_, &QPushButton::clicked, this, &QDialog::reject);
}

std::string TVersionDlg::Label() const { return Cut(S(field_->text()), 5); }

bool EditDatabaseVersion(std::string& label, QWidget* parent) {
  TVersionDlg dlg(label, parent);
  if (dlg.exec() != QDialog::Accepted) return false;
  label = dlg.Label();
  return true;
}

// ---- Measurement information

TMeasInfoDlg::TMeasInfoDlg(const TLUM32& lum, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TMeasInfoDlg"));
  setWindowTitle(QStringLiteral("Me\u00dfinformationen"));
  auto* top = new QVBoxLayout(this);
  auto* upper = new QGridLayout;
  aux_ = new QCheckBox(QStringLiteral("Messung mit Hilfsempf\u00e4nger"), this);
  aux_->setObjectName(QStringLiteral("AuxChk"));
  temp_ = MaskedField(this, "TempFld", "###.#");
  upper->addWidget(aux_, 0, 0, 1, 2);
  upper->addWidget(NamedLabel(this, "Label1", QStringLiteral("Temperatur / \u00b0C")), 1, 0);
  upper->addWidget(temp_, 1, 1);
  top->addLayout(upper);

  auto* elec = new QGroupBox(QStringLiteral("elektrische Gr\u00f6\u00dfen"), this);
  elec->setObjectName(QStringLiteral("ElecGroup"));
  auto* eg = new QGridLayout(elec);
  volt_ = MaskedField(elec, "VoltFld", "###.##");
  current_ = MaskedField(elec, "CurrFld", "##.###");
  watt_ = MaskedField(elec, "WattFld", "####.##");
  eg->addWidget(NamedLabel(elec, "Label2", QStringLiteral("Spannung / V")), 0, 0);
  eg->addWidget(volt_, 0, 1);
  eg->addWidget(NamedLabel(elec, "Label3", QStringLiteral("Strom / A")), 1, 0);
  eg->addWidget(current_, 1, 1);
  eg->addWidget(NamedLabel(elec, "Label4", QStringLiteral("Leistungsaufnahme / W")), 2, 0);
  eg->addWidget(watt_, 2, 1);
  top->addWidget(elec);

  auto* lamps = new QGridLayout;
  quantity_ = MaskedField(this, "QuantFld", "999");
  lamps->addWidget(NamedLabel(this, "Label5", QStringLiteral("Anzahl Me\u00dflampen")), 0, 0);
  lamps->addWidget(quantity_, 0, 1);
  lamps->addWidget(NamedLabel(this, "Label6", QStringLiteral("Lampenbezeichnung")), 1, 0);
  lamps->addWidget(NamedLabel(this, "Label7", QStringLiteral("Lichtstrom / lm")), 1, 1);
  for (int i = 0; i < 5; ++i) {
    auto* name = new QLineEdit(this);
    name->setObjectName(QStringLiteral("LampNameFld%1").arg(i + 1));
    name->setMaxLength(25);
    name->setMinimumWidth(220);
    names_[static_cast<std::size_t>(i)] = name;
    fluxes_[static_cast<std::size_t>(i)] =
        MaskedField(this, ("LampFluxFld" + std::to_string(i + 1)).c_str(), "######.#");
    lamps->addWidget(name, i + 2, 0);
    lamps->addWidget(fluxes_[static_cast<std::size_t>(i)], i + 2, 1);
  }
  total_ = MaskedField(this, "TotalFluxFld", "######.#");
  lamps->addWidget(NamedLabel(this, "Label8", QStringLiteral("Gesamtlichtstrom / lm")), 7, 0, Qt::AlignRight);
  lamps->addWidget(total_, 7, 1);
  top->addLayout(lamps);

  const DialogButtons buttons = OkCancelRow(this, "OKBtn", "AbortBtn", QStringLiteral("Abbruch"));
  ok_ = buttons.ok;
  abort_ = buttons.cancel;
  top->addLayout(buttons.row);
  LocalizeOrExport(this, Settings().OrvTxtFile);

  aux_->setChecked(lum.AuxReceiver != 0);
  temp_->setText(MaskText(lum.MeasTemperature, "###.#"));
  volt_->setText(MaskText(lum.MeasVoltage, "###.##"));
  current_->setText(MaskText(lum.MeasCurrent, "##.###"));
  watt_->setText(MaskText(lum.CircuitWatts, "####.##"));
  quantity_->setText(QString::number(lum.LampQuantity));
  for (std::size_t i = 0; i < 5; ++i) {
    names_[i]->setText(Q(lum.MeasLampName[i]));
    fluxes_[i]->setText(MaskText(lum.MeasLampFlux[i], "######.#"));
  }
  total_->setText(MaskText(lum.MeasTotalFlux, "######.#"));
  // Only the electrical values and the temperature are taken back; the other
  // fields show the measurement and are not offered for editing, so that no
  // change is typed and then silently dropped.
  aux_->setEnabled(false);
  for (QLineEdit* f : {quantity_, total_}) f->setReadOnly(true);
  for (std::size_t i = 0; i < 5; ++i) {
    names_[i]->setReadOnly(true);
    fluxes_[i]->setReadOnly(true);
  }
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(abort_, &QPushButton::clicked, this, &QDialog::reject);
}

void TMeasInfoDlg::WriteBack(TLUM32& lum) const {
  lum.MeasVoltage = FieldValue(volt_);
  lum.MeasCurrent = FieldValue(current_);
  lum.CircuitWatts = FieldValue(watt_);
  lum.MeasTemperature = FieldValue(temp_);
}

bool EditMeasurementInfo(TLUM32& lum, QWidget* parent) {
  TMeasInfoDlg dlg(lum, parent);
  if (dlg.exec() != QDialog::Accepted) return false;
  dlg.WriteBack(lum);
  return true;
}

}  // namespace kandelo
