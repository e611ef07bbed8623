// TLinfoForm ("Leuchten-Information : " + the luminaire's name): every
// evaluation of a luminaire on its own tab, with the parameters of the chosen
// one beside the drawing. A parameter change recomputes what depends on it
// and redraws; Ctrl+Insert copies the drawing to the clipboard, and the
// drawing can be written as a metafile or as PDF, SVG or PNG.
//
// The window evaluates its own copy of the luminaire: the luminous area of
// the catalogue record and the computations it runs never change the
// browser's object.
#pragma once

#include <QDialog>
#include <QImage>
#include <array>
#include <memory>
#include <string>

#include "database/catalogue_record.h"
#include "evaluation/evaluation_types.h"
#include "frame/msgmanager.h"
#include "photometry/lum32.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace kandelo {

class TDrwWin;
class TRadioGroup;

class TLinfoForm : public QDialog {
  Q_OBJECT
 public:
  enum Tab { tabLvk, tabGlare, tabUtf, tabIsolux, tabCone, tabCount, tabFloor, tabCountAll };

  TLinfoForm(const TCatalogueRecord& record, const TLUM32& lum, bool translationMode, QWidget* parent = nullptr);
  ~TLinfoForm() override;

  // State, for tests and the screenshots.
  TEvaluationType Type() const { return type_; }
  const TEvaluationSet& EvalSet() const { return set_; }
  const TLUM32& Luminaire() const { return lum_; }
  TRect DrawingRect() const { return rect_; }
  TDrwWin* DrawingWindow() const { return draw_; }
  QTabBar* Tabs() const { return tabs_; }
  TRadioGroup* LvkGroup() const { return lvkGroup_; }
  TRadioGroup* GlareGroup() const { return glareGroup_; }
  TRadioGroup* UtfGroup() const { return utfGroup_; }
  QListWidget* PlaneList() const { return planeList_; }
  QLineEdit* GammaMaxField() const { return gmax_; }
  std::array<QLineEdit*, 4> IsoluxFields() const { return iso_; }
  QPushButton* ShowButton() const { return showBtn_; }
  QListWidget* DistanceList() const { return distList_; }
  QComboBox* ReflectanceCombo() const { return reflCombo_; }
  QComboBox* AreaCombo() const { return areaCombo_; }
  QComboBox* CountHeightPreset() const { return cHeightCombo_; }
  std::array<QLineEdit*, 3> CountHeights() const { return cH_; }
  QComboBox* IlluminancePreset() const { return cIllumCombo_; }
  std::array<QLineEdit*, 3> Illuminances() const { return cE_; }
  QLineEdit* CountMaintenance() const { return cMaint_; }
  QComboBox* FloorHeightPreset() const { return fHeightCombo_; }
  std::array<QLineEdit*, 3> FloorHeights() const { return fH_; }
  QComboBox* DistancePreset() const { return fDistCombo_; }
  QLineEdit* LeftField() const { return fL_; }
  QLineEdit* RightField() const { return fR_; }
  QLineEdit* FloorMaintenance() const { return fMaint_; }
  QCheckBox* EmergencyCheck() const { return emergency_; }
  QPushButton* TrButton() const { return trBtn_; }
  QPushButton* CopyButton() const { return copyBtn_; }
  QPushButton* ExportButton() const { return exportBtn_; }
  QPushButton* WmfButton() const { return wmfBtn_; }

  // The localized caption without the luminaire's name.
  QString BaseCaption() const;
  // The translate button: the window's texts in the translation dialog.
  void Translate();
  // Selects a tab as the user does (panels, type, drawing window).
  void SelectTab(int tab);
  // Ctrl+Insert: the current drawing on the clipboard (metafile, SVG, PNG).
  void CopyToClipboard();
  // "generate WMF-file": the metafile into the type's export directory; the
  // file written, or "" after an error box.
  std::string WriteMetafile();
  // "Export…": PDF, SVG or PNG through a file dialog; the file written or "".
  std::string ExportDrawing();
  // Draws the current type into an image of the given size, as on screen.
  QImage RenderCurrent(QSize size);

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void BuildWidgets();
  QWidget* BuildLvkPage();
  QWidget* BuildGlarePage();
  QWidget* BuildUtfPage();
  QWidget* BuildIsoluxPage();
  QWidget* BuildConePage();
  QWidget* BuildCountPage();
  QWidget* BuildFloorPage();
  void FillPlaneList();
  void FillValues();
  void Connect();

  void SetupDrawing();
  void Redraw();
  TEvaluationType TypeOfTab(int tab) const;
  void RadioChanged();
  void PlaneItemChanged(QListWidgetItem* item);
  void GammaMaxEdited();
  void ShowIsolux();
  void IsoluxFieldLeft(int field);  // 0 … 3: side, height, flux, factor
  void ApplyIsolux(const std::array<double, 4>& values);
  void ConeDistanceChanged(int row);
  void CountChanged();
  void FloorChanged();
  void CountHeightPresetChosen(int index);
  void IlluminancePresetChosen(int index);
  void FloorHeightPresetChosen(int index);
  void DistancePresetChosen(int index);
  // Reads a field into `value` when it holds a number in range; otherwise the
  // field gets the previous value back and an error box says why.
  bool TakeField(QLineEdit* field, const TValueRange& range, double& value);
  void Refuse(QLineEdit* field, const std::string& previous, const std::string& why);
  std::string RangeText(const TValueRange& range) const;
  std::string Msg(const char* key, const char* fallback) const;
  std::string BaseName() const;

  TLUM32 lum_;
  TCatalogueRecord record_;
  bool translation_;
  std::unique_ptr<TMsgManager> msg_;
  TEvaluationSet set_;
  TEvaluationType type_ = etPolar;
  TRect rect_{};
  bool filling_ = false;
  bool refusing_ = false;
  QString nameSuffix_;  // " : " + the luminaire's name, after the caption

  QLabel* top_ = nullptr;
  QLabel* status_ = nullptr;
  QTabBar* tabs_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  TDrwWin* draw_ = nullptr;
  TRadioGroup* lvkGroup_ = nullptr;
  TRadioGroup* glareGroup_ = nullptr;
  TRadioGroup* utfGroup_ = nullptr;
  QListWidget* planeList_ = nullptr;
  QLabel* gmaxLabel_ = nullptr;
  QLineEdit* gmax_ = nullptr;
  std::array<QLineEdit*, 4> iso_{};
  QPushButton* showBtn_ = nullptr;
  QListWidget* distList_ = nullptr;
  QComboBox* reflCombo_ = nullptr;
  QComboBox* areaCombo_ = nullptr;
  QComboBox* cHeightCombo_ = nullptr;
  std::array<QLineEdit*, 3> cH_{};
  QComboBox* cIllumCombo_ = nullptr;
  std::array<QLineEdit*, 3> cE_{};
  QLineEdit* cMaint_ = nullptr;
  QComboBox* fHeightCombo_ = nullptr;
  std::array<QLineEdit*, 3> fH_{};
  QComboBox* fDistCombo_ = nullptr;
  QLineEdit* fL_ = nullptr;
  QLineEdit* fR_ = nullptr;
  QLineEdit* fMaint_ = nullptr;
  QCheckBox* emergency_ = nullptr;
  QPushButton* copyBtn_ = nullptr;
  QPushButton* exportBtn_ = nullptr;
  QPushButton* wmfBtn_ = nullptr;
  QPushButton* trBtn_ = nullptr;
  QPushButton* backBtn_ = nullptr;
};

// Opens the window modally for the record and the luminaire.
void ShowEvaluationWindow(const TCatalogueRecord& record, const TLUM32& lum, bool translationMode,
                          QWidget* parent = nullptr);

}  // namespace kandelo
