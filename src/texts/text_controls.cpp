#include "texts/text_controls.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace kandelo {

TRadioGroup::TRadioGroup(const QString& title, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
  new QVBoxLayout(this);
}

void TRadioGroup::AddItem(const QString& text) {
  auto* b = new QRadioButton(text, this);
  group_->addButton(b, Count());
  layout()->addWidget(b);
  if (Count() == 1) b->setChecked(true);
}

int TRadioGroup::Count() const { return static_cast<int>(group_->buttons().size()); }

QString TRadioGroup::Item(int index) const {
  auto* b = group_->button(index);
  return b ? b->text() : QString();
}

void TRadioGroup::SetItem(int index, const QString& text) {
  if (auto* b = group_->button(index)) b->setText(text);
}

int TRadioGroup::ItemIndex() const { return group_->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
  if (auto* b = group_->button(index)) b->setChecked(true);
}

int TagOf(const QObject* o) { return o ? o->property("tag").toInt() : 0; }
void SetTag(QObject* o, int tag) { o->setProperty("tag", tag); }

QString WindowClassName(const QWidget* window) {
  QString name = QString::fromLatin1(window->metaObject()->className());
  const int pos = name.lastIndexOf(QLatin1String("::"));
  return pos >= 0 ? name.mid(pos + 2) : name;
}

TextKind KindOf(QWidget* w) {
  if (dynamic_cast<THintList*>(w)) return TextKind::Navigator;
  if (qobject_cast<TRadioGroup*>(w)) return TextKind::RadioGroup;
  if (qobject_cast<QGroupBox*>(w)) return TextKind::GroupBox;
  if (qobject_cast<QCheckBox*>(w)) return TextKind::CheckBox;
  if (qobject_cast<QRadioButton*>(w)) return TextKind::RadioButton;
  if (qobject_cast<QToolButton*>(w)) return TextKind::SpeedButton;
  if (qobject_cast<QPushButton*>(w)) return TextKind::Button;
  if (qobject_cast<QLabel*>(w)) return TextKind::Label;
  if (qobject_cast<QTabBar*>(w)) return TextKind::TabSet;
  if (qobject_cast<QTabWidget*>(w)) return TextKind::Notebook;
  if (qobject_cast<QHeaderView*>(w)) return TextKind::Header;
  return TextKind::None;
}

namespace {

bool OwnName(const QObject* o) {
  const QString n = o->objectName();
  return !n.isEmpty() && !n.startsWith(QLatin1String("qt_"));
}

void Walk(QObject* parent, std::vector<QWidget*>& out) {
  for (QObject* child : parent->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (!w || w->isWindow()) continue;
    const TextKind kind = KindOf(w);
    if (OwnName(w) && kind != TextKind::None) out.push_back(w);
    // The items of these kinds are texts of the control, not controls.
    if (kind == TextKind::Navigator || kind == TextKind::RadioGroup) continue;
    Walk(w, out);
  }
}

}  // namespace

std::vector<QWidget*> TextControls(QWidget* window) {
  std::vector<QWidget*> out;
  Walk(window, out);
  return out;
}

QStringList ItemTexts(QWidget* w, TextKind kind) {
  QStringList items;
  switch (kind) {
    case TextKind::RadioGroup: {
      auto* g = static_cast<TRadioGroup*>(w);
      for (int i = 0; i < g->Count(); ++i) items << g->Item(i);
      break;
    }
    case TextKind::TabSet: {
      auto* t = static_cast<QTabBar*>(w);
      for (int i = 0; i < t->count(); ++i) items << t->tabText(i);
      break;
    }
    case TextKind::Notebook: {
      auto* t = static_cast<QTabWidget*>(w);
      for (int i = 0; i < t->count(); ++i) items << t->tabText(i);
      break;
    }
    case TextKind::Header: {
      auto* h = static_cast<QHeaderView*>(w);
      if (auto* m = h->model()) {
        const int n = h->orientation() == Qt::Horizontal ? m->columnCount() : m->rowCount();
        for (int i = 0; i < n; ++i) items << m->headerData(i, h->orientation()).toString();
      }
      break;
    }
    case TextKind::Navigator:
      items = dynamic_cast<THintList*>(w)->Hints();
      break;
    default:
      break;
  }
  return items;
}

void SetItemText(QWidget* w, TextKind kind, int index, const QString& text) {
  if (index < 0) return;
  switch (kind) {
    case TextKind::RadioGroup: static_cast<TRadioGroup*>(w)->SetItem(index, text); break;
    case TextKind::TabSet: {
      auto* t = static_cast<QTabBar*>(w);
      if (index < t->count()) t->setTabText(index, text);
      break;
    }
    case TextKind::Notebook: {
      auto* t = static_cast<QTabWidget*>(w);
      if (index < t->count()) t->setTabText(index, text);
      break;
    }
    case TextKind::Header: {
      auto* h = static_cast<QHeaderView*>(w);
      if (auto* m = h->model()) m->setHeaderData(index, h->orientation(), text);
      break;
    }
    case TextKind::Navigator: {
      auto* n = dynamic_cast<THintList*>(w);
      QStringList hints = n->Hints();
      if (index < hints.size()) {
        hints[index] = text;
        n->SetHints(hints);
      }
      break;
    }
    default:
      break;
  }
}

QString CaptionOf(QWidget* w, TextKind kind) {
  switch (kind) {
    case TextKind::Button:
    case TextKind::SpeedButton:
    case TextKind::CheckBox:
    case TextKind::RadioButton: return static_cast<QAbstractButton*>(w)->text();
    case TextKind::Label: return static_cast<QLabel*>(w)->text();
    case TextKind::GroupBox:
    case TextKind::RadioGroup: return static_cast<QGroupBox*>(w)->title();
    default: return {};
  }
}

void SetCaptionOf(QWidget* w, TextKind kind, const QString& text) {
  switch (kind) {
    case TextKind::Button:
    case TextKind::SpeedButton:
    case TextKind::CheckBox:
    case TextKind::RadioButton: static_cast<QAbstractButton*>(w)->setText(text); break;
    case TextKind::Label: static_cast<QLabel*>(w)->setText(text); break;
    case TextKind::GroupBox:
    case TextKind::RadioGroup: static_cast<QGroupBox*>(w)->setTitle(text); break;
    default: break;
  }
}

QString HintOf(QWidget* w) { return w->toolTip(); }
void SetHintOf(QWidget* w, const QString& hint) { w->setToolTip(hint); }

}  // namespace kandelo
