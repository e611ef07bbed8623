#include "ui/linfo_form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "evaluation/cone.h"
#include "evaluation/quick_planning.h"
#include "shell/msgbox.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "ui/catalogue_model.h"
#include "shell/ui_services.h"
#include "graphics/qt/drwwin_widget.h"
#include "graphics/qt/qt_output.h"
#include "platform/fileio.h"
#include "platform/text.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"
#include "texts/text_controls.h"
#include "texts/trans_dialog.h"

namespace kandelo {

namespace {

constexpr int kUserEntry = 3;      // the "user-defined" item of the height and illuminance presets
constexpr int kUserDistance = 2;   // of the section presets

QString Num(double v) { return QString::number(v, 'g', 6); }

// The luminous area of the catalogue record replaces the luminaire's, as on
// the datasheet. A record without an area (none was stored) keeps the file's.
void TakeLuminousArea(const TCatalogueRecord& rec, TLUM32& lum) {
  const std::int16_t a = rec.GetI16(catoff::AreaLength), b = rec.GetI16(catoff::AreaWidth);
  if (a <= 0) return;
  lum.LumAreaHeight[0] = static_cast<std::uint16_t>(std::max<std::int16_t>(0, rec.GetI16(catoff::AreaHeight)));
  if (b != 0) {
    lum.LumAreaLength = static_cast<std::uint16_t>(a);
    lum.LumAreaWidth = static_cast<std::uint16_t>(std::max<std::int16_t>(0, b));
  } else {
    lum.LumAreaDiameter = static_cast<std::uint16_t>(a);
  }
}

}  // namespace

TLinfoForm::TLinfoForm(const TCatalogueRecord& record, const TLUM32& lum, bool translationMode, QWidget* parent)
    : QDialog(parent), lum_(lum), record_(record), translation_(translationMode),
      msg_(std::make_unique<TMsgManager>(Settings().OrvMsgFile)) {
  BuildWidgets();
  LocalizeOrExport(this, Settings().OrvTxtFile);
  // A luminaire without a name is known by its file.
  nameSuffix_ = QStringLiteral(" : ") +
                Q(lum_.LumName.empty() ? std::filesystem::path(lum_.FileName).filename().string() : lum_.LumName);
  setWindowTitle(windowTitle() + nameSuffix_);
  status_->setText(Q(lum_.FileName));
  // The name as the file holds it: the record keeps only its first 40 characters.
  const std::string name = UncutText(record_.LumName(), lum_.LumName);
  std::string head = (record_.ShortNumber() + " ").substr(0, 16) + name + " ";
  head += std::to_string(record_.LampCount()) + "x" + record_.LampType();
  top_->setText(Q(head));
  top_->setToolTip(Q(head));

  // Opening: the computations every tab draws from.
  ui().setBusy(true);
  TakeLuminousArea(record_, lum_);
  InitEvaluationSet(lum_, Settings(), Settings().OrvMsgFile, set_);
  std::string error;
  ComputeEvaluationSet(lum_, set_, &error);
  ui().setBusy(false);

  const std::string user = msg_->GetText("DEFAULT MESSAGES", "DMUSER");
  for (QComboBox* c : {cHeightCombo_, cIllumCombo_, fHeightCombo_, fDistCombo_})
    c->addItem(Q(user.empty() ? std::string("user-defined") : user));
  FillPlaneList();
  FillValues();
  Connect();
  SelectTab(tabLvk);
}

TLinfoForm::~TLinfoForm() {
  // Hiding the dialog on its way out takes the focus from a field, whose
  // "editing finished" must not reach this half-destroyed window.
  for (QLineEdit* field : findChildren<QLineEdit*>()) field->disconnect(this);
}

std::string TLinfoForm::Msg(const char* key, const char* fallback) const {
  const std::string text = msg_->GetText("LINFO", key);
  return text.empty() ? std::string(fallback) : text;
}

void TLinfoForm::FillPlaneList() {
  filling_ = true;
  planeList_->clear();
  const bool cGamma = lum_.PlaneSystem == psCGamma;
  for (const auto& [text, angle] : set_.usable ? lum_.PlanePairList() : std::vector<std::pair<std::string, float>>{}) {
    auto* item = new QListWidgetItem(Q(text), planeList_);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setData(Qt::UserRole, static_cast<double>(angle));
    const bool tick = angle == 0.0f || (cGamma && std::lround(angle * 100.0) == 9000);
    item->setCheckState(tick ? Qt::Checked : Qt::Unchecked);
  }
  if (planeList_->count() > 0) planeList_->setCurrentRow(0);
  filling_ = false;
}

void TLinfoForm::FillValues() {
  filling_ = true;
  gmax_->setText(Num(set_.gammaMax));
  const float isoValues[4] = {set_.isolux.side, set_.isolux.height, set_.isolux.flux, set_.isolux.factor};
  for (std::size_t i = 0; i < 4; ++i) iso_[i]->setText(Num(isoValues[i]));
  distList_->setCurrentRow(set_.cone.distanceSet);
  const TLuminaireCountParams& c = set_.tables.count;
  reflCombo_->setCurrentIndex(c.Reflectances);
  areaCombo_->setCurrentIndex(c.AreaSet);
  cHeightCombo_->setCurrentIndex(std::min(c.HeightPreset, kUserEntry));
  cIllumCombo_->setCurrentIndex(std::min(c.IlluminancePreset, kUserEntry));
  for (std::size_t i = 0; i < 3; ++i) {
    cH_[i]->setText(Num(c.Heights[i]));
    cH_[i]->setEnabled(c.HeightPreset >= kUserEntry);
    cE_[i]->setText(Num(c.Illuminances[i]));
    cE_[i]->setEnabled(c.IlluminancePreset >= kUserEntry);
  }
  cMaint_->setText(Num(c.Maintenance));
  const TFloorCurveParams& f = set_.tables.floor;
  fHeightCombo_->setCurrentIndex(std::min(f.HeightPreset, kUserEntry));
  for (std::size_t i = 0; i < 3; ++i) {
    fH_[i]->setText(Num(f.Heights[i]));
    fH_[i]->setEnabled(f.HeightPreset >= kUserEntry);
  }
  fDistCombo_->setCurrentIndex(std::min(f.DistancePreset, kUserDistance));
  fL_->setText(Num(f.Left));
  fR_->setText(Num(f.Right));
  fL_->setEnabled(f.DistancePreset >= kUserDistance);
  fR_->setEnabled(f.DistancePreset >= kUserDistance);
  fMaint_->setText(Num(f.Maintenance));
  emergency_->setChecked(f.Emergency != 0);
  filling_ = false;
}

void TLinfoForm::Connect() {
  connect(tabs_, &QTabBar::currentChanged, this, [this](int tab) { SelectTab(tab); });
  for (TRadioGroup* g : {lvkGroup_, glareGroup_, utfGroup_})
    for (QObject* child : g->children())
      if (auto* b = qobject_cast<QAbstractButton*>(child))
        connect(b, &QAbstractButton::toggled, this, [this](bool on) {
          if (on) RadioChanged();
        });
  connect(planeList_, &QListWidget::itemChanged, this, &TLinfoForm::PlaneItemChanged);
  connect(gmax_, &QLineEdit::editingFinished, this, &TLinfoForm::GammaMaxEdited);
  connect(showBtn_, &QPushButton::clicked, this, &TLinfoForm::ShowIsolux);
  for (int i = 0; i < 4; ++i)
    connect(iso_[static_cast<std::size_t>(i)], &QLineEdit::editingFinished, this, [this, i] { IsoluxFieldLeft(i); });
  connect(distList_, &QListWidget::currentRowChanged, this, &TLinfoForm::ConeDistanceChanged);
  connect(reflCombo_, QOverload<int>::of(&QComboBox::activated), this, [this](int i) {
    set_.tables.count.Reflectances = i;
    CountChanged();
  });
  connect(areaCombo_, QOverload<int>::of(&QComboBox::activated), this, [this](int i) {
    if (i == set_.tables.count.AreaSet) return;
    set_.tables.count.AreaSet = i;
    CountChanged();
  });
  connect(cHeightCombo_, QOverload<int>::of(&QComboBox::activated), this, &TLinfoForm::CountHeightPresetChosen);
  connect(cIllumCombo_, QOverload<int>::of(&QComboBox::activated), this, &TLinfoForm::IlluminancePresetChosen);
  connect(fHeightCombo_, QOverload<int>::of(&QComboBox::activated), this, &TLinfoForm::FloorHeightPresetChosen);
  connect(fDistCombo_, QOverload<int>::of(&QComboBox::activated), this, &TLinfoForm::DistancePresetChosen);
  for (std::size_t i = 0; i < 3; ++i) {
    connect(cH_[i], &QLineEdit::editingFinished, this, [this, i] {
      double v = set_.tables.count.Heights[i];
      if (TakeField(cH_[i], kHeightRange, v) && static_cast<float>(v) != set_.tables.count.Heights[i]) {
        set_.tables.count.Heights[i] = static_cast<float>(v);
        CountChanged();
      }
    });
    connect(cE_[i], &QLineEdit::editingFinished, this, [this, i] {
      double v = set_.tables.count.Illuminances[i];
      if (TakeField(cE_[i], kIlluminanceRange, v) && static_cast<std::uint16_t>(v) != set_.tables.count.Illuminances[i]) {
        set_.tables.count.Illuminances[i] = static_cast<std::uint16_t>(v);
        CountChanged();
      }
    });
    connect(fH_[i], &QLineEdit::editingFinished, this, [this, i] {
      double v = set_.tables.floor.Heights[i];
      if (TakeField(fH_[i], kHeightRange, v) && static_cast<float>(v) != set_.tables.floor.Heights[i]) {
        set_.tables.floor.Heights[i] = static_cast<float>(v);
        FloorChanged();
      }
    });
  }
  connect(cMaint_, &QLineEdit::editingFinished, this, [this] {
    double v = set_.tables.count.Maintenance;
    if (TakeField(cMaint_, kMaintenanceRange, v) && static_cast<float>(v) != set_.tables.count.Maintenance) {
      set_.tables.count.Maintenance = static_cast<float>(v);
      CountChanged();
    }
  });
  connect(fMaint_, &QLineEdit::editingFinished, this, [this] {
    double v = set_.tables.floor.Maintenance;
    if (TakeField(fMaint_, kMaintenanceRange, v) && static_cast<float>(v) != set_.tables.floor.Maintenance) {
      set_.tables.floor.Maintenance = static_cast<float>(v);
      FloorChanged();
    }
  });
  for (QLineEdit* end : {fL_, fR_})
    connect(end, &QLineEdit::editingFinished, this, [this, end] {
      TFloorCurveParams& f = set_.tables.floor;
      double v = end == fL_ ? f.Left : f.Right;
      if (!TakeField(end, kSectionRange, v)) return;
      const double left = end == fL_ ? v : f.Left, right = end == fR_ ? v : f.Right;
      if (static_cast<float>(left) == f.Left && static_cast<float>(right) == f.Right) return;
      if (!(left < right)) {
        Refuse(end, S(Num(end == fL_ ? f.Left : f.Right)),
               Msg("LI_SECTION", "The left end of the section must lie below its right end."));
        return;
      }
      f.Left = static_cast<float>(left);
      f.Right = static_cast<float>(right);
      FloorChanged();
    });
  connect(emergency_, &QCheckBox::toggled, this, [this](bool on) {
    if (filling_) return;
    set_.tables.floor.Emergency = on ? 1 : 0;
    FloorChanged();
  });
  connect(copyBtn_, &QPushButton::clicked, this, &TLinfoForm::CopyToClipboard);
  connect(wmfBtn_, &QPushButton::clicked, this, [this] { WriteMetafile(); });
  connect(exportBtn_, &QPushButton::clicked, this, [this] { ExportDrawing(); });
  connect(backBtn_, &QPushButton::clicked, this, &QDialog::accept);
  connect(trBtn_, &QPushButton::clicked, this, &TLinfoForm::Translate);
  auto* copy = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert), this);
  copy->setContext(Qt::WindowShortcut);
  connect(copy, &QShortcut::activated, this, &TLinfoForm::CopyToClipboard);
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F7), this), &QShortcut::activated, this, [this] {
    translation_ = true;
    trBtn_->setVisible(true);
  });
  draw_->OnPaint = [this](TDevice& dc) { DrawEvaluationType(lum_, set_, type_, dc, rect_, Settings().BoldFont); };
}

QString TLinfoForm::BaseCaption() const {
  const QString title = windowTitle();
  return title.endsWith(nameSuffix_) ? title.left(title.size() - nameSuffix_.size()) : title;
}

void TLinfoForm::Translate() {
  // The language file keeps the caption without the name.
  setWindowTitle(BaseCaption());
  TranslateWindow(this, SourceTextFile(), DestTextFile());
  setWindowTitle(BaseCaption() + nameSuffix_);
}

TEvaluationType TLinfoForm::TypeOfTab(int tab) const {
  switch (tab) {
    case tabLvk: return lvkGroup_->ItemIndex() == 1 ? etCartesian : etPolar;
    case tabGlare: {
      const int i = glareGroup_->ItemIndex();
      return i == 1 ? etGlareCurves : i == 2 ? etGlareTable : etUgr;
    }
    case tabUtf: {
      const int i = utfGroup_->ItemIndex();
      return i == 1 ? etUtfTm5 : i == 2 ? etUtfNb : etUtfDin;
    }
    case tabIsolux: return etIsolux;
    case tabCone: return etCone;
    case tabCount: return etCount;
    default: return etFloor;
  }
}

void TLinfoForm::SelectTab(int tab) {
  if (tab < 0 || tab >= tabCountAll) return;
  if (tabs_->currentIndex() != tab) {
    tabs_->setCurrentIndex(tab);  // comes back here through currentChanged
    return;
  }
  pages_->setCurrentIndex(tab);
  // The panel takes the width of the page shown, not of the widest page, so
  // that the drawing keeps the rest.
  for (int i = 0; i < pages_->count(); ++i)
    pages_->widget(i)->setSizePolicy(i == tab ? QSizePolicy::Preferred : QSizePolicy::Ignored,
                                     i == tab ? QSizePolicy::Preferred : QSizePolicy::Ignored);
  pages_->updateGeometry();
  const bool cartesian = lvkGroup_->ItemIndex() == 1;
  gmaxLabel_->setVisible(cartesian);
  gmax_->setVisible(cartesian);
  type_ = TypeOfTab(tab);
  SetupDrawing();
  Redraw();
}

void TLinfoForm::SetupDrawing() {
  // Twips of the screen: the drawing keeps 2.5 % free on every side.
  const double dpi = draw_->logicalDpiX() > 0 ? draw_->logicalDpiX() : 96;
  const int d = static_cast<int>(std::lround(1440.0 / dpi));
  const int w = std::max(1, draw_->width() * d), h = std::max(1, draw_->height() * d);
  draw_->setMargin(0);
  draw_->SetDrawingSize(w, h);
  rect_ = TRect{static_cast<int>(std::lround(0.025 * w)), static_cast<int>(std::lround(0.025 * h)),
                static_cast<int>(std::lround(0.975 * w)), static_cast<int>(std::lround(0.975 * h))};
}

void TLinfoForm::Redraw() { draw_->update(); }

void TLinfoForm::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  SetupDrawing();
}

bool TLinfoForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == draw_ && e->type() == QEvent::Resize) SetupDrawing();
  return QDialog::eventFilter(watched, e);
}

void TLinfoForm::RadioChanged() {
  if (filling_) return;
  const bool cartesian = lvkGroup_->ItemIndex() == 1;
  gmaxLabel_->setVisible(cartesian && tabs_->currentIndex() == tabLvk);
  gmax_->setVisible(cartesian && tabs_->currentIndex() == tabLvk);
  type_ = TypeOfTab(tabs_->currentIndex());
  Redraw();
}

void TLinfoForm::PlaneItemChanged(QListWidgetItem* item) {
  if (filling_ || !item) return;
  const float angle = static_cast<float>(item->data(Qt::UserRole).toDouble());
  if (item->checkState() == Qt::Unchecked) {
    const auto it = std::find(set_.planes.begin(), set_.planes.end(), angle);
    if (it != set_.planes.end()) set_.planes.erase(it);
  } else {
    set_.planes.clear();
    for (int i = 0; i < planeList_->count(); ++i)
      if (planeList_->item(i)->checkState() == Qt::Checked)
        set_.planes.push_back(static_cast<float>(planeList_->item(i)->data(Qt::UserRole).toDouble()));
  }
  Redraw();
}

void TLinfoForm::GammaMaxEdited() {
  double v = set_.gammaMax;
  if (!TakeField(gmax_, kGammaMaxRange, v) || v == set_.gammaMax) return;
  set_.gammaMax = v;
  Redraw();
}

namespace {
// Side, height, flux and flux factor.
const TValueRange* const kIsoluxRanges[4] = {&kIsoluxLengthRange, &kIsoluxLengthRange, &kFluxRange,
                                             &kFluxFactorRange};
}  // namespace

void TLinfoForm::ApplyIsolux(const std::array<double, 4>& v) {
  TIsoluxRecord& r = set_.isolux;
  r.side = static_cast<float>(v[0]);
  r.height = static_cast<float>(v[1]);
  r.flux = static_cast<float>(v[2]);
  r.factor = static_cast<float>(v[3]);
  Redraw();
}

void TLinfoForm::ShowIsolux() {
  // All four fields or none: a refused one keeps every previous value.
  const TIsoluxRecord& r = set_.isolux;
  std::array<double, 4> v = {r.side, r.height, r.flux, r.factor};
  for (std::size_t i = 0; i < 4; ++i)
    if (!TakeField(iso_[i], *kIsoluxRanges[i], v[i])) return;
  ApplyIsolux(v);
}

void TLinfoForm::IsoluxFieldLeft(int field) {
  // The field left is refused on its own, like a field of any other tab.
  const TIsoluxRecord& r = set_.isolux;
  std::array<double, 4> v = {r.side, r.height, r.flux, r.factor};
  const std::size_t f = static_cast<std::size_t>(field);
  if (!TakeField(iso_[f], *kIsoluxRanges[f], v[f])) return;
  // The drawing follows at once when all four fields hold values in range;
  // while another one holds a value that Show would refuse, none is taken
  // (all or none), and nothing is said until Show.
  for (std::size_t i = 0; i < 4; ++i) {
    double x = 0;
    if (!ParseDouble(TrimBlanks(S(iso_[i]->text())), x) || !std::isfinite(x) || !InRange(*kIsoluxRanges[i], x)) return;
    v[i] = x;
  }
  ApplyIsolux(v);
}

void TLinfoForm::ConeDistanceChanged(int row) {
  if (filling_ || row < 0 || row >= kDistanceSetCount) return;
  set_.cone.distanceSet = static_cast<std::uint8_t>(row);
  Redraw();
}

void TLinfoForm::CountChanged() {
  ComputeLuminaireCount(set_.tables.count, set_.tables.countResult, lum_, set_.tables.roomUtil);
  Redraw();
}

void TLinfoForm::FloorChanged() {
  ComputeFloorCurves(set_.tables.floor, set_.tables.floorResult, lum_);
  Redraw();
}

void TLinfoForm::CountHeightPresetChosen(int index) {
  TLuminaireCountParams& c = set_.tables.count;
  c.HeightPreset = index;
  for (std::size_t i = 0; i < 3; ++i) {
    if (index < kUserEntry) {
      c.Heights[i] = kFloorHeightPresets[index][i];
      cH_[i]->setText(Num(c.Heights[i]));
    }
    cH_[i]->setEnabled(index >= kUserEntry);
  }
  CountChanged();
}

void TLinfoForm::IlluminancePresetChosen(int index) {
  TLuminaireCountParams& c = set_.tables.count;
  c.IlluminancePreset = index;
  for (std::size_t i = 0; i < 3; ++i) {
    if (index < kUserEntry) {
      c.Illuminances[i] = kCountIlluminancePresets[index][i];
      cE_[i]->setText(Num(c.Illuminances[i]));
    }
    cE_[i]->setEnabled(index >= kUserEntry);
  }
  CountChanged();
}

void TLinfoForm::FloorHeightPresetChosen(int index) {
  TFloorCurveParams& f = set_.tables.floor;
  f.HeightPreset = index;
  for (std::size_t i = 0; i < 3; ++i) {
    if (index < kUserEntry) {
      f.Heights[i] = kFloorHeightPresets[index][i];
      fH_[i]->setText(Num(f.Heights[i]));
    }
    fH_[i]->setEnabled(index >= kUserEntry);
  }
  FloorChanged();
}

void TLinfoForm::DistancePresetChosen(int index) {
  TFloorCurveParams& f = set_.tables.floor;
  if (index == f.DistancePreset) return;
  f.DistancePreset = index;
  if (index < kUserDistance) {
    f.Left = kFloorSectionPresets[index][0];
    f.Right = kFloorSectionPresets[index][1];
    fL_->setText(Num(f.Left));
    fR_->setText(Num(f.Right));
  }
  fL_->setEnabled(index >= kUserDistance);
  fR_->setEnabled(index >= kUserDistance);
  FloorChanged();
}

std::string TLinfoForm::RangeText(const TValueRange& r) const {
  const std::string low = S(Num(r.low)), high = S(Num(r.high));
  std::string text = Msg("LI_RANGE", "Allowed are values from") + " " + low + " " + Msg("LI_TO", "to") + " " + high;
  if (r.lowExclusive) text += " (" + Msg("LI_ABOVE", "above") + " " + low + ")";
  if (r.whole) text += ", " + Msg("LI_WHOLE", "whole numbers only");
  return text + ".";
}

bool TLinfoForm::TakeField(QLineEdit* field, const TValueRange& range, double& value) {
  const std::string previous = S(Num(value));
  const std::string text = TrimBlanks(S(field->text()));
  double v = 0;
  if (!ParseDouble(text, v) || !std::isfinite(v)) {
    Refuse(field, previous, "\"" + text + "\": " + Msg("LI_NONUMBER", "this is not a number.") + "\n" + RangeText(range));
    return false;
  }
  if (!InRange(range, v)) {
    Refuse(field, previous, "\"" + text + "\": " + Msg("LI_OUTOFRANGE", "this value is out of range.") + "\n" +
                                RangeText(range));
    return false;
  }
  value = v;
  return true;
}

void TLinfoForm::Refuse(QLineEdit* field, const std::string& previous, const std::string& why) {
  // The old value goes back first: the box takes the focus, and the field's
  // second "editing finished" then finds nothing new.
  field->setText(Q(previous));
  if (refusing_) return;
  refusing_ = true;
  ShowErrorL(why, Settings().MsgTxtFile);
  refusing_ = false;
}

std::string TLinfoForm::BaseName() const {
  const std::string name = NameWithoutExt(ExtractName(lum_.FileName));
  return name.empty() ? std::string("kandelo") : name;
}

void TLinfoForm::CopyToClipboard() {
  const TSize size = EvaluationPictureSize(type_);
  const bool bold = Settings().BoldFont;
  CopyPictureToClipboard([&](TDevice& dc) { DrawEvaluationPicture(lum_, set_, type_, dc, bold); }, size.cx, size.cy);
}

std::string TLinfoForm::WriteMetafile() {
  std::string dir = ExportDirectoryOf(Settings(), type_);
  if (dir.empty()) dir = Settings().GrafDir;
  const std::string file = AddBackslash(dir) + BaseName() + ".WMF";
  if (!dir.empty() && !DirExists(dir)) platform::fs().makeDirectory(dir);
  if (dir.empty() || !DirExists(dir) ||
      !SaveEvaluationTypeMetafile(lum_, set_, type_, file, Settings().BoldFont)) {
    ShowErrorL(Msg("LI_WRITEERR", "The file could not be written:") + " " + file, Settings().MsgTxtFile);
    return {};
  }
  ShowInfoL(Msg("LI_WRITTEN", "The drawing was written to") + " " + file, Settings().MsgTxtFile);
  return file;
}

std::string TLinfoForm::ExportDrawing() {
  int filter = 1;
  std::string dir = ExportDirectoryOf(Settings(), type_);
  if (dir.empty() || !DirExists(dir)) dir = Settings().GrafDir;
  const std::string chosen = ui().chooseSaveFile(Msg("LI_EXPORT", "Export drawing"), dir, BaseName() + ".pdf",
                                                 "PDF|*.pdf|SVG|*.svg|PNG|*.png", filter);
  if (chosen.empty()) return {};
  static const char* const kExt[3] = {".pdf", ".svg", ".png"};
  std::string file = chosen;
  std::string ext = platform::lower1252(ExtractFileExt(file));
  if (ext != ".pdf" && ext != ".svg" && ext != ".png") {
    ext = kExt[std::clamp(filter, 1, 3) - 1];
    file += ext;
  }
  // 96 dots per inch of the picture's 1000 units per inch; PNG at twice that.
  const TSize size = EvaluationPictureSize(type_);
  const int scale = ext == ".png" ? 192 : 96;
  const QSize px(std::max(1, size.cx * scale / 1000), std::max(1, size.cy * scale / 1000));
  const bool bold = Settings().BoldFont;
  const TDrawFunction draw = [&](TDevice& dc, QSize s) {
    DrawEvaluationPictureCentred(lum_, set_, type_, dc, s.width(), s.height(), bold);
  };
  const std::string path = platform::cp1252ToUtf8(file);
  const bool ok = ext == ".pdf" ? SavePdf(path, px, draw) : ext == ".svg" ? SaveSvg(path, px, draw) : SavePng(path, px, draw);
  if (!ok) {
    ShowErrorL(Msg("LI_WRITEERR", "The file could not be written:") + " " + file, Settings().MsgTxtFile);
    return {};
  }
  return file;
}

QImage TLinfoForm::RenderCurrent(QSize size) {
  return RenderImage(size, [&](TDevice& dc, QSize s) {
    TDrwWinLayout layout;
    layout.SetMargin(0);
    layout.SetClientSize(s.width(), s.height());
    layout.SetDrawingSize(draw_->Layout().DrawingSize().cx, draw_->Layout().DrawingSize().cy);
    dc.SaveDC();
    layout.ApplyMapping(dc);
    DrawEvaluationType(lum_, set_, type_, dc, rect_, Settings().BoldFont);
    dc.RestoreDC(-1);
  });
}

void ShowEvaluationWindow(const TCatalogueRecord& record, const TLUM32& lum, bool translationMode, QWidget* parent) {
  TLinfoForm form(record, lum, translationMode, parent);
  form.exec();
}

}  // namespace kandelo
