// The widgets of the evaluation window: tab set, drawing window, one
// parameter panel per tab and the command buttons.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "evaluation/atf.h"
#include "evaluation/cone.h"
#include "evaluation/quick_planning.h"
#include "graphics/qt/drwwin_widget.h"
#include "texts/qstr.h"
#include "texts/text_controls.h"
#include "ui/linfo_form.h"

namespace kandelo {

namespace {

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QString::fromLatin1(name));
  return l;
}

QLineEdit* Field(QWidget* parent, const char* name) {
  auto* f = new QLineEdit(parent);
  f->setObjectName(QString::fromLatin1(name));
  f->setMaxLength(12);
  f->setMinimumWidth(60);
  return f;
}

QComboBox* Combo(QWidget* parent, const char* name) {
  auto* c = new QComboBox(parent);
  c->setObjectName(QString::fromLatin1(name));
  c->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  return c;
}

QString Num(double v) { return QString::number(v, 'g', 6); }

QString Triple(const float (&v)[3], const char* unit) {
  return Num(v[0]) + QStringLiteral(" / ") + Num(v[1]) + QStringLiteral(" / ") + Num(v[2]) + QLatin1Char(' ') +
         QLatin1String(unit);
}

// A page whose rows stay at the top.
QWidget* Page(QWidget* parent, QVBoxLayout*& v) {
  auto* page = new QWidget(parent);
  v = new QVBoxLayout(page);
  v->setContentsMargins(0, 0, 0, 0);
  return page;
}

}  // namespace

void TLinfoForm::BuildWidgets() {
  setObjectName(QStringLiteral("TLinfoForm"));
  setWindowTitle(QStringLiteral("Leuchten-Information"));
  setSizeGripEnabled(true);
  auto* top = new QVBoxLayout(this);
  top_ = new QLabel(this);
  top_->setFrameShape(QFrame::StyledPanel);
  top_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  top_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  top->addWidget(top_);

  tabs_ = new QTabBar(this);
  tabs_->setObjectName(QStringLiteral("TabSet1"));
  tabs_->setExpanding(false);
  tabs_->setUsesScrollButtons(true);
  for (const char* t : {"LVK", "Blendung / UGR", "DIN", "ISO", "Kegel", "Schnellrechentabelle",
                        "Bodenbeleuchtungskurven"})
    tabs_->addTab(QString::fromUtf8(t));
  top->addWidget(tabs_);

  auto* body = new QHBoxLayout;
  draw_ = new TDrwWin(this);
  draw_->setObjectName(QStringLiteral("DrwWin"));
  draw_->setMargin(0);
  draw_->setMinimumSize(200, 200);
  draw_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  draw_->setAutoFillBackground(true);
  QPalette pal = draw_->palette();
  pal.setColor(QPalette::Window, Qt::white);
  draw_->setPalette(pal);
  draw_->installEventFilter(this);
  body->addWidget(draw_, 1);

  pages_ = new QStackedWidget(this);
  pages_->addWidget(BuildLvkPage());
  pages_->addWidget(BuildGlarePage());
  pages_->addWidget(BuildUtfPage());
  pages_->addWidget(BuildIsoluxPage());
  pages_->addWidget(BuildConePage());
  pages_->addWidget(BuildCountPage());
  pages_->addWidget(BuildFloorPage());
  pages_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
  body->addWidget(pages_);
  top->addLayout(body, 1);

  auto* buttons = new QHBoxLayout;
  auto button = [this](const char* name, const QString& text, const QString& hint) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(hint);
    b->setAutoDefault(false);
    return b;
  };
  trBtn_ = button("TrBtn2", QStringLiteral("translate"), QStringLiteral("translate window texts"));
  trBtn_->setVisible(translation_);
  copyBtn_ = button("CopyBtn", QStringLiteral("Kopieren"),
                    QStringLiteral("Zeichnung in die Zwischenablage kopieren (Strg+Einfg)"));
  wmfBtn_ = button("WmfBtn", QStringLiteral("generate WMF-file"),
                   QStringLiteral("Zeichnung als WMF-Datei ins Exportverzeichnis schreiben"));
  exportBtn_ = button("ExportBtn", QStringLiteral("Exportieren \u2026"),
                      QStringLiteral("Zeichnung als PDF, SVG oder PNG speichern"));
  backBtn_ = button("BackBtn", QStringLiteral("Zur\u00fcck zur Datenbankansicht"), QString());
  buttons->addWidget(trBtn_);
  buttons->addWidget(copyBtn_);
  buttons->addWidget(wmfBtn_);
  buttons->addWidget(exportBtn_);
  buttons->addStretch();
  buttons->addWidget(backBtn_);
  top->addLayout(buttons);

  status_ = new QLabel(this);
  status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  top->addWidget(status_);
  setMinimumSize(800, 600);
}

QWidget* TLinfoForm::BuildLvkPage() {
  QVBoxLayout* v = nullptr;
  QWidget* page = Page(this, v);
  lvkGroup_ = new TRadioGroup(QStringLiteral(" Diagrammtyp "), page);
  lvkGroup_->setObjectName(QStringLiteral("DiagramGroup"));
  lvkGroup_->AddItem(QStringLiteral("polar"));
  lvkGroup_->AddItem(QStringLiteral("karthesisch"));
  v->addWidget(lvkGroup_);
  planeList_ = new QListWidget(page);
  planeList_->setObjectName(QStringLiteral("PlaneList"));
  planeList_->setMinimumWidth(150);
  v->addWidget(planeList_, 1);
  auto* row = new QHBoxLayout;
  gmaxLabel_ = NamedLabel(page, "GMaxLabel", QStringLiteral("g-max"));
  gmax_ = Field(page, "GMaxFld");
  row->addWidget(gmaxLabel_);
  row->addWidget(gmax_);
  v->addLayout(row);
  return page;
}

QWidget* TLinfoForm::BuildGlarePage() {
  QVBoxLayout* v = nullptr;
  QWidget* page = Page(this, v);
  glareGroup_ = new TRadioGroup(QStringLiteral(" Glare "), page);
  glareGroup_->setObjectName(QStringLiteral("GlareGroup"));
  for (const char* t : {"UGR", "DIN", "Tabelle"}) glareGroup_->AddItem(QString::fromLatin1(t));
  v->addWidget(glareGroup_);
  v->addStretch();
  return page;
}

QWidget* TLinfoForm::BuildUtfPage() {
  QVBoxLayout* v = nullptr;
  QWidget* page = Page(this, v);
  utfGroup_ = new TRadioGroup(QStringLiteral("utilization factors"), page);
  utfGroup_->setObjectName(QStringLiteral("UtfGroup"));
  for (const char* t : {"DIN", "CIBSE", "NB"}) utfGroup_->AddItem(QString::fromLatin1(t));
  v->addWidget(utfGroup_);
  v->addStretch();
  return page;
}

QWidget* TLinfoForm::BuildIsoluxPage() {
  QVBoxLayout* v = nullptr;
  QWidget* page = Page(this, v);
  auto* grid = new QGridLayout;
  const char* names[4][2] = {{"AreaLabel", "AreaFld"},
                             {"HeightLabel", "HeightFld"},
                             {"FluxLabel", "FluxFld"},
                             {"FactorLabel", "FactorFld"}};
  const QString texts[4] = {QStringLiteral("Fl\u00e4chengr\u00f6\u00dfe [m]"), QStringLiteral("Lichtpunkth\u00f6he [m]"),
                            QStringLiteral("Gesamtlichtstrom [lm]"), QStringLiteral("Faktor")};
  for (int i = 0; i < 4; ++i) {
    grid->addWidget(NamedLabel(page, names[i][0], texts[i]), i, 0);
    iso_[static_cast<std::size_t>(i)] = Field(page, names[i][1]);
    grid->addWidget(iso_[static_cast<std::size_t>(i)], i, 1);
  }
  v->addLayout(grid);
  showBtn_ = new QPushButton(QStringLiteral("Anzeigen"), page);
  showBtn_->setObjectName(QStringLiteral("ShowBtn"));
  showBtn_->setAutoDefault(false);
  v->addWidget(showBtn_);
  v->addStretch();
  return page;
}

QWidget* TLinfoForm::BuildConePage() {
  QVBoxLayout* v = nullptr;
  QWidget* page = Page(this, v);
  v->addWidget(NamedLabel(page, "DistLabel", QStringLiteral("Abst\u00e4nde bis")));
  distList_ = new QListWidget(page);
  distList_->setObjectName(QStringLiteral("DistList"));
  for (int i = 0; i < kDistanceSetCount; ++i) distList_->addItem(Q(DistanceSetText(i)));
  v->addWidget(distList_, 1);
  return page;
}

QWidget* TLinfoForm::BuildCountPage() {
  QVBoxLayout* v = nullptr;
  QWidget* page = Page(this, v);
  auto* grid = new QGridLayout;
  int r = 0;
  reflCombo_ = Combo(page, "ReflCombo");
  for (const auto& c : kLitgReflectances)
    reflCombo_->addItem(QStringLiteral("%1 / %2 / %3").arg(c[0]).arg(c[1]).arg(c[3]));
  grid->addWidget(NamedLabel(page, "ReflLabel", QStringLiteral("Reflexionsgrade")), r, 0);
  grid->addWidget(reflCombo_, r++, 1);
  areaCombo_ = Combo(page, "AreaCombo");
  for (const auto& a : kRoomAreaSets)
    areaCombo_->addItem(Num(a[0]) + QStringLiteral(" \u2026 ") + Num(a[7]) + QStringLiteral(" m\u00b2"));
  grid->addWidget(NamedLabel(page, "AreaSetLabel", QStringLiteral("Raumfl\u00e4chen")), r, 0);
  grid->addWidget(areaCombo_, r++, 1);
  cHeightCombo_ = Combo(page, "CHeightCombo");
  for (const auto& h : kFloorHeightPresets) cHeightCombo_->addItem(Triple(h, "m"));
  grid->addWidget(NamedLabel(page, "CHeightLabel", QStringLiteral("Lichtpunkth\u00f6hen")), r, 0);
  grid->addWidget(cHeightCombo_, r++, 1);
  for (int i = 0; i < 3; ++i) {
    const std::string label = "H" + std::to_string(i + 1) + " [m]";
    const std::string name = "CH" + std::to_string(i + 1) + "Fld";
    cH_[static_cast<std::size_t>(i)] = Field(page, name.c_str());
    grid->addWidget(new QLabel(Q(label), page), r, 0);
    grid->addWidget(cH_[static_cast<std::size_t>(i)], r++, 1);
  }
  cIllumCombo_ = Combo(page, "EPresetCombo");
  for (const auto& e : kCountIlluminancePresets)
    cIllumCombo_->addItem(QStringLiteral("%1 / %2 / %3 lx").arg(e[0]).arg(e[1]).arg(e[2]));
  grid->addWidget(NamedLabel(page, "ELabel", QStringLiteral("E_nenn")), r, 0);
  grid->addWidget(cIllumCombo_, r++, 1);
  for (int i = 0; i < 3; ++i) {
    const std::string label = "E" + std::to_string(i + 1) + " [lx]";
    const std::string name = "E" + std::to_string(i + 1) + "Fld";
    cE_[static_cast<std::size_t>(i)] = Field(page, name.c_str());
    grid->addWidget(new QLabel(Q(label), page), r, 0);
    grid->addWidget(cE_[static_cast<std::size_t>(i)], r++, 1);
  }
  cMaint_ = Field(page, "CMaintFld");
  grid->addWidget(NamedLabel(page, "CMaintLabel", QStringLiteral("Wartungsfaktor")), r, 0);
  grid->addWidget(cMaint_, r++, 1);
  v->addLayout(grid);
  v->addStretch();
  return page;
}

QWidget* TLinfoForm::BuildFloorPage() {
  QVBoxLayout* v = nullptr;
  QWidget* page = Page(this, v);
  auto* grid = new QGridLayout;
  int r = 0;
  fHeightCombo_ = Combo(page, "FHeightCombo");
  for (const auto& h : kFloorHeightPresets) fHeightCombo_->addItem(Triple(h, "m"));
  grid->addWidget(NamedLabel(page, "FHeightLabel", QStringLiteral("Lichtpunkth\u00f6hen")), r, 0);
  grid->addWidget(fHeightCombo_, r++, 1);
  for (int i = 0; i < 3; ++i) {
    const std::string label = "H" + std::to_string(i + 1) + " [m]";
    const std::string name = "FH" + std::to_string(i + 1) + "Fld";
    fH_[static_cast<std::size_t>(i)] = Field(page, name.c_str());
    grid->addWidget(new QLabel(Q(label), page), r, 0);
    grid->addWidget(fH_[static_cast<std::size_t>(i)], r++, 1);
  }
  fDistCombo_ = Combo(page, "FDistCombo");
  for (const auto& d : kFloorSectionPresets)
    fDistCombo_->addItem(Num(d[0]) + QStringLiteral(" \u2026 ") + Num(d[1]) + QStringLiteral(" m"));
  grid->addWidget(NamedLabel(page, "FDistLabel", QStringLiteral("Schnitt")), r, 0);
  grid->addWidget(fDistCombo_, r++, 1);
  fL_ = Field(page, "LFld");
  grid->addWidget(new QLabel(QStringLiteral("L [m]"), page), r, 0);
  grid->addWidget(fL_, r++, 1);
  fR_ = Field(page, "RFld");
  grid->addWidget(new QLabel(QStringLiteral("R [m]"), page), r, 0);
  grid->addWidget(fR_, r++, 1);
  fMaint_ = Field(page, "FMaintFld");
  grid->addWidget(NamedLabel(page, "FMaintLabel", QStringLiteral("Wartungsfaktor")), r, 0);
  grid->addWidget(fMaint_, r++, 1);
  v->addLayout(grid);
  emergency_ = new QCheckBox(QStringLiteral("Notbeleuchtung"), page);
  emergency_->setObjectName(QStringLiteral("EmergencyCheck"));
  v->addWidget(emergency_);
  v->addStretch();
  return page;
}

}  // namespace kandelo
