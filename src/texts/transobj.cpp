#include "texts/transobj.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "frame/strutil.h"
#include "texts/qstr.h"
#include "texts/text_controls.h"

namespace kandelo {

int TTransList::IndexOf(const std::string& name) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->ItemName == name) return static_cast<int>(i);
  return -1;
}

namespace {

std::unique_ptr<TTransObj> Make(QObject* control, std::string name, const QString& caption,
                                const QString& hint, bool hasHint, int index = -1) {
  auto o = std::make_unique<TTransObj>();
  o->ItemName = std::move(name);
  o->Caption = Cut(S(caption));
  o->Hint = Cut(S(hint));
  o->HasHint = hasHint;
  o->Control = control;
  o->ItemIndex = index;
  return o;
}

// A single text is worth listing when it has a name and a real caption, or a hint.
bool Listable(const TTransObj& o) {
  return (!o.ItemName.empty() && !o.Caption.empty() && o.Caption != "-") || !o.Hint.empty();
}

void AddIfListable(TTransList& list, std::unique_ptr<TTransObj> o) {
  if (Listable(*o)) list.Add(std::move(o));
}

std::string ItemName(const std::string& name, int index0) {
  return name + " [" + std::to_string(index0 + 1) + "]";
}

void CollectActions(const QList<QAction*>& top, TTransList& list) {
  auto add = [&](QAction* a) {
    auto o = Make(a, S(a->objectName()), a->isSeparator() ? QStringLiteral("-") : a->text(), a->statusTip(), true);
    if (TagOf(a) > 0) o->HasCaption = o->HasHint = false;
    AddIfListable(list, std::move(o));
  };
  for (QAction* a : top) {
    add(a);
    if (a->menu())
      for (QAction* sub : a->menu()->actions()) add(sub);
  }
}

}  // namespace

void CollectTexts(QWidget* window, TTransList& list) {
  list.Clear();
  if (!window) return;
  list.SetWindow(window);
  AddIfListable(list, Make(window, S(WindowClassName(window)), window->windowTitle(), {}, false));

  for (QWidget* w : TextControls(window)) {
    if (TagOf(w) == 2) continue;
    const TextKind kind = KindOf(w);
    const std::string name = S(w->objectName());
    switch (kind) {
      case TextKind::Label:
      case TextKind::GroupBox:
        AddIfListable(list, Make(w, name, CaptionOf(w, kind), {}, false));
        break;
      case TextKind::Button:
      case TextKind::SpeedButton:
      case TextKind::CheckBox:
      case TextKind::RadioButton:
        AddIfListable(list, Make(w, name, CaptionOf(w, kind), HintOf(w), true));
        break;
      case TextKind::TabSet: {
        const QStringList items = ItemTexts(w, kind);
        for (int i = 0; i < items.size(); ++i) list.Add(Make(w, ItemName(name, i), items[i], HintOf(w), true, i));
        break;
      }
      case TextKind::Navigator: {
        const QStringList hints = ItemTexts(w, kind);
        for (int i = 0; i < hints.size(); ++i) {
          auto o = Make(w, ItemName(name, i), {}, hints[i], true, i);
          o->HasCaption = false;
          list.Add(std::move(o));
        }
        break;
      }
      case TextKind::RadioGroup: {
        list.Add(Make(w, name, CaptionOf(w, kind), HintOf(w), true));
        const QStringList items = ItemTexts(w, kind);
        for (int i = 0; i < items.size(); ++i) list.Add(Make(w, ItemName(name, i), items[i], {}, false, i));
        break;
      }
      case TextKind::Notebook:
      case TextKind::Header: {
        const QStringList items = ItemTexts(w, kind);
        for (int i = 0; i < items.size(); ++i)
          if (!items[i].isEmpty()) list.Add(Make(w, ItemName(name, i), items[i], {}, false, i));
        break;
      }
      case TextKind::None:
        break;
    }
  }
}

void CollectTexts(QMenu* menu, TTransList& list) {
  list.Clear();
  if (!menu) return;
  CollectActions(menu->actions(), list);
}

void CollectTexts(QMenuBar* menu, TTransList& list) {
  list.Clear();
  if (!menu) return;
  CollectActions(menu->actions(), list);
}

void ApplyTexts(const TTransList& list) {
  for (int i = 0; i < list.Count(); ++i) {
    const TTransObj& o = list.Objects(i);
    QObject* c = o.Control.data();
    if (!c) continue;
    const QString caption = Q(o.Caption);
    const QString hint = Q(o.Hint);
    if (auto* a = qobject_cast<QAction*>(c)) {
      if (a->isSeparator()) continue;
      if (o.HasCaption) a->setText(caption);
      if (o.HasHint) a->setStatusTip(hint);
      continue;
    }
    auto* w = qobject_cast<QWidget*>(c);
    if (!w) continue;
    if (w == list.Window()) {
      w->setWindowTitle(caption);
      continue;
    }
    const TextKind kind = KindOf(w);
    switch (kind) {
      case TextKind::Label:
      case TextKind::GroupBox:
        SetCaptionOf(w, kind, caption);
        break;
      case TextKind::Button:
      case TextKind::SpeedButton:
      case TextKind::CheckBox:
      case TextKind::RadioButton:
        SetCaptionOf(w, kind, caption);
        SetHintOf(w, hint);
        break;
      case TextKind::RadioGroup:
        if (o.ItemIndex < 0) {
          SetCaptionOf(w, kind, caption);
          SetHintOf(w, hint);
        } else {
          SetItemText(w, kind, o.ItemIndex, caption);
        }
        break;
      case TextKind::Notebook:
        if (o.ItemIndex >= 0) SetItemText(w, kind, o.ItemIndex, caption);
        break;
      case TextKind::Navigator:
        if (o.ItemIndex < 0) SetHintOf(w, hint);
        else SetItemText(w, kind, o.ItemIndex, hint);
        break;
      case TextKind::TabSet:
      case TextKind::Header:
        if (o.ItemIndex < 0) SetHintOf(w, hint);
        else SetItemText(w, kind, o.ItemIndex, caption);
        break;
      case TextKind::None:
        break;
    }
  }
}

}  // namespace kandelo
