#include "ui/output_edit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "evaluation/atf.h"
#include "evaluation/cone.h"
#include "evaluation/quick_planning.h"
#include "frame/msgmanager.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "texts/dialog_parts.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"
#include "texts/trans_dialog.h"

namespace kandelo {

namespace {

// The parameter page of each output type.
const char* PageOf(int type) {
  switch (type) {
    case otPolar:
    case otKart: return "Vorgabe";
    case otIso: return "isoed";
    case otCone: return "coneed";
    case otSrt: return "srted";
    case otBbk: return "bbked";
    default: return "blank";
  }
}
const char* const kPageNames[] = {"blank", "Vorgabe", "isoed", "coneed", "srted", "bbked"};

// Light-point height presets of both parameter pages, m.
const float kHeightPresets[3][3] = {{1.65f, 2.15f, 2.65f}, {3.15f, 4.15f, 5.15f}, {4.15f, 5.15f, 6.15f}};

QString Number(double v) { return QString::number(v, 'g', 6); }

// A number typed by the user, "." or ",": false for anything else.
bool ReadNumber(const QString& text, double& v) {
  std::string s = S(text);
  std::replace(s.begin(), s.end(), ',', '.');
  return ParseDouble(s, v) && std::isfinite(v);
}

QString PresetText(const float (&p)[3], const char* unit) {
  return Number(p[0]) + " / " + Number(p[1]) + " / " + Number(p[2]) + " " + unit;
}

}  // namespace

TOutEditDlg::~TOutEditDlg() = default;

TOutEditDlg::TOutEditDlg(const TOutputSettings& settings, const std::optional<TOutputLuminaire>& lum,
                         bool showTranslate, QWidget* parent)
    : QDialog(parent), msg_(std::make_unique<TMsgManager>(Settings().OrvMsgFile)) {
  CopyOutputSettings(settings, buffer_);
  setObjectName(QStringLiteral("TOutEditDlg"));
  setWindowTitle(QStringLiteral("Ausgaben definieren "));
  auto* top = new QVBoxLayout(this);
  auto* body = new QHBoxLayout;
  top->addLayout(body);

  auto* left = new QVBoxLayout;
  auto* outLabel = new QLabel(QStringLiteral("Ausgaben"), this);
  outLabel->setObjectName(QStringLiteral("OutLabel"));
  outList_ = new QListWidget(this);
  outList_->setObjectName(QStringLiteral("OutList"));
  outList_->setMinimumWidth(320);
  left->addWidget(outLabel);
  left->addWidget(outList_);
  body->addLayout(left, 3);

  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("ParamPages"));
  body->addWidget(pages_, 2);
  BuildPages();

  const DialogButtons buttons = TranslateOkCancelRow(this, showTranslate);
  tr_ = buttons.translate;
  ok_ = buttons.ok;
  cancel_ = buttons.cancel;
  top->addLayout(buttons.row);

  LocalizeOrExport(this, Settings().OrvTxtFile);

  // The output list: every type, less UGR and glare for a luminaire without
  // luminance data; ticked as the record chooses.
  for (int type = 0; type < kOutputTypeCount; ++type) {
    if (lum && !lum->luminance && (type == otGlUgr || type == otGlDin)) continue;
    auto* item = new QListWidgetItem(Q(msg_->GetText("OUTSEL", kOutputTypeKeys[static_cast<std::size_t>(type)])));
    item->setData(Qt::UserRole, type);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(buffer_.Has(type) ? Qt::Checked : Qt::Unchecked);
    outList_->addItem(item);
  }
  outList_->setCurrentRow(0);
  pages_->setCurrentIndex(0);
  kValue_->setVisible(false);
  kValueLabel_->setVisible(false);
  FillFields();
  isoFlux_->setText(Number(lum && lum->valid ? lum->setFlux : 0.0f));
  FillPlanes(lum);

  connect(outList_, &QListWidget::currentRowChanged, this, &TOutEditDlg::ShowPageFor);
  connect(tr_, &QPushButton::clicked, this, [this] { TranslateWindow(this, SourceTextFile(), DestTextFile()); });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void TOutEditDlg::BuildPages() {
  auto label = [](QWidget* page, const char* name, const QString& text) {
    auto* l = new QLabel(text, page);
    l->setObjectName(QString::fromLatin1(name));
    return l;
  };
  auto field = [](QWidget* page, const char* name) {
    auto* f = new QLineEdit(page);
    f->setObjectName(QString::fromLatin1(name));
    f->setMaximumWidth(90);
    return f;
  };
  // A field whose number goes into the buffer at once.
  auto bindFloat = [this](QLineEdit* f, float* target) {
    connect(f, &QLineEdit::textEdited, this, [target](const QString& t) {
      double v = 0;
      if (ReadNumber(t, v)) *target = static_cast<float>(v);
    });
  };
  QWidget* page[6];
  for (int i = 0; i < 6; ++i) {
    page[i] = new QWidget(pages_);
    page[i]->setObjectName(QString::fromLatin1(kPageNames[i]));
    pages_->addWidget(page[i]);
  }

  // Planes of the polar and cartesian pages.
  {
    auto* l = new QVBoxLayout(page[1]);
    l->addWidget(label(page[1], "PlaneLabel", QStringLiteral("Ebenenauswahl")));
    planeList_ = new QListWidget(page[1]);
    planeList_->setObjectName(QStringLiteral("PlaneList"));
    l->addWidget(planeList_);
  }
  // Isolux.
  {
    auto* g = new QGridLayout(page[2]);
    isoSide_ = field(page[2], "IsoSideFld");
    isoHeight_ = field(page[2], "IsoHeightFld");
    isoFlux_ = field(page[2], "IsoFluxFld");
    kValue_ = field(page[2], "KValueFld");
    kValueLabel_ = label(page[2], "KValueLabel", QStringLiteral("K-Wert"));
    g->addWidget(label(page[2], "IsoSideLabel", QStringLiteral("Fl\u00e4chengr\u00f6\u00dfe (m)")), 0, 0);
    g->addWidget(isoSide_, 0, 1);
    g->addWidget(label(page[2], "IsoHeightLabel", QStringLiteral("Lichtpunkth\u00f6he (m)")), 1, 0);
    g->addWidget(isoHeight_, 1, 1);
    g->addWidget(label(page[2], "IsoFluxLabel", QStringLiteral("Gesamtlichtstrom (lm)")), 2, 0);
    g->addWidget(isoFlux_, 2, 1);
    g->addWidget(kValueLabel_, 3, 0);
    g->addWidget(kValue_, 3, 1);
    g->setRowStretch(4, 1);
    bindFloat(isoSide_, &buffer_.IsoSide);
    bindFloat(isoHeight_, &buffer_.IsoHeight);
    bindFloat(isoFlux_, &buffer_.IsoFlux);
    bindFloat(kValue_, &buffer_.IsoKValue);
  }
  // Cone.
  {
    auto* g = new QGridLayout(page[3]);
    cone_ = new QComboBox(page[3]);
    cone_->setObjectName(QStringLiteral("ConeDistCombo"));
    for (int i = 0; i < kDistanceSetCount; ++i) cone_->addItem(Q(DistanceSetText(i)));
    g->addWidget(label(page[3], "ConeLabel", QStringLiteral("H\u00f6he")), 0, 0);
    g->addWidget(cone_, 0, 1);
    g->setRowStretch(1, 1);
    connect(cone_, QOverload<int>::of(&QComboBox::activated), this,
            [this](int i) { buffer_.ConeDistanceSet = static_cast<std::uint8_t>(std::max(0, i)); });
  }
  const std::string user = msg_->GetText("DEFAULT MESSAGES", "DMUSER");
  // Luminaire count.
  {
    auto* g = new QGridLayout(page[4]);
    srtRefl_ = new QComboBox(page[4]);
    srtRefl_->setObjectName(QStringLiteral("SrtReflCombo"));
    for (const auto& r : kLitgReflectances)
      srtRefl_->addItem(QStringLiteral("%1 / %2 / %3 / %4").arg(r[0]).arg(r[1]).arg(r[2]).arg(r[3]));
    srtHeightPreset_ = new QComboBox(page[4]);
    srtHeightPreset_->setObjectName(QStringLiteral("SrtHeightCombo"));
    for (const auto& p : kHeightPresets) srtHeightPreset_->addItem(PresetText(p, "m"));
    srtHeightPreset_->addItem(Q(user));
    srtIllPreset_ = new QComboBox(page[4]);
    srtIllPreset_->setObjectName(QStringLiteral("SrtIllCombo"));
    for (const auto& p : kCountIlluminancePresets)
      srtIllPreset_->addItem(QStringLiteral("%1 / %2 / %3 lx").arg(p[0]).arg(p[1]).arg(p[2]));
    srtIllPreset_->addItem(Q(user));
    srtArea_ = new QComboBox(page[4]);
    srtArea_->setObjectName(QStringLiteral("SrtAreaCombo"));
    for (const auto& a : kRoomAreaSets) srtArea_->addItem(Number(a[0]) + " \u2026 " + Number(a[7]) + " m\u00b2");
    auto* hRow = new QHBoxLayout;
    auto* eRow = new QHBoxLayout;
    const char* hNames[3] = {"SrtH1Fld", "SrtH2Fld", "SrtH3Fld"};
    const char* eNames[3] = {"SrtE1Fld", "SrtE2Fld", "SrtE3Fld"};
    for (int i = 0; i < 3; ++i) {
      srtH_[i] = field(page[4], hNames[i]);
      srtE_[i] = field(page[4], eNames[i]);
      hRow->addWidget(srtH_[i]);
      eRow->addWidget(srtE_[i]);
      bindFloat(srtH_[i], &buffer_.CountHeights[static_cast<std::size_t>(i)]);
      connect(srtE_[i], &QLineEdit::textEdited, this, [this, i](const QString& t) {
        double v = 0;
        if (ReadNumber(t, v) && v >= 0 && v <= 65535)
          buffer_.CountIlluminances[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(std::lround(v));
      });
    }
    srtMf_ = field(page[4], "SrtMfFld");
    bindFloat(srtMf_, &buffer_.CountMaintenance);
    int row = 0;
    g->addWidget(label(page[4], "SrtReflLabel", QStringLiteral("Reflexionsgrade")), row, 0);
    g->addWidget(srtRefl_, row++, 1);
    g->addWidget(label(page[4], "SrtAreaLabel", QStringLiteral("Raumgr\u00f6\u00dfen")), row, 0);
    g->addWidget(srtArea_, row++, 1);
    g->addWidget(label(page[4], "SrtHeightLabel", QStringLiteral("Lichtpunkth\u00f6hen")), row, 0);
    g->addWidget(srtHeightPreset_, row++, 1);
    g->addWidget(label(page[4], "SrtHLabel", QStringLiteral("H1 / H2 / H3 (m)")), row, 0);
    g->addLayout(hRow, row++, 1);
    g->addWidget(label(page[4], "SrtIllLabel", QStringLiteral("E_nenn")), row, 0);
    g->addWidget(srtIllPreset_, row++, 1);
    g->addWidget(label(page[4], "SrtELabel", QStringLiteral("E1 / E2 / E3 (lx)")), row, 0);
    g->addLayout(eRow, row++, 1);
    g->addWidget(label(page[4], "SrtMfLabel", QStringLiteral("Verminderungsfaktor")), row, 0);
    g->addWidget(srtMf_, row++, 1);
    g->setRowStretch(row, 1);
    connect(srtRefl_, QOverload<int>::of(&QComboBox::activated), this,
            [this](int i) { buffer_.CountReflectances = std::max(0, i); });
    connect(srtArea_, QOverload<int>::of(&QComboBox::activated), this,
            [this](int i) { buffer_.CountRoomAreaSet = std::max(0, i); });
    connect(srtHeightPreset_, QOverload<int>::of(&QComboBox::activated), this, &TOutEditDlg::CountHeightPresetChanged);
    connect(srtIllPreset_, QOverload<int>::of(&QComboBox::activated), this,
            &TOutEditDlg::CountIlluminancePresetChanged);
  }
  // Floor curves.
  {
    auto* g = new QGridLayout(page[5]);
    bbkDist_ = new QComboBox(page[5]);
    bbkDist_->setObjectName(QStringLiteral("BbkDistCombo"));
    for (const auto& d : kFloorSectionPresets) bbkDist_->addItem(Number(d[0]) + " \u2026 " + Number(d[1]) + " m");
    bbkHeightPreset_ = new QComboBox(page[5]);
    bbkHeightPreset_->setObjectName(QStringLiteral("BbkHeightCombo"));
    for (const auto& p : kHeightPresets) bbkHeightPreset_->addItem(PresetText(p, "m"));
    bbkHeightPreset_->addItem(Q(user));
    auto* hRow = new QHBoxLayout;
    const char* hNames[3] = {"BbkH1Fld", "BbkH2Fld", "BbkH3Fld"};
    for (int i = 0; i < 3; ++i) {
      bbkH_[i] = field(page[5], hNames[i]);
      hRow->addWidget(bbkH_[i]);
      bindFloat(bbkH_[i], &buffer_.FloorHeights[static_cast<std::size_t>(i)]);
    }
    bbkMf_ = field(page[5], "BbkMfFld");
    bindFloat(bbkMf_, &buffer_.FloorMaintenance);
    emergency_ = new QCheckBox(QStringLiteral("Notbeleuchtung"), page[5]);
    emergency_->setObjectName(QStringLiteral("EmergencyCheck"));
    int row = 0;
    g->addWidget(label(page[5], "BbkDistLabel", QStringLiteral("Entfernungen")), row, 0);
    g->addWidget(bbkDist_, row++, 1);
    g->addWidget(label(page[5], "BbkHeightLabel", QStringLiteral("Lichtpunkth\u00f6hen")), row, 0);
    g->addWidget(bbkHeightPreset_, row++, 1);
    g->addWidget(label(page[5], "BbkHLabel", QStringLiteral("H1 / H2 / H3 (m)")), row, 0);
    g->addLayout(hRow, row++, 1);
    g->addWidget(label(page[5], "BbkMfLabel", QStringLiteral("Verminderungsfaktor")), row, 0);
    g->addWidget(bbkMf_, row++, 1);
    g->addWidget(emergency_, row++, 0, 1, 2);
    g->setRowStretch(row, 1);
    connect(bbkDist_, QOverload<int>::of(&QComboBox::activated), this, [this](int i) {
      if (i < 0 || i > 1) return;
      buffer_.FloorDistancePreset = i;
      buffer_.FloorSectionEnds = {kFloorSectionPresets[i][0], kFloorSectionPresets[i][1]};
    });
    connect(bbkHeightPreset_, QOverload<int>::of(&QComboBox::activated), this,
            &TOutEditDlg::FloorHeightPresetChanged);
    connect(emergency_, &QCheckBox::toggled, this, [this](bool on) { buffer_.Emergency = on ? 1 : 0; });
  }
}

void TOutEditDlg::FillFields() {
  const TOutputSettings& b = buffer_;
  isoSide_->setText(Number(b.IsoSide));
  isoHeight_->setText(Number(b.IsoHeight));
  kValue_->setText(Number(b.IsoKValue));
  cone_->setCurrentIndex(std::clamp<int>(b.ConeDistanceSet, 0, kDistanceSetCount - 1));
  srtRefl_->setCurrentIndex(std::clamp(b.CountReflectances, 0, 14));
  srtHeightPreset_->setCurrentIndex(std::clamp(b.CountHeightPreset, 0, 3));
  srtIllPreset_->setCurrentIndex(std::clamp(b.CountIlluminancePreset, 0, 3));
  srtArea_->setCurrentIndex(std::clamp(b.CountRoomAreaSet, 0, 3));
  for (int i = 0; i < 3; ++i) {
    const auto k = static_cast<std::size_t>(i);
    srtH_[i]->setText(Number(b.CountHeights[k]));
    srtE_[i]->setText(QString::number(b.CountIlluminances[k]));
    srtH_[i]->setEnabled(b.CountHeightPreset >= 3);
    srtE_[i]->setEnabled(b.CountIlluminancePreset >= 3);
    bbkH_[i]->setText(Number(b.FloorHeights[k]));
    bbkH_[i]->setEnabled(b.FloorHeightPreset >= 3);
  }
  srtMf_->setText(Number(b.CountMaintenance));
  bbkDist_->setCurrentIndex(std::clamp(b.FloorDistancePreset, 0, 1));
  bbkHeightPreset_->setCurrentIndex(std::clamp(b.FloorHeightPreset, 0, 3));
  bbkMf_->setText(Number(b.FloorMaintenance));
  emergency_->setChecked(b.Emergency != 0);
}

void TOutEditDlg::FillPlanes(const std::optional<TOutputLuminaire>& lum) {
  std::vector<std::pair<std::string, float>> planes;
  if (lum && lum->valid && !lum->planePairs.empty()) {
    planes = lum->planePairs;
    std::stable_sort(planes.begin(), planes.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
  } else {
    for (int c = 0; c <= 150; c += 15)
      planes.emplace_back("C" + std::to_string(c) + " / C" + std::to_string(c + 180), static_cast<float>(c));
  }
  // The planes chosen before stay ticked where the list offers them; when it
  // offers none of them, the luminaire's own choice as the command line makes
  // it: C0 / C180, and C90 / C270 for a luminaire that is not rotationally
  // symmetric (it offers more than one pair).
  auto offered = [&](float angle) {
    return std::any_of(planes.begin(), planes.end(), [angle](const auto& p) { return p.second == angle; });
  };
  std::vector<float> ticked;
  for (float angle : *buffer_.Planes)
    if (offered(angle)) ticked.push_back(angle);
  if (ticked.empty() && !planes.empty()) {
    ticked.push_back(planes.front().second);
    if (lum && planes.size() > 1 && offered(90.0f)) ticked.push_back(90.0f);
  }
  for (const auto& [text, angle] : planes) {
    auto* item = new QListWidgetItem(Q(text), planeList_);
    item->setData(Qt::UserRole, angle);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    const bool on = std::find(ticked.begin(), ticked.end(), angle) != ticked.end();
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
  }
}

QString TOutEditDlg::PageName() const { return pages_->currentWidget()->objectName(); }

void TOutEditDlg::ShowPageFor(int row) {
  QListWidgetItem* item = outList_->item(row);
  const char* name = item ? PageOf(item->data(Qt::UserRole).toInt()) : "blank";
  for (int i = 0; i < pages_->count(); ++i)
    if (pages_->widget(i)->objectName() == QLatin1String(name)) pages_->setCurrentIndex(i);
}

void TOutEditDlg::CountHeightPresetChanged(int index) {
  buffer_.CountHeightPreset = std::clamp(index, 0, 3);
  for (int i = 0; i < 3; ++i) {
    if (index >= 0 && index < 3) {
      buffer_.CountHeights[static_cast<std::size_t>(i)] = kHeightPresets[index][i];
      srtH_[i]->setText(Number(kHeightPresets[index][i]));
    }
    srtH_[i]->setEnabled(index >= 3);
  }
}

void TOutEditDlg::CountIlluminancePresetChanged(int index) {
  buffer_.CountIlluminancePreset = std::clamp(index, 0, 3);
  for (int i = 0; i < 3; ++i) {
    if (index >= 0 && index < 3) {
      buffer_.CountIlluminances[static_cast<std::size_t>(i)] = kCountIlluminancePresets[index][i];
      srtE_[i]->setText(QString::number(kCountIlluminancePresets[index][i]));
    }
    srtE_[i]->setEnabled(index >= 3);
  }
}

void TOutEditDlg::FloorHeightPresetChanged(int index) {
  buffer_.FloorHeightPreset = std::clamp(index, 0, 3);
  for (int i = 0; i < 3; ++i) {
    if (index >= 0 && index < 3) {
      buffer_.FloorHeights[static_cast<std::size_t>(i)] = kHeightPresets[index][i];
      bbkH_[i]->setText(Number(kHeightPresets[index][i]));
    }
    bbkH_[i]->setEnabled(index >= 3);
  }
}

void TOutEditDlg::accept() {
  buffer_.OutputSet = 0;
  for (int i = 0; i < outList_->count(); ++i)
    if (outList_->item(i)->checkState() == Qt::Checked) buffer_.Set(outList_->item(i)->data(Qt::UserRole).toInt(), true);
  buffer_.Planes->clear();
  for (int i = 0; i < planeList_->count(); ++i)
    if (planeList_->item(i)->checkState() == Qt::Checked)
      buffer_.Planes->push_back(planeList_->item(i)->data(Qt::UserRole).toFloat());
  QDialog::accept();
}

bool EditOutputSettings(TOutputSettings& settings, const std::optional<TOutputLuminaire>& lum, bool translationMode,
                        QWidget* parent) {
  TOutEditDlg dlg(settings, lum, translationMode, parent);
  if (dlg.exec() != QDialog::Accepted) return false;
  CopyOutputSettings(dlg.Buffer(), settings);
  return true;
}

}  // namespace kandelo
