// The browser's controls: tool bar, diagram and multi-select panel, navigator
// and table, status bar and popup menu, with their wiring.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "shell/msgbox.h"
#include "frame/settings.h"
#include "graphics/qt/drwwin_widget.h"
#include "texts/msg_trans_dialog.h"
#include "texts/trans_dialog.h"
#include "ui/base_form.h"
#include "ui/filter_row.h"
#include "ui/navigator.h"

namespace kandelo {

namespace {

QToolButton* MakeTool(QWidget* parent, const char* name, const QString& text, const QString& hint,
                      QStyle::StandardPixmap icon) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setText(text);
  b->setToolTip(hint);
  b->setIcon(parent->style()->standardIcon(icon));
  b->setToolButtonStyle(text.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
  b->setAutoRaise(true);
  return b;
}

QToolButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QString& hint = {}) {
  auto* b = new QToolButton(parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setText(text);
  b->setToolTip(hint);
  b->setToolButtonStyle(Qt::ToolButtonTextOnly);
  b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return b;
}

// German built-in texts of the window; the "ORVTXT" files replace them.
QString T(const char* utf8) { return QString::fromUtf8(utf8); }


}  // namespace

void TfBaseForm::BuildWidgets() {
  setWindowTitle(QStringLiteral("Kandelo - Leuchtendatenbank"));
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* top = new QVBoxLayout(central);
  top->setContentsMargins(4, 4, 4, 0);
  top->setSpacing(4);

  // Tool bar.
  auto* tools = new QWidget(central);
  tools_ = tools;
  // The row takes the window's width, however narrow: its buttons drop their
  // texts when it has no room for them (UpdateToolStyle).
  tools->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  auto* tl = new QHBoxLayout(tools);
  tl->setContentsMargins(0, 0, 0, 0);
  tl->setSpacing(2);
  addAllBtn_ = MakeTool(tools, "SpeedButton3", T("Alle hinzufügen"),
                        T("Alle Leuchtendaten unterhalb des Stammverzeichnisses hinzufügen"), QStyle::SP_DirOpenIcon);
  clearBtn_ = MakeTool(tools, "SpeedButton4", T("Alle löschen"), T("Alle Leuchten aus der DAtenbank löschen"),
                       QStyle::SP_TrashIcon);
  auto* newLum = MakeTool(tools, "NewLumBtn", T("Neu"), T("Neue Leuchtendatei erzeugen"), QStyle::SP_FileIcon);
  auto* setup = MakeTool(tools, "SpeedButton1", T("Einstellungen"), T("setup all program options"),
                         QStyle::SP_FileDialogDetailedView);
  auto* rebuild = MakeTool(tools, "SpeedButton2", T("Index"), T("rebuild index files"), QStyle::SP_BrowserReload);
  auto* lang = MakeTool(tools, "LangBtn", T("Sprache"), T("Sprache auswählen"), QStyle::SP_DesktopIcon);
  prtBtn_ = MakeTool(tools, "prtbtn", T("Drucken"), T("Ausdruck für aktuelle Leuchte erstellen"),
                     QStyle::SP_FileDialogContentsView);
  infoBtn_ = MakeTool(tools, "infobtn", T("Auswertungen"), T("Leuchtenauswertungen anzeigen"),
                      QStyle::SP_FileDialogInfoView);
  trBtn2_ = MakeTool(tools, "TrBtn2", T("Texte"), T("Datenbanktexte übersetzen"), QStyle::SP_FileLinkIcon);
  trBtn3_ = MakeTool(tools, "TRBtn3", T("Meldungen"),
                     T("Texte für Auswertungen und Bildschirmmeldungen übersetzen"), QStyle::SP_FileLinkIcon);
  auto* gonio = MakeTool(tools, "GonioBtn", T("Messung"), {}, QStyle::SP_ComputerIcon);
  auto* gadj = MakeTool(tools, "gAdjBtn", T("K312"), {}, QStyle::SP_ComputerIcon);
  auto* about = MakeTool(tools, "SpeedButton5", T("Info"), T("Programminformation"), QStyle::SP_MessageBoxInformation);
  auto* quit = MakeTool(tools, "QuitBtn", T("Beenden"), T("Programm beenden "), QStyle::SP_DialogCloseButton);
  for (QToolButton* b : {addAllBtn_, newLum, setup, rebuild, lang, prtBtn_, infoBtn_, trBtn2_, trBtn3_, gonio, gadj,
                         about})
    tl->addWidget(b);
  // Emptying the catalogue stands apart, behind a separator, so that it is
  // not taken for its neighbour "add all" (it still asks first).
  auto* apart = new QFrame(tools);
  apart->setObjectName(QStringLiteral("ClearSeparator"));
  apart->setFrameShape(QFrame::VLine);
  apart->setFrameShadow(QFrame::Sunken);
  tl->addSpacing(8);
  tl->addWidget(apart);
  tl->addSpacing(8);
  tl->addWidget(clearBtn_);
  toolButtons_ = {addAllBtn_, clearBtn_, newLum, setup, rebuild, lang, prtBtn_, infoBtn_, trBtn2_, trBtn3_,
                  gonio, gadj, about, quit};
  tl->addStretch();
  auto* sortLabel = new QLabel(T("sortiert nach"), tools);
  sortLabel->setObjectName(QStringLiteral("Label1"));
  keyCombo_ = new QComboBox(tools);
  keyCombo_->setObjectName(QStringLiteral("KeyCombo"));
  keyCombo_->setMinimumWidth(170);
  // The texts change with the language after the first show: the box follows
  // the longest of them instead of keeping the width it was first shown with.
  keyCombo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  tl->addWidget(sortLabel);
  tl->addWidget(keyCombo_);
  tl->addSpacing(12);
  tl->addWidget(quit);
  top->addWidget(tools);

  // 2. Hidden buttons; the dialogs behind these come with their own windows.
  trBtn2_->setVisible(false);
  trBtn3_->setVisible(false);
  gonio->setVisible(false);
  gadj->setVisible(false);

  // Upper panel: diagram and multi-select panel; lower: navigator and table.
  splitter_ = new QSplitter(Qt::Vertical, central);
  splitter_->setChildrenCollapsible(false);
  upper_ = new QWidget(splitter_);
  upper_->setMinimumHeight(221);
  auto* ul = new QHBoxLayout(upper_);
  ul->setContentsMargins(0, 0, 0, 0);
  diagram_ = new TDrwWin(upper_);
  diagram_->setObjectName(QStringLiteral("DrwBox"));
  diagram_->setFocusPolicy(Qt::NoFocus);
  diagram_->setMargin(0);
  diagram_->setAutoFillBackground(true);
  QPalette white = diagram_->palette();
  white.setColor(QPalette::Window, Qt::white);
  diagram_->setPalette(white);
  diagram_->OnPaint = [this](TDevice& dc) {
    if (!loaded_) return;  // the area stays white
    // The drawing rectangle spans 1 % to 99 % of the area.
    const TSize a = diagram_->Layout().DrawingSize();
    const TRect r{a.cx / 100, a.cy / 100, a.cx - a.cx / 100, a.cy - a.cy / 100};
    backend_.DrawDiagram(dc, r, Settings().OrvMsgFile);
  };
  diagram_->setFixedWidth(300);
  ul->addWidget(diagram_);
  upper_->installEventFilter(this);

  auto* right = new QWidget(upper_);
  auto* rl = new QVBoxLayout(right);
  rl->setContentsMargins(6, 0, 0, 0);
  infoLabel_ = new QLabel(right);
  infoLabel_->setTextFormat(Qt::RichText);
  infoLabel_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  infoLabel_->setWordWrap(true);
  rl->addWidget(infoLabel_, 1);

  multiPanel_ = new QWidget(right);
  auto* ml = new QVBoxLayout(multiPanel_);
  ml->setContentsMargins(0, 0, 0, 0);
  selList_ = new QTreeWidget(multiPanel_);
  selList_->setObjectName(QStringLiteral("SelList"));
  selList_->setColumnCount(2);
  selList_->setHeaderLabels({T("file"), T("Leuchtenbezeichnung")});
  selList_->header()->setObjectName(QStringLiteral("SelHeader"));
  selList_->header()->resizeSection(0, 100);
  selList_->setRootIsDecorated(false);
  ml->addWidget(selList_, 1);
  auto* pageRow = new QHBoxLayout;
  selBtn_[0] = MakeButton(multiPanel_, "SelBtn1", T("Dateiliste verwalten"));
  selBtn_[1] = MakeButton(multiPanel_, "SelBtn2", T("Ausgaben erstellen"));
  selBtn_[2] = MakeButton(multiPanel_, "SelBtn3", T("Dateioperationen durchführen"));
  for (int i = 0; i < 3; ++i) {
    selBtn_[i]->setCheckable(true);
    selBtn_[i]->setAutoExclusive(true);
    pageRow->addWidget(selBtn_[i]);
    connect(selBtn_[i], &QToolButton::clicked, this, [this, i] { SelectPage(i); });
  }
  ml->addLayout(pageRow);
  for (int i = 0; i < 3; ++i) {
    pages_[i] = new QWidget(multiPanel_);
    auto* pl = new QHBoxLayout(pages_[i]);
    pl->setContentsMargins(0, 0, 0, 0);
    ml->addWidget(pages_[i]);
  }
  lBtn1_ = MakeButton(pages_[0], "LBtn1", T("Liste leeren"), T("clear all items "));
  lBtn2_ = MakeButton(pages_[0], "LBtn2", T("Eintrag entfernen"), T("remove current item from list"));
  pages_[0]->layout()->addWidget(lBtn1_);
  pages_[0]->layout()->addWidget(lBtn2_);
  catPrintBtn_ = MakeButton(pages_[1], "CatPrintBtn", T("Drucken"), T("print all selected items "));
  auto* catBtn4 = MakeButton(pages_[1], "CatBtn4", T("Ausgabeart"), T("set up type of output"));
  pages_[1]->layout()->addWidget(catPrintBtn_);
  pages_[1]->layout()->addWidget(catBtn4);
  // Batch printing writes one document unless one file per luminaire is
  // wanted; the choice is kept for the next start.
  eachPdfCheck_ = new QCheckBox(T("one PDF file per luminaire"), pages_[1]);
  eachPdfCheck_->setObjectName(QStringLiteral("EachPdfCheck"));
  eachPdfCheck_->setToolTip(T("write each datasheet into a PDF file of its own in a folder"));
  eachPdfCheck_->setChecked(ReadSettingString("LDBSETTINGS", "PRINTEACH", "0") == "1");
  connect(eachPdfCheck_, &QCheckBox::toggled, this,
          [](bool on) { WriteSettingString("LDBSETTINGS", "PRINTEACH", on ? "1" : "0"); });
  pages_[1]->layout()->addWidget(eachPdfCheck_);
  fBtn1_ = MakeButton(pages_[2], "FBtn1", T("Exportieren"), T("Dateien in ein anderses Format exportieren"));
  pages_[2]->layout()->addWidget(fBtn1_);
  auto* leave = MakeButton(multiPanel_, "CatBtn2", T("leave multi-select mode"));
  ml->addWidget(leave);
  rl->addWidget(multiPanel_, 3);
  multiPanel_->setVisible(false);
  multiBtn_ = MakeButton(right, "CatBtn1", T("enter multi-select mode"));
  multiBtn_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  rl->addWidget(multiBtn_, 0, Qt::AlignLeft);
  ul->addWidget(right, 1);

  auto* lower = new QWidget(splitter_);
  auto* ll = new QVBoxLayout(lower);
  ll->setContentsMargins(0, 0, 0, 0);
  ll->setSpacing(2);
  auto* navRow = new QHBoxLayout;
  nav_ = new TNavigator(lower);
  nav_->setObjectName(QStringLiteral("DBNavigator"));
  nav_->SetHints({T("Base"), T("Up"), T("Down"), T("Last"), T("Add"), QString(), T("Extract"), T("Edit"), QString(),
                  T("print a list of all or selected items"), T("Copy")});
  nav_->SetButtonVisible(nbPost, false);
  // The pictures follow what these two buttons do here.
  nav_->SetGlyph(nbCancel, TNavGlyph::List);
  nav_->SetGlyph(nbRefresh, TNavGlyph::Copy);
  navRow->addWidget(nav_);
  searchEdit_ = new QLineEdit(lower);
  searchEdit_->setObjectName(QStringLiteral("SearchEdit"));
  searchEdit_->setReadOnly(true);
  searchEdit_->setFocusPolicy(Qt::ClickFocus);
  searchEdit_->installEventFilter(this);
  connect(searchEdit_, &QLineEdit::textEdited, this, &TfBaseForm::SearchEdited);
  searchEdit_->setMaximumWidth(240);
  searchEdit_->setVisible(false);
  navRow->addWidget(searchEdit_);
  navRow->addStretch();
  ll->addLayout(navRow);
  filterRow_ = new TFilterRow(lower);
  connect(filterRow_, &TFilterRow::Changed, this, &TfBaseForm::FilterChanged);
  ll->addWidget(filterRow_);

  model_ = new TCatalogueModel(backend_, this);
  table_ = new QTableView(lower);
  table_->setObjectName(QStringLiteral("DBGrid1"));
  table_->setModel(model_);
  table_->setItemDelegate(new TCatalogueDelegate(table_));
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setAlternatingRowColors(true);
  table_->setWordWrap(false);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
  table_->verticalHeader()->setFixedWidth(14);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->horizontalHeader()->setHighlightSections(false);
  table_->horizontalHeader()->setSectionsClickable(true);
  table_->horizontalHeader()->setSortIndicatorShown(true);
  table_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
  // The smallest window still shows the five columns legibly and ten rows,
  // however the splitter stands (about 800 x 560 with the rest).
  table_->setMinimumHeight(table_->horizontalHeader()->sizeHint().height() +
                           10 * table_->verticalHeader()->defaultSectionSize() + 4);
  table_->setMinimumWidth(table_->fontMetrics().averageCharWidth() * 130);
  table_->setContextMenuPolicy(Qt::CustomContextMenu);
  table_->installEventFilter(this);
  // The columns follow the viewport, which narrows when the vertical scroll
  // bar appears after the table itself was resized.
  table_->viewport()->installEventFilter(this);
  ll->addWidget(table_, 1);
  splitter_->addWidget(upper_);
  splitter_->addWidget(lower);
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({300, 400});
  // The diagram keeps its share of the height when the window is resized;
  // moving the splitter sets the share, which is kept for the next start.
  splitter_->installEventFilter(this);
  connect(splitter_, &QSplitter::splitterMoved, this, [this] {
    const QList<int> sizes = splitter_->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total > 0) upperShare_ = std::clamp(static_cast<double>(sizes.value(0)) / total, 0.1, 0.9);
  });
  top->addWidget(splitter_, 1);

  status1_ = new QLabel(this);
  status1_->setMinimumWidth(100);
  status2_ = new QLabel(this);
  statusBar()->addWidget(status1_);
  statusBar()->addWidget(status2_, 1);

  popup_ = new QMenu(this);
  popup_->setObjectName(QStringLiteral("PopupMenu1"));
  saveAsAct_ = popup_->addAction(T("save as"));
  saveAsAct_->setObjectName(QStringLiteral("SaveAs1"));
  editAct_ = popup_->addAction(T("edit"));
  editAct_->setObjectName(QStringLiteral("Edit1"));

  // Wiring.
  connect(nav_, &TNavigator::Clicked, this, &TfBaseForm::NavigatorClicked);
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& cur) {
            if (!cur.isValid()) return;
            nav_->SetPosition(cur.row() + 1);
            RestartTimer();
            if (backend_.CatalogueChangedElsewhere())
              QTimer::singleShot(0, this, [this] { RefreshFromOtherStations(true); });
          });
  connect(table_->verticalHeader(), &QHeaderView::sectionClicked, this, [this](int r) { ActivateRow(r + 1); });
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& cur, const QModelIndex& previous) {
            if (cur.row() != previous.row()) dismissedRecNo_ = 0;  // the user moved
          });
  connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
    if (i.isValid()) OpenCurrent();
  });
  connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this, &TfBaseForm::SortByColumn);
  connect(table_, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    StopTimer();
    LoadCurrentLuminaire();
    saveAsAct_->setEnabled(loaded_);
    editAct_->setEnabled(model_->Count() > 0);
    popup_->popup(table_->viewport()->mapToGlobal(p));
  });
  connect(keyCombo_, QOverload<int>::of(&QComboBox::activated), this, [this](int) { table_->setFocus(); });
  keyCombo_->installEventFilter(this);
  connect(addAllBtn_, &QToolButton::clicked, this, &TfBaseForm::AddAllBelowRootClicked);
  connect(clearBtn_, &QToolButton::clicked, this, &TfBaseForm::ClearCatalogueClicked);
  connect(rebuild, &QToolButton::clicked, this, &TfBaseForm::RebuildClicked);
  connect(lang, &QToolButton::clicked, this, &TfBaseForm::LanguageClicked);
  connect(quit, &QToolButton::clicked, this, &TfBaseForm::CloseWindow);
  connect(about, &QToolButton::clicked, this, [this] { MakeAboutBox()->exec(); });
  connect(trBtn2_, &QToolButton::clicked, this, [this] {
    TranslateWindow(this, Settings().OrvTxtFile, LangFile("ORVTXT", Settings().DestLangExt));
  });
  connect(trBtn3_, &QToolButton::clicked, this, [this] {
    const std::string dest = LangFile("ORVMSG", Settings().DestLangExt);
    // Texts written into the current language's own file show at once.
    if (TranslateMessages(Settings().OrvMsgFile, dest, this) && dest == Settings().OrvMsgFile)
      msg_->Reload(Settings().OrvMsgFile);
  });
  connect(saveAsAct_, &QAction::triggered, this, &TfBaseForm::SaveAsClicked);
  connect(editAct_, &QAction::triggered, this, [this] { EditEntry(1); });
  connect(newLum, &QToolButton::clicked, this, &TfBaseForm::NewLuminaireClicked);
  connect(infoBtn_, &QToolButton::clicked, this, &TfBaseForm::OpenCurrent);
  connect(fBtn1_, &QToolButton::clicked, this, &TfBaseForm::ConvertListClicked);
  connect(prtBtn_, &QToolButton::clicked, this, &TfBaseForm::PrintCurrentClicked);
  connect(catBtn4, &QToolButton::clicked, this, &TfBaseForm::EditOutputsClicked);
  connect(catPrintBtn_, &QToolButton::clicked, this, &TfBaseForm::PrintListClicked);
  connect(multiBtn_, &QToolButton::clicked, this, &TfBaseForm::EnterMultiSelect);
  connect(leave, &QToolButton::clicked, this, [this] { LeaveMultiSelect(); });
  connect(lBtn1_, &QToolButton::clicked, this, [this] {
    selList_->clear();
    UpdateListButtons();
  });
  connect(lBtn2_, &QToolButton::clicked, this, [this] {
    QTreeWidgetItem* item = selList_->currentItem();
    if (!item) return;
    if (AskYesNoCancelL(Msg("CONFMSG", "CONFDEL"), Settings().MsgTxtFile) != mrYes) return;
    delete item;
    UpdateListButtons();
  });
  auto* trMode = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F7), this);
  connect(trMode, &QShortcut::activated, this, &TfBaseForm::SetTranslationMode);
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this,
          &TfBaseForm::CloseWindow);
  connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this, &TfBaseForm::ShowHelp);
  connect(new QShortcut(QKeySequence(Qt::Key_F5), this), &QShortcut::activated, this, &TfBaseForm::RereadCatalogue);
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this), &QShortcut::activated, this,
          &TfBaseForm::FocusSearch);
  prtBtn_->setEnabled(false);
  infoBtn_->setEnabled(false);
  UpdateListButtons();
  BuildDialogHooks(setup);
}

}  // namespace kandelo
