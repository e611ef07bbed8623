#include "ui/new_lum_wizard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

#include "conversion/staging_dir.h"
#include "shell/msgbox.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "shell/ui_services.h"
#include "platform/fileio.h"
#include "texts/dialog_parts.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"
#include "texts/trans_dialog.h"
#include "ui/ui_texts.h"

namespace kandelo {

namespace pf = kandelo::platform;

namespace {

QString Angle(double v) { return QString::number(v, 'f', 1); }

// One decimal; a comma counts as the decimal point.
std::optional<double> Number(const QLineEdit* field) {
  QString t = field->text().trimmed();
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  bool ok = false;
  const double v = t.toDouble(&ok);
  if (!ok || !std::isfinite(v)) return std::nullopt;
  return v;
}

}  // namespace

TNLWIZ::TNLWIZ(bool showTranslate, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TNLWIZ"));
  setWindowTitle(QStringLiteral("neue Leuchte erzeugen"));
  auto* top = new QVBoxLayout(this);

  // File: format, name, luminaire name and manufacturer.
  auto* file = new QGridLayout;
  formatCombo_ = new QComboBox(this);
  formatCombo_->setObjectName(QStringLiteral("formatcombo"));
  formatCombo_->addItems({QStringLiteral("LUM-32  format"), QStringLiteral("EULUM-DAT format")});
  fnFld_ = new QLineEdit(this);
  fnFld_->setObjectName(QStringLiteral("fnFld"));
  fnFld_->setMaxLength(8);
  fnFld_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9_\\-]{0,8}")),
                                                       fnFld_));
  fnFld_->setMaximumWidth(fnFld_->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 10);
  extLabel_ = new QLabel(QStringLiteral(".LDT"), this);
  lNameFld_ = new QLineEdit(this);
  lNameFld_->setObjectName(QStringLiteral("LNameFld"));
  lNameFld_->setMaxLength(80);
  lNameFld_->setMinimumWidth(360);
  lManuFld_ = new QLineEdit(this);
  lManuFld_->setObjectName(QStringLiteral("LManuFld"));
  lManuFld_->setMaxLength(80);
  auto* nameRow = new QHBoxLayout;
  nameRow->addWidget(fnFld_);
  nameRow->addWidget(extLabel_);
  nameRow->addStretch();
  file->addWidget(NamedLabel(this, "Label1", QStringLiteral("Dateiformat")), 0, 0);
  file->addWidget(formatCombo_, 0, 1, Qt::AlignLeft);
  file->addWidget(NamedLabel(this, "Label2", QStringLiteral("Dateiname")), 1, 0);
  file->addLayout(nameRow, 1, 1);
  file->addWidget(NamedLabel(this, "Label3", QStringLiteral("Leuchtenbezeichnung")), 2, 0);
  file->addWidget(lNameFld_, 2, 1);
  file->addWidget(NamedLabel(this, "Label4", QStringLiteral("Hersteller")), 3, 0);
  file->addWidget(lManuFld_, 3, 1);
  top->addLayout(file);

  auto* radios = new QHBoxLayout;
  rdc_ = new QRadioButton(QStringLiteral("C-Ebenen"), this);
  rdc_->setObjectName(QStringLiteral("rdcplane"));
  rdb_ = new QRadioButton(QStringLiteral("B-Ebenen"), this);
  rdb_->setObjectName(QStringLiteral("rdbplane"));
  rdc_->setChecked(true);
  radios->addWidget(rdc_);
  radios->addWidget(rdb_);
  radios->addStretch();
  top->addLayout(radios);

  // One group per plane system: symmetry list, planes and angles in columns.
  auto makeGroup = [&](QGroupBox*& group, const char* name, const QString& title, QComboBox*& symm,
                       const char* symmName, const char* planesLabel, const QString& planes,
                       const char* anglesLabel, const QString& angles, QLineEdit*& pStart, QLineEdit*& pStep,
                       QLineEdit*& pEnd, QLineEdit*& aStart, QLineEdit*& aStep, QLineEdit*& aEnd,
                       const char* names[6], const char* rowLabels[4]) {
    group = new QGroupBox(title, this);
    group->setObjectName(QString::fromLatin1(name));
    auto* g = new QGridLayout(group);
    symm = new QComboBox(group);
    symm->setObjectName(QString::fromLatin1(symmName));
    g->addWidget(NamedLabel(this, rowLabels[0], QStringLiteral("Symmetrie-Eigenschaften")), 0, 0);
    g->addWidget(symm, 0, 1, 1, 2);
    g->addWidget(NamedLabel(this, planesLabel, planes), 1, 1);
    g->addWidget(NamedLabel(this, anglesLabel, angles), 1, 2);
    g->addWidget(NamedLabel(this, rowLabels[1], QStringLiteral("Startwinkel")), 2, 0);
    g->addWidget(NamedLabel(this, rowLabels[2], QStringLiteral("Schrittwinkel")), 3, 0);
    g->addWidget(NamedLabel(this, rowLabels[3], QStringLiteral("Endwinkel")), 4, 0);
    pStart = AngleField(names[0], false);
    pStep = AngleField(names[1], true);
    pEnd = AngleField(names[2], false);
    aStart = AngleField(names[3], true);
    aStep = AngleField(names[4], true);
    aEnd = AngleField(names[5], true);
    for (QLineEdit* f : {pStart, pStep, pEnd, aStart, aStep, aEnd}) f->setParent(group);
    g->addWidget(pStart, 2, 1);
    g->addWidget(pStep, 3, 1);
    g->addWidget(pEnd, 4, 1);
    g->addWidget(aStart, 2, 2);
    g->addWidget(aStep, 3, 2);
    g->addWidget(aEnd, 4, 2);
  };
  const char* cNames[6] = {"cstartFld", "cStepFld", "cEndFld", "gstartFld", "gStepFld", "gEndFld"};
  const char* cRows[4] = {"Label5", "Label6", "Label7", "Label8"};
  const char* bNames[6] = {"bstartFld", "bStepFld", "bEndFld", "betastartFld", "betaStepFld", "betaEndFld"};
  const char* bRows[4] = {"Label9", "Label10", "Label11", "Label12"};
  makeGroup(cGroup_, "GroupBox1", QStringLiteral(" Koordinatensystem (C-gamma)"), symmCombo_, "SymmCombo",
            "Label13", QStringLiteral("C-Ebenen"), "Label14", QStringLiteral("gamma-Winkel"), cStart_, cStep_,
            cEnd_, gStart_, gStep_, gEnd_, cNames, cRows);
  makeGroup(bGroup_, "GroupBox2", QStringLiteral(" Koordinatensystem (B / beta)"), betaSymmCombo_,
            "betaSymmcombo", "Label15", QStringLiteral("B-Ebenen"), "Label16", QStringLiteral("beta-Winkel"),
            bStart_, bStep_, bEnd_, betaStart_, betaStep_, betaEnd_, bNames, bRows);
  auto* groups = new QHBoxLayout;
  groups->addWidget(cGroup_);
  groups->addWidget(bGroup_);
  top->addLayout(groups);

  // Measuring values, LUM32 only.
  luxPanel_ = new QWidget(this);
  luxPanel_->setObjectName(QStringLiteral("LuxPanel"));
  auto* lux = new QGridLayout(luxPanel_);
  lux->setContentsMargins(0, 0, 0, 0);
  luxBox_ = new QCheckBox(QStringLiteral("Werte in lux eingeben"), luxPanel_);
  luxBox_->setObjectName(QStringLiteral("LuxBox"));
  fluxFld_ = new QLineEdit(luxPanel_);
  fluxFld_->setObjectName(QStringLiteral("FluxFld"));
  fluxFld_->setMaxLength(8);
  fluxFld_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,6}([.,]\\d)?")), fluxFld_));
  distFld_ = new QLineEdit(luxPanel_);
  distFld_->setObjectName(QStringLiteral("DistFld"));
  distFld_->setMaxLength(6);
  distFld_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,2}([.,]\\d{0,3})?")), distFld_));
  for (QLineEdit* f : {fluxFld_, distFld_}) f->setMaximumWidth(f->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 11);
  auto* fluxLabel = new QLabel(QStringLiteral("Gesamtlichtstrom der Meßlampen"), luxPanel_);
  fluxLabel->setObjectName(QStringLiteral("Label17"));
  auto* distLabel = new QLabel(QStringLiteral("Abstand Leuchte <-> Photometerkopf"), luxPanel_);
  distLabel->setObjectName(QStringLiteral("Label18"));
  lux->addWidget(luxBox_, 0, 0, 1, 3);
  lux->addWidget(fluxLabel, 1, 0);
  lux->addWidget(fluxFld_, 1, 1);
  lux->addWidget(new QLabel(QStringLiteral("lm"), luxPanel_), 1, 2);
  lux->addWidget(distLabel, 2, 0);
  lux->addWidget(distFld_, 2, 1);
  lux->addWidget(new QLabel(QStringLiteral("m"), luxPanel_), 2, 2);
  lux->setColumnStretch(3, 1);
  top->addWidget(luxPanel_);

  auto* buttons = new QHBoxLayout;
  tr_ = TranslateButton(this, showTranslate);
  fwd_ = new QPushButton(QStringLiteral("Leuchtendatei anlegen"), this);
  fwd_->setObjectName(QStringLiteral("FwdBtn"));
  fwd_->setDefault(true);
  abort_ = new QPushButton(QStringLiteral("abbrechen"), this);
  abort_->setObjectName(QStringLiteral("abortbtn"));
  buttons->addWidget(tr_);
  buttons->addStretch();
  buttons->addWidget(fwd_);
  buttons->addWidget(abort_);
  top->addStretch();
  top->addLayout(buttons);

  LocalizeOrExport(this, Settings().OrvTxtFile);

  // The symmetry lists in the session's language.
  for (int s = 0; s <= 4; ++s) {
    const std::string key = "SYM" + std::to_string(s);
    const QString text = Q(OrvMsgText("OUTTXT", key.c_str(), key.c_str()));
    symmCombo_->addItem(text);
    if (s % 2 == 0) betaSymmCombo_->addItem(text);
  }
  symmCombo_->setCurrentIndex(0);
  betaSymmCombo_->setCurrentIndex(0);
  SetBSymmetryEntry(b_, 0);
  fluxFld_->setText(QStringLiteral("1000.0"));
  distFld_->setText(QStringLiteral("1.000"));
  formatCombo_->setCurrentIndex(1);
  FormatChanged(1);
  luxBox_->setChecked(false);
  fluxFld_->setEnabled(false);
  distFld_->setEnabled(false);
  ShowGrids();

  connect(formatCombo_, QOverload<int>::of(&QComboBox::activated), this, &TNLWIZ::FormatChanged);
  connect(symmCombo_, QOverload<int>::of(&QComboBox::activated), this, &TNLWIZ::CSymmetryChanged);
  connect(betaSymmCombo_, QOverload<int>::of(&QComboBox::activated), this, &TNLWIZ::BSymmetryChanged);
  connect(rdc_, &QRadioButton::toggled, this, &TNLWIZ::PlaneSystemChanged);
  connect(luxBox_, &QCheckBox::toggled, this, [this](bool on) {
    fluxFld_->setEnabled(on);
    distFld_->setEnabled(on);
  });
  for (QLineEdit* f : {fnFld_, cStep_, gStart_, gStep_, gEnd_, bStep_, betaStart_, betaStep_, betaEnd_})
    connect(f, &QLineEdit::editingFinished, this, [this, f] { CheckField(f); });
  connect(fwd_, &QPushButton::clicked, this, [this] { Create(); });
  connect(abort_, &QPushButton::clicked, this, &TNLWIZ::AbortClicked);
  connect(tr_, &QPushButton::clicked, this, [this] { TranslateWindow(this, SourceTextFile(), DestTextFile()); });
}

QLineEdit* TNLWIZ::AngleField(const char* name, bool editable) {
  auto* f = new QLineEdit(this);
  f->setObjectName(QString::fromLatin1(name));
  f->setMaxLength(6);
  f->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d{0,3}([.,]\\d)?")), f));
  f->setMaximumWidth(f->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 9);
  f->setReadOnly(!editable);
  if (!editable) f->setFocusPolicy(Qt::NoFocus);
  return f;
}

void TNLWIZ::FormatChanged(int entry) {
  const bool lum32 = entry == 0;
  newFormat_ = lum32 ? fmtLum32 : fmtEulumdat;
  extLabel_->setText(lum32 ? QStringLiteral(".L32") : QStringLiteral(".LDT"));
  rdb_->setEnabled(lum32);
  if (!lum32 && rdb_->isChecked()) rdc_->setChecked(true);
  luxPanel_->setVisible(lum32);
  // The extension is part of the name checked before.
  if (!fileNameFull_.empty()) CheckFileName();
  PlaneSystemChanged();
}

void TNLWIZ::CSymmetryChanged(int entry) {
  SetCSymmetry(c_, entry);
  ShowGrids();
}

void TNLWIZ::BSymmetryChanged(int entry) {
  SetBSymmetryEntry(b_, entry);
  ShowGrids();
}

void TNLWIZ::PlaneSystemChanged() {
  const bool b = rdb_->isChecked();
  cGroup_->setEnabled(!b);
  bGroup_->setEnabled(b);
}

void TNLWIZ::ShowGrids() {
  cStart_->setText(Angle(c_.planeStart));
  cStep_->setText(Angle(c_.planeStep));
  cEnd_->setText(Angle(c_.planeEnd));
  cStep_->setEnabled(c_.symmetry != 1);
  gStart_->setText(Angle(c_.angleStart));
  gStep_->setText(Angle(c_.angleStep));
  gEnd_->setText(Angle(c_.angleEnd));
  bStart_->setText(Angle(b_.planeStart));
  bStep_->setText(Angle(b_.planeStep));
  bEnd_->setText(Angle(b_.planeEnd));
  betaStart_->setText(Angle(b_.angleStart));
  betaStep_->setText(Angle(b_.angleStep));
  betaEnd_->setText(Angle(b_.angleEnd));
}

bool TNLWIZ::Refuse(QLineEdit* field, const std::string& errorKey) {
  ShowErrorL(OrvMsgText("ERRORS", errorKey.c_str(), errorKey.c_str()), Settings().MsgTxtFile);
  field->setFocus();
  field->selectAll();
  return false;
}

bool TNLWIZ::CheckFileName() {
  const std::string name = TrimBlanks(S(fnFld_->text()));
  const std::string stem = name.substr(0, name.find('.'));
  if (stem.empty()) {
    fileNameFull_.clear();
    return true;
  }
  const std::string full = AddBackslash(Settings().LumDir1) + stem + S(extLabel_->text());
  if (full == fileNameFull_) return true;  // already accepted (and asked about)
  if (pf::fs().exists(full) &&
      AskYesNoCancelL(OrvMsgText("DEFAULT MESSAGES", "DM_REPLACE", "The file already exists. Replace it?") + "\n" + full,
                      Settings().MsgTxtFile) != mrYes) {
    fileNameFull_.clear();
    fnFld_->setFocus();
    fnFld_->selectAll();
    return false;
  }
  fileNameFull_ = full;
  return true;
}

bool TNLWIZ::CheckField(QLineEdit* field) {
  // A box taking the focus ends the editing of the field again.
  if (checking_) return true;
  checking_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{checking_};
  if (field == fnFld_) return CheckFileName();
  const bool b = field == bStep_ || field == betaStart_ || field == betaStep_ || field == betaEnd_;
  TNewLumGrid& grid = b ? b_ : c_;
  const std::optional<double> v = Number(field);
  std::string error;
  if (field == cStep_ || field == bStep_) {
    error = v ? SetPlaneStep(grid, *v) : "EM_INVCS";
  } else if (field == gStart_ || field == betaStart_) {
    error = v ? SetAngleStart(grid, *v) : "EM_INVG1";
  } else if (field == gEnd_ || field == betaEnd_) {
    error = v ? SetAngleEnd(grid, *v) : "EM_INVGE";
  } else if (field == gStep_ || field == betaStep_) {
    error = v ? SetAngleStep(grid, *v) : "EM_INVGS";
  }
  if (!error.empty()) return Refuse(field, error);
  ShowGrids();
  return true;
}

bool TNLWIZ::Create() {
  // A value typed but not yet confirmed counts as entered.
  const bool b = rdb_->isChecked();
  const TNewLumGrid& g = b ? b_ : c_;
  const std::pair<QLineEdit*, const double*> fields[] = {
      {b ? bStep_ : cStep_, &g.planeStep},
      {b ? betaStart_ : gStart_, &g.angleStart},
      {b ? betaEnd_ : gEnd_, &g.angleEnd},
      {b ? betaStep_ : gStep_, &g.angleStep},
  };
  for (const auto& [field, value] : fields)
    if (field->isEnabled() && field->text() != Angle(*value) && !CheckField(field)) return false;
  ShowGrids();
  if (!CheckFileName()) return false;
  if (fileNameFull_.empty()) {
    ShowErrorL(OrvMsgText("DEFAULT MESSAGES", "DM_NOFN", "Please enter a file name."), Settings().MsgTxtFile);
    fnFld_->setFocus();
    return false;
  }
  TNewLuminaire wanted;
  wanted.grid = b ? b_ : c_;
  wanted.lumName = Cut(S(lNameFld_->text()), 80);
  wanted.manufacturer = Cut(S(lManuFld_->text()), 80);
  wanted.luxInput = newFormat_ == fmtLum32 && luxBox_->isChecked();
  if (wanted.luxInput) {
    const std::optional<double> flux = Number(fluxFld_), dist = Number(distFld_);
    if (!flux || *flux <= 0) return Refuse(fluxFld_, "EM_INVMEAS");
    if (!dist || *dist <= 0) return Refuse(distFld_, "EM_INVMEAS");
    wanted.totalFlux = *flux;
    wanted.distance = *dist;
  }
  TLUM32 lum;
  // Staged and renamed into place: an existing file the user agreed to
  // replace is never left half written.
  if (!MakeNewLuminaire(wanted, fileNameFull_, lum) ||
      !WriteLuminaireSafely(lum, static_cast<std::uint8_t>(newFormat_), fileNameFull_)) {
    ShowErrorL(OrvMsgText("DEFAULT MESSAGES", "DM_NOWRITE", "The file cannot be written") + " : " + fileNameFull_,
               Settings().MsgTxtFile);
    return false;
  }
  created_ = fileNameFull_;
  accept();
  return true;
}

void TNLWIZ::AbortClicked() {
  if (AskYesNoCancelL(OrvMsgText("DEFAULT MESSAGES", "DM_ABORT", "Abort?"), Settings().MsgTxtFile) != mrYes) return;
  fileNameFull_.clear();
  reject();
}

std::string RunNewLuminaireWizard(QWidget* owner, bool showTranslate) {
  TNLWIZ wizard(showTranslate, owner);
  return wizard.exec() == QDialog::Accepted ? wizard.CreatedFile() : std::string();
}

}  // namespace kandelo
