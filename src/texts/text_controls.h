// How the window-text tools see Qt widgets: each named widget is one kind of
// control with a caption, a hint and item texts. The kind decides which keys a
// window's language-file section holds for it and which texts translation edits.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

namespace kandelo {

enum class TextKind {
  None, Button, SpeedButton, CheckBox, RadioButton, Label, GroupBox, RadioGroup,
  TabSet, Notebook, Header, Navigator,
};

// A control with a list of hints, one per button (the record navigator).
class THintList {
 public:
  virtual ~THintList() = default;
  virtual QStringList Hints() const = 0;
  virtual void SetHints(const QStringList& hints) = 0;
};

// A group box holding exclusive radio items; the items have no names of their
// own, their texts are the group's item texts.
class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit TRadioGroup(const QString& title = {}, QWidget* parent = nullptr);
  void AddItem(const QString& text);
  int Count() const;
  QString Item(int index) const;
  void SetItem(int index, const QString& text);
  int ItemIndex() const;
  void SetItemIndex(int index);

 private:
  QButtonGroup* group_;
};

// The tag of a control (dynamic property "tag", 0 when unset). Tag 2 hides a
// control from translation; a menu item with a tag above 0 is read-only there.
int TagOf(const QObject* o);
void SetTag(QObject* o, int tag);

// The name under which a window's texts are stored: its class name without namespace.
QString WindowClassName(const QWidget* window);

TextKind KindOf(QWidget* w);

// The window's named controls in creation order; child windows and Qt's own
// helper widgets are not walked.
std::vector<QWidget*> TextControls(QWidget* window);

// Item texts of multi-item kinds (tabs, pages, header sections, radio items).
QStringList ItemTexts(QWidget* w, TextKind kind);
void SetItemText(QWidget* w, TextKind kind, int index, const QString& text);

QString CaptionOf(QWidget* w, TextKind kind);
void SetCaptionOf(QWidget* w, TextKind kind, const QString& text);
QString HintOf(QWidget* w);
void SetHintOf(QWidget* w, const QString& hint);

}  // namespace kandelo
