#include "ui/record_editor.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableView>
#include <QVBoxLayout>
#include <cmath>

#include "conversion/save_luminaire.h"
#include "conversion/staging_dir.h"
#include "database/catalogue.h"
#include "database/lamp_record.h"
#include "database/lamp_table.h"
#include "evaluation/litg.h"
#include "evaluation/polar_diagram.h"
#include "shell/msgbox.h"
#include "frame/msgmanager.h"
#include "frame/pathlist.h"
#include "frame/settings.h"
#include "frame/strutil.h"
#include "shell/ui_services.h"
#include "graphics/qt/drwwin_widget.h"
#include "photometry/format_io.h"
#include "platform/fileio.h"
#include "platform/text.h"
#include "texts/dialog_parts.h"
#include "texts/dialog_tool.h"
#include "texts/qstr.h"
#include "texts/trans_dialog.h"
#include "ui/browser_backend.h"
#include "ui/lamp_windows.h"
#include "ui/small_editors.h"
#include "ui/text_viewer.h"
#include "ui/ui_texts.h"

namespace kandelo {

namespace pf = kandelo::platform;

// The intensity table without a widget per cell: the view asks for the cells
// it shows.
class TIntensityTableModel : public QAbstractTableModel {
 public:
  std::function<void()> OnEdited;
  void Reset(TLUM32* lum, double factor) {
    beginResetModel();
    lum_ = lum;
    factor_ = factor;
    endResetModel();
  }
  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() || !lum_ ? 0 : lum_->GammaCount;
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() || !lum_ ? 0 : lum_->CPlaneCount;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!lum_ || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return QString::number(lum_->GetValue(index.column() + 1, index.row() + 1) / factor_, 'f', 2);
  }
  QVariant headerData(int section, Qt::Orientation o, int role) const override {
    if (!lum_ || role != Qt::DisplayRole) return {};
    if (o == Qt::Horizontal) {
      static const char* const prefix[3] = {"C ", "B ", "A "};
      return QString::fromLatin1(prefix[lum_->PlaneSystem < 3 ? lum_->PlaneSystem : 0]) +
             QString::number(lum_->CAngle(section + 1), 'f', 1);
    }
    return QString::number(lum_->GammaAngle(section + 1), 'f', 1) + QChar(0x00B0);
  }
  Qt::ItemFlags flags(const QModelIndex& index) const override {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    return editable ? f | Qt::ItemIsEditable : f;
  }
  bool setData(const QModelIndex& index, const QVariant& value, int role) override {
    if (!lum_ || role != Qt::EditRole) return false;
    QString t = value.toString().trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || v < 0 || !std::isfinite(v)) return false;
    if (StoreTableValue(*lum_, index.column() + 1, index.row() + 1, v, factor_))
      emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    else
      emit dataChanged(index, index);
    lum_->FindMaxIntensity();
    if (OnEdited) OnEdited();
    return true;
  }
  bool editable = true;

 private:
  TLUM32* lum_ = nullptr;
  double factor_ = 1;
};

namespace {

// Cell entries: "#####.##".
class CellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
    auto* e = new QLineEdit(parent);
    e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,5}([.,]\\d{0,2})?")), e));
    return e;
  }
};

QLineEdit* TextField(QWidget* parent, const char* name, int maxLength) {
  auto* f = new QLineEdit(parent);
  f->setObjectName(QString::fromLatin1(name));
  f->setMaxLength(maxLength);
  return f;
}

QLineEdit* NumberField(QWidget* parent, const char* name, int digits) {
  auto* f = TextField(parent, name, digits);
  f->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,%1}").arg(digits)), f));
  f->setMaximumWidth(f->fontMetrics().horizontalAdvance(QLatin1Char('0')) * (digits + 4));
  return f;
}

QLabel* Caption(QWidget* parent, const char* name, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QString::fromLatin1(name));
  return l;
}

int Int(const QLineEdit* f) { return f->text().trimmed().toInt(); }

double Real(const QLineEdit* f) {
  QString t = f->text().trimmed();
  t.replace(QLatin1Char(','), QLatin1Char('.'));
  return t.toDouble();
}

TDrwWin* Diagram(QWidget* parent, const char* name) {
  auto* d = new TDrwWin(parent);
  d->setObjectName(QString::fromLatin1(name));
  d->setMargin(0);
  d->setAutoFillBackground(true);
  QPalette white = d->palette();
  white.setColor(QPalette::Window, Qt::white);
  d->setPalette(white);
  d->setMinimumSize(240, 240);
  return d;
}

// The drawing size follows the control in twips; the diagram takes 2.5 % to
// 97.5 % of it.
void FitDiagram(TDrwWin* d) {
  const int t = 1440 / std::max(1, d->logicalDpiX());
  d->SetDrawingSize(std::max(1, t * d->width()), std::max(1, t * d->height()));
}

TRect DiagramRect(const TDrwWin* d) {
  const TSize a = d->Layout().DrawingSize();
  return {static_cast<std::int32_t>(std::lround(0.025 * a.cx)), static_cast<std::int32_t>(std::lround(0.025 * a.cy)),
          static_cast<std::int32_t>(std::lround(0.975 * a.cx)), static_cast<std::int32_t>(std::lround(0.975 * a.cy))};
}

}  // namespace

Tdbedform::Tdbedform(const TCatalogueRecord& record, EditMode mode, BrowserBackend& backend, bool showTranslate,
                     QWidget* parent)
    : QDialog(parent), backend_(backend), mode_(mode), rec_(record) {
  setObjectName(QStringLiteral("Tdbedform"));
  setWindowTitle(QStringLiteral("Leuchtendaten-Editor"));
  setMinimumSize(800, 600);
  auto* top = new QVBoxLayout(this);
  pages_ = new QStackedWidget(this);
  auto* general = new QWidget(pages_);
  auto* tablePage = new QWidget(pages_);
  auto* coordPage = new QWidget(pages_);
  BuildGeneralPage(general);
  BuildTablePage(tablePage);
  BuildCoordinatePage(coordPage);
  pages_->addWidget(general);
  pages_->addWidget(tablePage);
  pages_->addWidget(coordPage);
  top->addWidget(pages_, 1);

  auto* bar = new QHBoxLayout;
  tr_ = TranslateButton(this, showTranslate);
  tabs_ = new QTabBar(this);
  tabs_->setObjectName(QStringLiteral("EdTabs"));
  tabs_->addTab(QStringLiteral("Allgemein"));
  tabs_->addTab(QStringLiteral("LVK-Tabelle"));
  tabs_->addTab(QStringLiteral("Koordinatensystem"));
  b2c_ = new QPushButton(QStringLiteral("B --> C"), this);
  b2c_->setObjectName(QStringLiteral("B2CBtn"));
  b2c_->hide();
  saveAs_ = new QPushButton(QStringLiteral("Speichern als"), this);
  saveAs_->setObjectName(QStringLiteral("SaveAsBtn"));
  cancel_ = new QPushButton(QStringLiteral("Abbruch"), this);
  cancel_->setObjectName(QStringLiteral("BitBtn2"));
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setObjectName(QStringLiteral("BitBtn1"));
  bar->addWidget(tr_);
  bar->addWidget(tabs_);
  bar->addStretch();
  bar->addWidget(b2c_);
  bar->addWidget(saveAs_);
  bar->addWidget(cancel_);
  bar->addWidget(ok_);
  top->addLayout(bar);

  LocalizeOrExport(this, Settings().OrvTxtFile);
  if (!LampTable()) {
    std::string fault;
    if (OpenLampTable(DefaultLampTablePath(), &fault)) closeLamps_ = true;
    else if (!fault.empty()) ShowError(fault);
    else Error("DM_LAMPINITERR", "The lamp table cannot be opened");
  }
  // The symmetry names after localizing: the list is not one of the window's texts.
  static const char* const symmetries[5] = {"asymmetrisch", "rotationssymmmetrisch", "symmetrisch zu C 0  / C180",
                                            "symmetrisch zu C90 / C270", "symmetrisch zu C 0  / C 90"};
  for (int s = 0; s < 5; ++s) {
    const std::string key = "SYM" + std::to_string(s);
    const std::string t = OrvMsgText("OUTTXT", key.c_str(), symmetries[s]);
    symm_->addItem(Q(t));
  }

  if (mode_ == EditMode::New) {
    rec_ = NewEntryRecord();
    xDate_->setText(QDateTime::currentDateTime().toString(QStringLiteral("dd/MM/yyyy")));
  } else {
    path_ = AddBackslash(backend_.GetPath(rec_.DirIndex())) + CatalogueFileName(rec_);
    if (mode_ == EditMode::Edit) original_ = pf::readWholeFile(path_);
    LoadWorking(path_);
    if (mode_ == EditMode::Copy) rec_.SetShortNumber("");
  }
  FillGeneralPage();
  useAll_->setChecked(true);

  connect(tabs_, &QTabBar::tabBarClicked, this, [this](int i) { ChangePage(i); });
  connect(ok_, &QPushButton::clicked, this, [this] { OkClicked(); });
  connect(cancel_, &QPushButton::clicked, this, &Tdbedform::CancelClicked);
  connect(saveAs_, &QPushButton::clicked, this, [this] { SaveAsClicked(); });
  connect(b2c_, &QPushButton::clicked, this, &Tdbedform::B2CClicked);
  connect(tr_, &QPushButton::clicked, this, [this] { TranslateWindow(this, SourceTextFile(), DestTextFile()); });
}

Tdbedform::~Tdbedform() {
  if (closeLamps_) CloseLampTable();
}

void Tdbedform::Error(const char* key, const char* fallback, const std::string& detail) {
  std::string text = OrvMsgText("DEFAULT MESSAGES", key, fallback);
  if (!detail.empty()) text += " : " + detail;
  ShowErrorL(text, Settings().MsgTxtFile);
}

void Tdbedform::RefusePage(const std::string& key) {
  Error(key.c_str(), key.c_str());
  // The cursor goes to what is missing.
  QWidget* field = key == "DM_NOFILE"    ? static_cast<QWidget*>(select_)
                   : key == "DM_NOBEST"  ? lmpNo_[0]
                   : key == "DM_NOLAMP"  ? flux_[0]
                   : key == "DM_NOLDIM"  ? len_
                   : key == "DM_NOLLDIM" ? lLen_
                                         : nullptr;
  if (page_ != 0) {
    page_ = 0;
    pages_->setCurrentIndex(0);
    tabs_->setCurrentIndex(0);
  }
  if (field) field->setFocus();
}

QLineEdit* Tdbedform::Field(const char* name) const { return findChild<QLineEdit*>(QString::fromLatin1(name)); }

void Tdbedform::BuildGeneralPage(QWidget* page) {
  auto* row = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  auto* g = new QGridLayout;
  // The real name of the file, not the alias the record may keep for it.
  lFile_ = TextField(page, "LFileFld", static_cast<int>(kMaxRealNameLength));
  lFile_->setReadOnly(true);
  lFile_->setMinimumWidth(lFile_->fontMetrics().averageCharWidth() * 32);
  select_ = new QPushButton(QStringLiteral("Auswahl"), page);
  select_->setObjectName(QStringLiteral("SelectBtn"));
  fed_ = new QPushButton(QStringLiteral("..."), page);
  fed_->setObjectName(QStringLiteral("fedBtn"));
  fed_->setToolTip(QStringLiteral("Leuchtendatei als Text ansehen / bearbeiten"));
  auto* fileRow = new QHBoxLayout;
  fileRow->addWidget(lFile_);
  fileRow->addWidget(select_);
  fileRow->addWidget(fed_);
  fileRow->addStretch();
  manu_ = TextField(page, "ManuFld", 80);
  mNum_ = TextField(page, "MNumFld", 40);
  lName_ = TextField(page, "LNameFld", 80);
  lNum_ = TextField(page, "LNumFld", 80);
  mDate_ = TextField(page, "MDatefld", 40);
  bea_ = TextField(page, "BeaFld", 40);
  xDate_ = TextField(page, "xDateFld", 10);
  xDate_->setReadOnly(true);
  xDate_->setEnabled(false);
  bea_->hide();
  xDate_->hide();
  auto* dateRow = new QHBoxLayout;
  dateRow->addWidget(mDate_);
  dateRow->addWidget(bea_);
  dateRow->addWidget(xDate_);
  memo_ = new QPlainTextEdit(page);
  memo_->setObjectName(QStringLiteral("commentmemo"));
  memo_->setMaximumHeight(memo_->fontMetrics().lineSpacing() * 6);
  memoLabel_ = Caption(page, "Label9", QStringLiteral("Kommentar"));
  measInfo_ = new QPushButton(QStringLiteral("Meß-Info"), page);
  measInfo_->setObjectName(QStringLiteral("measInfoBtn"));
  measInfo_->hide();
  g->addWidget(Caption(page, "Label1", QStringLiteral("Leuchtendatei")), 0, 0);
  g->addLayout(fileRow, 0, 1);
  g->addWidget(Caption(page, "Label2", QStringLiteral("Hersteller ")), 1, 0);
  g->addWidget(manu_, 1, 1);
  g->addWidget(Caption(page, "Label3", QStringLiteral("Mess-Nummer")), 2, 0);
  g->addWidget(mNum_, 2, 1);
  g->addWidget(Caption(page, "Label4", QStringLiteral("Leuchtenbezeichnung")), 3, 0);
  g->addWidget(lName_, 3, 1);
  g->addWidget(Caption(page, "Label5", QStringLiteral("Leuchten-Nummer")), 4, 0);
  g->addWidget(lNum_, 4, 1);
  g->addWidget(Caption(page, "Label6", QStringLiteral("Datum/Bearbeiter")), 5, 0);
  g->addLayout(dateRow, 5, 1);
  g->addWidget(memoLabel_, 6, 0, Qt::AlignTop);
  g->addWidget(memo_, 6, 1);
  left->addLayout(g);

  auto* lamps = new QGroupBox(QStringLiteral("Bestückung(en)"), page);
  lamps->setObjectName(QStringLiteral("GroupBox1"));
  auto* lg = new QGridLayout(lamps);
  lg->addWidget(Caption(lamps, "Label10", QStringLiteral("Nr")), 0, 1);
  lg->addWidget(Caption(lamps, "Label11", QStringLiteral("Lampentyp")), 0, 2);
  lg->addWidget(Caption(lamps, "Label12", QStringLiteral("Phi-ges.")), 0, 3);
  lg->addWidget(Caption(lamps, "Label13", QStringLiteral("Wattage")), 0, 5);
  static const char* const no[3] = {"LmpNoFld", "LmpNoFld2", "LmpNoFld3"};
  static const char* const type[3] = {"LampTFld", "LampTFld2", "LampTFld3"};
  static const char* const flux[3] = {"FluxFld", "FluxFld2", "FluxFld3"};
  static const char* const watt[3] = {"WattFld", "WattFld2", "WattFld3"};
  for (int i = 0; i < 3; ++i) {
    lg->addWidget(new QLabel(QString::number(i + 1), lamps), i + 1, 0);
    lmpNo_[i] = NumberField(lamps, no[i], 2);
    lmpNo_[i]->setToolTip(QStringLiteral("Anzahl der Lampen"));
    lampT_[i] = TextField(lamps, type[i], 24);
    flux_[i] = TextField(lamps, flux[i], 8);
    flux_[i]->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,6}([.,]\\d{0,1})?")), flux_[i]));
    flux_[i]->setMaximumWidth(flux_[i]->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 11);
    flux_[i]->setToolTip(QStringLiteral("Gesamtlichtstrom"));
    watt_[i] = NumberField(lamps, watt[i], 5);
    lg->addWidget(lmpNo_[i], i + 1, 1);
    lg->addWidget(lampT_[i], i + 1, 2);
    lg->addWidget(flux_[i], i + 1, 3);
    lg->addWidget(new QLabel(QStringLiteral("lm"), lamps), i + 1, 4);
    lg->addWidget(watt_[i], i + 1, 5);
    lg->addWidget(new QLabel(QStringLiteral("W"), lamps), i + 1, 6);
  }
  lampSel_ = new QPushButton(QStringLiteral("..."), lamps);
  lampSel_->setObjectName(QStringLiteral("LSBtn"));
  lampSel_->setToolTip(QStringLiteral("Lampe aus der Lampentabelle"));
  lg->addWidget(lampSel_, 1, 7);
  lg->setColumnStretch(2, 1);
  left->addWidget(lamps);

  auto* dims = new QGridLayout;
  len_ = NumberField(page, "LenFld", 5);
  wid_ = NumberField(page, "WidFld", 5);
  hgt_ = NumberField(page, "HgtFld", 5);
  lLen_ = NumberField(page, "LLenFld", 5);
  lWid_ = NumberField(page, "LWidFld", 5);
  lHgt_ = NumberField(page, "LHgtFld", 5);
  dims->addWidget(Caption(page, "Label14", QStringLiteral("Leuchtenabmessungen /mm")), 0, 0);
  dims->addWidget(Caption(page, "Label15", QStringLiteral("Abmessungen / leuchtende Fläche ")), 1, 0);
  int c = 1;
  for (auto [caption, name, name2, a, b] :
       {std::tuple{"L/D", "Label16", "Label26", len_, lLen_}, std::tuple{"B", "Label17", "Label27", wid_, lWid_},
        std::tuple{"H", "Label18", "Label28", hgt_, lHgt_}}) {
    dims->addWidget(Caption(page, name, QString::fromLatin1(caption)), 0, c, Qt::AlignRight);
    dims->addWidget(a, 0, c + 1);
    dims->addWidget(Caption(page, name2, QString::fromLatin1(caption)), 1, c, Qt::AlignRight);
    dims->addWidget(b, 1, c + 1);
    c += 2;
  }
  dims->setColumnStretch(c, 1);
  left->addLayout(dims);
  auto* symRow = new QHBoxLayout;
  symm_ = new QComboBox(page);
  symm_->setObjectName(QStringLiteral("SymmBox"));
  symm_->setEnabled(false);
  symRow->addWidget(Caption(page, "Label19", QStringLiteral("Symmetrie")));
  symRow->addWidget(symm_);
  symRow->addWidget(measInfo_);
  symRow->addStretch();
  left->addLayout(symRow);
  left->addStretch();
  row->addLayout(left, 3);

  graph_ = Diagram(page, "Graph");
  graph_->OnPaint = [this](TDevice& dc) {
    FitDiagram(graph_);
    if (!work_ || !work_->Valid) return;
    const std::vector<float> planes = PlaneList();
    DrawLVKPolar(*work_, &planes, dc, false, Settings().OrvMsgFile, true, false, DiagramRect(graph_), {});
  };
  row->addWidget(graph_, 2);

  for (QLineEdit* f : {manu_, mNum_, lName_, lNum_, mDate_, len_, wid_, hgt_, lLen_, lWid_, lHgt_})
    connect(f, &QLineEdit::editingFinished, this, &Tdbedform::FieldLeft);
  for (int i = 0; i < 3; ++i)
    for (QLineEdit* f : {lmpNo_[i], lampT_[i], flux_[i], watt_[i]})
      connect(f, &QLineEdit::editingFinished, this, &Tdbedform::FieldLeft);
  connect(select_, &QPushButton::clicked, this, [this] {
    std::string dir = Settings().LumDir2;
    if (dir.empty() || !pf::fs().isDirectory(dir)) dir = pf::fs().currentDirectory();
    const std::string chosen = ui().chooseOpenFile(OrvMsgText("DEFAULT MESSAGES", "DM_FILE", "File"), dir,
                                                   OpenFileTypes(TMsgManager(Settings().OrvMsgFile)));
    if (!chosen.empty()) ChooseFile(chosen);
  });
  connect(lampSel_, &QPushButton::clicked, this, &Tdbedform::SelectLampClicked);
  connect(measInfo_, &QPushButton::clicked, this, [this] {
    if (work_ && work_->Valid) EditMeasurementInfo(*work_, this);
  });
  connect(fed_, &QPushButton::clicked, this, &Tdbedform::ViewTextClicked);
}

void Tdbedform::SelectLampClicked() {
  if (!LampTable()) return;
  TLampRecord lamp;
  lamp.SetLampType(rec_.LampType());
  lamp.SetFlux(rec_.LampFlux());
  lamp.SetWatt(rec_.GetI16(catoff::LampWatt));
  if (!SelectLamp(lamp, this)) return;
  // Taken as they are, not multiplied by the row's lamp count.
  lampT_[0]->setText(Q(TrimBlanks(lamp.LampType())));
  flux_[0]->setText(QString::number(lamp.Flux(), 'f', lamp.Flux() == std::floor(lamp.Flux()) ? 0 : 1));
  watt_[0]->setText(QString::number(lamp.Watt()));
  rec_.SetLampType(Cut(lamp.LampType(), 20));
  rec_.SetLampFlux(lamp.Flux());
  rec_.SetI16(catoff::LampWatt, lamp.Watt());
  rec_.SetI16(catoff::BallastWatt, lamp.BallastWatt());
}

void Tdbedform::ViewTextClicked() {
  static const std::uint8_t textFormats[] = {fmtEulumdat, fmtEulumdat2, fmtTm14, fmtIes86, fmtIes91, fmtIes95};
  if (!work_ || !work_->Valid || !pf::fs().exists(path_) ||
      std::find(std::begin(textFormats), std::end(textFormats), work_->FormatCode) == std::end(textFormats))
    return;
  if (!ViewTextFile(path_, this)) return;
  // Saved in the viewer: the file is what this window knows now.
  LoadWorking(path_);
  FillGeneralPage();
}

void Tdbedform::BuildTablePage(QWidget* page) {
  auto* row = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  table_ = new QTableView(page);
  table_->setObjectName(QStringLiteral("LVKTable"));
  model_ = std::make_unique<TIntensityTableModel>();
  table_->setModel(model_.get());
  table_->setItemDelegate(new CellDelegate(table_));
  table_->horizontalHeader()->setDefaultSectionSize(100);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  left->addWidget(table_, 1);
  auto* units = new QGroupBox(QStringLiteral(" Werte editieren als "), page);
  units->setObjectName(QStringLiteral("GroupBox2"));
  auto* ul = new QVBoxLayout(units);
  edRb1_ = new QRadioButton(QStringLiteral("Betriebslichtstärke [ cd / klm ]"), units);
  edRb1_->setObjectName(QStringLiteral("EdRB1"));
  edRb2_ = new QRadioButton(QStringLiteral("Lichtstärke [ cd ]"), units);
  edRb2_->setObjectName(QStringLiteral("edRB2"));
  edRb3_ = new QRadioButton(QStringLiteral("Beleuchtungsstärke [ lx ]"), units);
  edRb3_->setObjectName(QStringLiteral("edRB3"));
  edRb1_->setChecked(true);
  ul->addWidget(edRb1_);
  ul->addWidget(edRb2_);
  ul->addWidget(edRb3_);
  left->addWidget(units);
  row->addLayout(left, 3);
  graph2_ = Diagram(page, "Graph2");
  graph2_->OnPaint = [this](TDevice& dc) {
    FitDiagram(graph2_);
    if (!work_ || !work_->Valid || work_->CPlaneCount == 0) return;
    const std::vector<float> planes{work_->CAngle(std::clamp(activeColumn_, 1, int(work_->CPlaneCount)))};
    DrawLVKPolar(*work_, &planes, dc, false, Settings().OrvMsgFile, false, false, DiagramRect(graph2_), {});
  };
  row->addWidget(graph2_, 2);
  model_->OnEdited = [this] { graph2_->update(); };
  connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid() && current.column() + 1 != activeColumn_) {
              activeColumn_ = current.column() + 1;
              graph2_->update();
            }
          });
  connect(edRb1_, &QRadioButton::clicked, this, [this] { SetTableUnit(TableUnit::CdPerKlm); });
  connect(edRb2_, &QRadioButton::clicked, this, [this] { SetTableUnit(TableUnit::Candela); });
  connect(edRb3_, &QRadioButton::clicked, this, [this] { SetTableUnit(TableUnit::Lux); });
}

void Tdbedform::BuildCoordinatePage(QWidget* page) {
  auto* row = new QHBoxLayout(page);
  auto* left = new QVBoxLayout;
  auto* rot = new QGroupBox(QStringLiteral(" Rotationen "), page);
  rot->setObjectName(QStringLiteral("GroupBox3"));
  auto* rg = new QGridLayout(rot);
  auto spin = [rot](const char* name) {
    auto* s = new QDoubleSpinBox(rot);
    s->setObjectName(QString::fromLatin1(name));
    s->setDecimals(2);
    s->setRange(-9999.99, 9999.99);
    s->setSingleStep(5);
    return s;
  };
  cTurn_ = spin("CTurnFld");
  g0Turn_ = spin("G0TurnFld");
  g90Turn_ = spin("G90TurnFld");
  turnBtn_ = new QPushButton(QStringLiteral("Apply"), rot);
  turnBtn_->setObjectName(QStringLiteral("TurnBtn"));
  turnBtn_->setEnabled(false);
  rg->addWidget(Caption(rot, "Label20", QStringLiteral("Delta C")), 0, 0);
  rg->addWidget(cTurn_, 1, 0);
  rg->addWidget(Caption(rot, "Label21", QStringLiteral("Delta gamma")), 0, 1, 1, 2);
  rg->addWidget(Caption(rot, "Label22", QStringLiteral("in C0")), 2, 1);
  rg->addWidget(Caption(rot, "Label23", QStringLiteral("in C90")), 2, 2);
  rg->addWidget(g0Turn_, 1, 1);
  rg->addWidget(g90Turn_, 1, 2);
  rg->addWidget(turnBtn_, 1, 3);
  left->addWidget(rot);

  auto* sym = new QGroupBox(QStringLiteral(" Symmetrie "), page);
  sym->setObjectName(QStringLiteral("GroupBox4"));
  auto* sl = new QHBoxLayout(sym);
  static const char* const hints[5] = {"asymmetrisches Koordinatensystem erzeugen",
                                       "rotationssymmetrisches Koordinatensystem erzeugen", "", "", ""};
  for (int i = 0; i < 5; ++i) {
    sb_[i] = new QPushButton(QString::number(i), sym);
    sb_[i]->setObjectName(QStringLiteral("SB%1").arg(i));
    sb_[i]->setCheckable(true);
    sb_[i]->setAutoExclusive(true);
    if (*hints[i]) sb_[i]->setToolTip(QString::fromUtf8(hints[i]));
    sb_[i]->setMaximumWidth(sb_[i]->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 16);
    sl->addWidget(sb_[i]);
    connect(sb_[i], &QPushButton::clicked, this, [this, i] { ApplySymmetry(i); });
  }
  useAll_ = new QCheckBox(QStringLiteral("alle Ebenen verwenden"), sym);
  useAll_->setObjectName(QStringLiteral("UseAll"));
  sl->addWidget(useAll_);
  sl->addStretch();
  left->addWidget(sym);

  auto* eta = new QGroupBox(QStringLiteral("Betriebswirkungsgrad"), page);
  eta->setObjectName(QStringLiteral("GroupBox5"));
  auto* eg = new QGridLayout(eta);
  eta1_ = TextField(eta, "EtaFld1", 6);
  eta1_->setEnabled(false);
  eta2_ = TextField(eta, "EtaFld2", 6);
  eta2_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,3}([.,]\\d{0,2})?")), eta2_));
  auto* convert = new QPushButton(QStringLiteral("Umrechnen"), eta);
  convert->setObjectName(QStringLiteral("Button1"));
  eg->addWidget(Caption(eta, "Label24", QStringLiteral("errechneter Betriebswirkungsgrad")), 0, 0);
  eg->addWidget(eta1_, 0, 1);
  eg->addWidget(new QLabel(QStringLiteral("%"), eta), 0, 2);
  eg->addWidget(Caption(eta, "Label25", QStringLiteral("gewünschter Betriebswirkungsgrad")), 1, 0);
  eg->addWidget(eta2_, 1, 1);
  eg->addWidget(new QLabel(QStringLiteral("%"), eta), 1, 2);
  eg->addWidget(convert, 1, 3);
  left->addWidget(eta);
  left->addStretch();
  row->addLayout(left, 3);
  graph3_ = Diagram(page, "Graph3");
  graph3_->OnPaint = [this](TDevice& dc) {
    FitDiagram(graph3_);
    if (!copy_ || !copy_->Valid) return;
    const std::vector<float> planes = PlaneList();
    DrawLVKPolar(*copy_, &planes, dc, false, Settings().OrvMsgFile, true, false, DiagramRect(graph3_), {});
  };
  row->addWidget(graph3_, 2);
  for (QDoubleSpinBox* s : {cTurn_, g0Turn_, g90Turn_})
    connect(s, &QDoubleSpinBox::valueChanged, this, [this] { turnBtn_->setEnabled(true); });
  connect(turnBtn_, &QPushButton::clicked, this,
          [this] { Rotate(cTurn_->value(), g0Turn_->value(), g90Turn_->value()); });
  connect(convert, &QPushButton::clicked, this, [this] { Rescale(Real(eta2_)); });
}

std::vector<float> Tdbedform::PlaneList() const {
  if (!work_ || work_->Symmetry == 1) return {0};
  return {0, 90};
}

void Tdbedform::LoadWorking(const std::string& path) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  work_ = std::make_unique<TLUM32>();
  path_ = path;
  loaded_.reset();
  const LoadResult read = LoadLuminaire(path, *work_, LoadValues::AsRead);
  ShowDiagnostics(read.messages);
  if (read.ok() && work_->Valid) {
    loaded_ = std::make_unique<TLUM32>(*work_);
    work_->CalcFlux();
    work_->FindMaxIntensity();
  }
  known_ = pf::readWholeFile(path);
  QApplication::restoreOverrideCursor();
  SetUpTable();
  const bool editable = work_->Valid && (work_->FormatCode == fmtEulumdat || work_->FormatCode == fmtLum32);
  LockEditing(!editable);
  b2c_->setVisible(work_->Valid && work_->PlaneSystem == psBBeta);
}

void Tdbedform::LockEditing(bool lock) {
  locked_ = lock;
  tabs_->setEnabled(!lock);
  for (QLineEdit* f : {manu_, mNum_, lName_, lNum_, mDate_, len_, wid_, hgt_, lLen_, lWid_, lHgt_}) f->setEnabled(!lock);
  for (int i = 0; i < 3; ++i)
    for (QLineEdit* f : {lmpNo_[i], lampT_[i], flux_[i], watt_[i]}) f->setEnabled(!lock);
  model_->editable = !lock;
}

void Tdbedform::SetUpTable() {
  activeColumn_ = 1;
  model_->Reset(work_ && work_->Valid ? work_.get() : nullptr, work_ ? TableUnitFactor(*work_, unit_) : 1);
}

void Tdbedform::ShowFields(const TGeneralFields& f) {
  filling_ = true;
  lNum_->setText(Q(f.lumNumber));
  lName_->setText(Q(f.lumName));
  manu_->setText(Q(f.manufacturer));
  mNum_->setText(Q(f.reportNumber));
  for (int i = 0; i < 3; ++i) {
    const TLampRow& r = f.lamps[static_cast<std::size_t>(i)];
    lmpNo_[i]->setText(QString::number(r.count));
    lampT_[i]->setText(Q(r.type.substr(0, 20)));
    flux_[i]->setText(QString::number(r.flux, 'f', r.flux == std::floor(r.flux) ? 0 : 1));
    watt_[i]->setText(QString::number(r.watt));
  }
  len_->setText(QString::number(f.length));
  wid_->setText(QString::number(f.width));
  hgt_->setText(QString::number(f.height));
  lLen_->setText(QString::number(f.areaLength));
  lWid_->setText(QString::number(f.areaWidth));
  lHgt_->setText(QString::number(f.areaHeight));
  symm_->setCurrentIndex(std::clamp(f.symmetry, 0, 4));
  filling_ = false;
  RememberShown();
}

void Tdbedform::RememberShown() {
  shown_.clear();
  for (QLineEdit* e : {lNum_, lName_, manu_, mNum_, mDate_, bea_, len_, wid_, hgt_, lLen_, lWid_, lHgt_})
    shown_[e] = e->text();
  for (int i = 0; i < 3; ++i)
    for (QLineEdit* e : {lmpNo_[i], lampT_[i], flux_[i], watt_[i]}) shown_[e] = e->text();
  shown_[memo_] = memo_->toPlainText();
}

bool Tdbedform::Typed(const QLineEdit* e) const {
  const auto it = shown_.find(e);
  return it == shown_.end() || it->second != e->text();
}

void Tdbedform::FillGeneralPage() {
  measInfo_->hide();
  lFile_->setText(Q(CatalogueFileName(rec_)));
  const bool valid = work_ && work_->Valid;
  if (!valid) {
    ShowFields(FieldsOfRecord(rec_));
    mDate_->setVisible(true);
    bea_->hide();
    xDate_->setVisible(mode_ == EditMode::New);
    memo_->hide();
    memoLabel_->hide();
    graph_->update();
    return;
  }
  const TGeneralFields f = FieldsOfLuminaire(*work_);
  ShowFields(f);
  const bool lum32 = work_->FormatCode == fmtLum32;
  mDate_->setVisible(!lum32);
  bea_->setVisible(lum32);
  xDate_->setVisible(lum32);
  memo_->setVisible(lum32);
  memoLabel_->setVisible(lum32);
  if (lum32) {
    measInfo_->setVisible(work_->MeasurementPresent != 0);
    bea_->setText(Q(f.measuredBy));
    xDate_->setText(QDateTime::fromSecsSinceEpoch(static_cast<qint64>((f.fileDate - 25569.0) * 86400.0), Qt::UTC)
                        .toString(QStringLiteral("dd/MM/yyyy")));
    QStringList lines;
    for (const std::string& l : f.commentLines) lines << Q(l);
    memo_->setPlainText(lines.join(QLatin1Char('\n')));
  } else {
    mDate_->setText(Q(f.dateUser));
  }
  RememberShown();
  graph_->update();
}

TGeneralFields Tdbedform::Fields() const {
  // Fields the user left as shown keep the luminaire's (or record's) value.
  TGeneralFields f = work_ ? FieldsOfLuminaire(*work_) : FieldsOfRecord(rec_);
  auto text = [this](std::string& v, const QLineEdit* e) {
    if (Typed(e)) v = S(e->text());
  };
  auto number = [this](int& v, const QLineEdit* e) {
    if (Typed(e)) v = Int(e);
  };
  text(f.lumNumber, lNum_);
  text(f.lumName, lName_);
  text(f.manufacturer, manu_);
  text(f.reportNumber, mNum_);
  text(f.dateUser, mDate_);
  text(f.measuredBy, bea_);
  const auto memoShown = shown_.find(memo_);
  if (memoShown == shown_.end() || memoShown->second != memo_->toPlainText()) {
    f.commentLines.clear();
    for (const QString& l : memo_->toPlainText().split(QLatin1Char('\n')))
      if (!l.isEmpty() || f.commentLines.size() < 5) f.commentLines.push_back(S(l));
    while (!f.commentLines.empty() && f.commentLines.back().empty()) f.commentLines.pop_back();
  }
  for (std::size_t i = 0; i < 3; ++i) {
    TLampRow& row = f.lamps[i];
    number(row.count, lmpNo_[i]);
    text(row.type, lampT_[i]);
    if (Typed(flux_[i])) row.flux = Real(flux_[i]);
    number(row.watt, watt_[i]);
  }
  number(f.length, len_);
  number(f.width, wid_);
  number(f.height, hgt_);
  number(f.areaLength, lLen_);
  number(f.areaWidth, lWid_);
  number(f.areaHeight, lHgt_);
  return f;
}

void Tdbedform::FieldLeft() {
  if (filling_) return;
  RecordTakesFields(Fields(), rec_.FormatCode(), rec_);
}

bool Tdbedform::ChooseFile(const std::string& file) {
  const std::string dir = file.substr(0, file.find_last_of('/') + 1);
  const std::string name = file.substr(file.find_last_of('/') + 1);
  const std::string root = AddBackslash(Settings().LumDir2);
  std::string target = file;
  if (!IsUnderRoot(pf::upper1252(root), pf::upper1252(AddBackslash(dir)))) {
    // A file from elsewhere is copied under the luminaire directory first.
    target = root + name;
    if (!pf::fs().exists(target) ||
        AskYesNoCancelL(OrvMsgText("DEFAULT MESSAGES", "DM_REPLACE", "The file already exists. Replace it?") + "\n" + target,
                        Settings().MsgTxtFile) == mrYes) {
      if (CopyFileBuffered(file, target) != 0) {
        Error("DM_NOWRITE", "The file cannot be written", target);
        return false;
      }
    }
  }
  const std::string targetDir = target.substr(0, target.find_last_of('/'));
  const std::int32_t index = backend_.PathIndexOf(targetDir);
  if (index < 0 || !SetCatalogueFileName(rec_, target.substr(target.find_last_of('/') + 1))) {
    Error("DM_NOWRITE", "The file cannot be written", target);
    return false;
  }
  rec_.SetDirIndex(index);
  lFile_->setText(Q(CatalogueFileName(rec_)));
  original_.reset();  // a file chosen here is not restored on cancel
  LoadWorking(target);
  if (work_->Valid) {
    rec_.SetSymmetry(work_->Symmetry);
    rec_.SetDistributionKind(work_->DistributionKind);
    FillGeneralPage();
    RecordTakesFields(Fields(), work_->FormatCode, rec_);
  }
  if (locked_) ShowInfoL(OrvMsgText("DEFAULT MESSAGES", "DM_NoEd", "Files of this format cannot be edited."),
                         Settings().MsgTxtFile);
  return work_->Valid;
}

int Tdbedform::Page() const { return page_; }

bool Tdbedform::AskApplyCopy() {
  if (!copy_) return true;
  if (AskYesNoCancelL(OrvMsgText("DEFAULT MESSAGES", "DM_APPLYLUM", "Apply the changes to the luminaire?"),
                      Settings().MsgTxtFile) != mrYes)
    return false;
  const std::uint8_t format = work_->FormatCode;
  // The copy carries every block of the working luminaire it came from.
  auto applied = std::make_unique<TLUM32>(*copy_);
  applied->FormatCode = format;
  applied->FileName = work_->FileName;
  std::swap(work_, applied);
  if (!WriteWorking()) {
    std::swap(work_, applied);
    return false;
  }
  SetUpTable();
  graph_->update();
  return true;
}

bool Tdbedform::WriteWorking() {
  if (!work_ || !work_->Valid || !WriterForCode(work_->FormatCode)) return true;  // nothing to write
  // Another program (or station) changed or removed the file meanwhile: say so
  // rather than overwrite it blindly.
  if (known_ && pf::readWholeFile(path_) != known_ &&
      AskYesNoCancelL(OrvMsgText("DEFAULT MESSAGES", "DM_CHANGED",
                           "The file was changed or removed by another program since it was opened. Overwrite it?") +
                          "\n" + path_,
                      Settings().MsgTxtFile) != mrYes)
    return false;
  if (!WriteEditedLuminaire(*work_, known_ ? loaded_.get() : nullptr, known_.value_or(std::string()), path_)) {
    Error("DM_NOWRITE", "The file cannot be written", path_);
    return false;
  }
  known_ = pf::readWholeFile(path_);
  // The next write compares with what the file holds now: the lines of an
  // EULUMDAT file stand for the working luminaire as written; other formats
  // are read again, to keep the values computed into them.
  if (work_->FormatCode == fmtEulumdat || work_->FormatCode == fmtEulumdat2) {
    loaded_ = std::make_unique<TLUM32>(*work_);
  } else {
    loaded_ = std::make_unique<TLUM32>();
    const LoadResult read = LoadLuminaire(path_, *loaded_, LoadValues::AsRead);
    ShowDiagnostics(read.messages);
    if (!read.ok() || !loaded_->Valid) loaded_.reset();
  }
  return true;
}

bool Tdbedform::ChangePage(int n) {
  if (n < 0 || n > 2 || n == page_) {
    tabs_->setCurrentIndex(page_);
    return n == page_;
  }
  const int c = page_;
  if (c == 0) {
    RecordTakesFields(Fields(), rec_.FormatCode(), rec_);
    if (const std::string key = CheckGeneralPage(rec_); !key.empty()) {
      RefusePage(key);
      return false;
    }
    if (work_) StoreFieldsInLuminaire(Fields(), *work_);
  } else if (c == 1) {
    work_->CalcFlux();
    work_->FindMaxIntensity();
  } else if (c == 2) {
    AskApplyCopy();
    copy_.reset();
  }
  if (n == 2 && work_) {
    copy_ = std::make_unique<TLUM32>(*work_);
    for (QDoubleSpinBox* s : {cTurn_, g0Turn_, g90Turn_}) {
      const QSignalBlocker block(s);
      s->setValue(0);
    }
    turnBtn_->setEnabled(false);
    eta1_->setText(QString::number(copy_->LOR, 'f', 2));
    eta2_->setText(QString::number(copy_->LOR, 'f', 2));
    sb_[std::min<std::size_t>(copy_->Symmetry, 4)]->setChecked(true);
  }
  if (n == 1 && work_) {
    activeColumn_ = 1;
    edRb2_->setEnabled(TableUnitAvailable(*work_, TableUnit::Candela));
    edRb3_->setEnabled(TableUnitAvailable(*work_, TableUnit::Lux));
    table_->setFocus();
  }
  page_ = n;
  pages_->setCurrentIndex(n);
  tabs_->setCurrentIndex(n);
  if (n == 0) FillGeneralPage();
  return true;
}

void Tdbedform::SetTableUnit(TableUnit unit) {
  if (!work_ || !TableUnitAvailable(*work_, unit)) unit = TableUnit::CdPerKlm;
  unit_ = unit;
  edRb1_->setChecked(unit == TableUnit::CdPerKlm);
  edRb2_->setChecked(unit == TableUnit::Candela);
  edRb3_->setChecked(unit == TableUnit::Lux);
  SetUpTable();
}

void Tdbedform::ApplySymmetry(int code) {
  if (!copy_) return;
  const double step = std::lround(100.0 * copy_->CStep) == 0 ? 15.0 : double(copy_->CStep);
  const bool all = useAll_->isChecked();
  switch (code) {
    case 0: copy_->ExpandToFull(step); break;
    case 1: copy_->MakeRotational(all); break;
    case 2: copy_->MakeSymmetricC0C180(all, step); break;
    case 3: copy_->MakeSymmetricC90C270(all, step); break;
    case 4: copy_->MakeQuadrantSymmetric(all, step); break;
    default: return;
  }
  copy_->CalcFlux();
  copy_->FindMaxIntensity();
  sb_[std::min<std::size_t>(copy_->Symmetry, 4)]->setChecked(true);
  graph3_->update();
}

void Tdbedform::Rotate(double cTurn, double gammaC0, double gammaC90) {
  if (!copy_) return;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  copy_->RotateDistribution(cTurn, gammaC0, gammaC90);
  copy_->CalcFlux();
  copy_->FindMaxIntensity();
  QApplication::restoreOverrideCursor();
  for (QDoubleSpinBox* s : {cTurn_, g0Turn_, g90Turn_}) {
    const QSignalBlocker block(s);
    s->setValue(0);
  }
  turnBtn_->setEnabled(false);
  sb_[std::min<std::size_t>(copy_->Symmetry, 4)]->setChecked(true);
  graph3_->update();
}

bool Tdbedform::Rescale(double desiredLor) {
  // A computed ratio of 0 (an empty table) cannot be scaled to anything.
  if (!copy_ || !(copy_->LOR > 0) || !(desiredLor > 0) || !std::isfinite(desiredLor)) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  copy_->ScaleValues(desiredLor / copy_->LOR);
  copy_->CalcFlux();
  copy_->FindMaxIntensity();
  QApplication::restoreOverrideCursor();
  eta1_->setText(QString::number(copy_->LOR, 'f', 2));
  eta2_->setText(QString::number(copy_->LOR, 'f', 2));
  graph3_->update();
  return true;
}

void Tdbedform::B2CClicked() {
  if (!work_ || !work_->Valid || work_->PlaneSystem != psBBeta) return;
  const double s = std::fabs(work_->CStep) == 0 ? 1.0 : std::fabs(double(work_->CStep));
  if (!work_->ResampleToC(work_->Symmetry, 180, 0, s, 15)) return;
  work_->CalcFlux();
  work_->FindMaxIntensity();
  WriteWorking();
  SetUpTable();
  graph_->update();
  b2c_->hide();
}

bool Tdbedform::SaveAsClicked() {
  if (page_ == 2) AskApplyCopy();
  if (!work_ || !work_->Valid) return false;
  StoreFieldsInLuminaire(Fields(), *work_);
  int filter = 1;
  const std::string chosen =
      ui().chooseSaveFile(OrvMsgText("CONVERSION", "CV_SAVEAS", "Save as"), Settings().LumDir1, CatalogueFileName(rec_),
                          SaveFileTypes(TMsgManager(Settings().OrvMsgFile)), filter);
  if (chosen.empty() || filter < 1 || filter > static_cast<int>(SaveFilterCodes().size())) return false;
  // The extension typed decides the format when it names one that can be
  // written; a name that still has to change is shown before anything is written.
  const std::uint8_t code = SaveAsFormat(chosen, SaveFilterCodes()[static_cast<std::size_t>(filter - 1)]);
  const std::string target = TargetNameForFormat(chosen, code);
  if (target != chosen &&
      AskYesNoCancelL(OrvMsgText("CONVERSION", "CV_NEWNAME",
                                 "The file gets the extension of its format and will be written as:") +
                          "\n" + target,
                      Settings().MsgTxtFile) != mrYes)
    return false;
  const SaveAsResult r = SaveLuminaireAs(*work_, code, chosen);
  if (r.written.empty()) {
    ShowErrorL(r.error, Settings().MsgTxtFile);
    return false;
  }
  original_.reset();  // the new file is not the one to restore
  LoadWorking(r.written);
  FillCatalogueRecord(*work_, rec_);
  rec_.SetFormatCode(work_->FormatCode);
  rec_.SetDirIndex(backend_.PathIndexOf(r.written.substr(0, r.written.find_last_of('/'))));
  SetCatalogueFileName(rec_, r.written.substr(r.written.find_last_of('/') + 1));
  FillGeneralPage();
  if (locked_) ShowInfoL(OrvMsgText("DEFAULT MESSAGES", "DM_NoEd", "Files of this format cannot be edited."),
                         Settings().MsgTxtFile);
  return true;
}

bool Tdbedform::OkClicked() {
  if (page_ == 2) AskApplyCopy();
  if (page_ == 0) RecordTakesFields(Fields(), rec_.FormatCode(), rec_);
  if (const std::string key = CheckGeneralPage(rec_); !key.empty()) {
    RefusePage(key);
    return false;
  }
  if (work_ && work_->Valid && !locked_) {
    const TGeneralFields f = Fields();
    StoreFieldsInLuminaire(f, *work_);
    RecordTakesFields(f, work_->FormatCode, rec_);
    work_->CalcFlux();
    CalcPartialFluxes(*work_);
    if (!WriteWorking()) return false;  // the old file and the old record stay
  } else if (work_) {
    rec_.SetFormatCode(work_->FormatCode);
  }
  accept();
  return true;
}

void Tdbedform::CancelClicked() {
  // Edit mode puts the file back as it was opened, byte for byte, whatever
  // the window wrote meanwhile.
  if (mode_ == EditMode::Edit && original_ && pf::readWholeFile(path_) != original_ &&
      !pf::writeFileAtomic(path_, *original_))
    Error("DM_NOWRITE", "The file cannot be written", path_);
  work_.reset();
  copy_.reset();
  reject();
}

bool EditCatalogueRecord(TCatalogueRecord& record, EditMode mode, BrowserBackend& backend, bool showTranslate,
                         QWidget* parent) {
  Tdbedform editor(record, mode, backend, showTranslate, parent);
  if (editor.exec() != QDialog::Accepted) return false;
  record = editor.Record();
  return true;
}

}  // namespace kandelo
