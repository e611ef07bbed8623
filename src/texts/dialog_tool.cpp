#include "texts/dialog_tool.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "frame/inifile.h"
#include "frame/strutil.h"
#include "texts/qstr.h"
#include "texts/text_controls.h"

namespace kandelo {

namespace {

constexpr const char* kKeep = "XXXXX";

// A caption from the file, or nothing when the built-in text stays.
bool LookupCaption(const TBigInifile& ini, const std::string& sec, const std::string& key, QString& out) {
  const std::string v = ini.ReadString(sec, key, kKeep);
  if (v == kKeep) return false;
  out = Q(v);
  return true;
}

QString LookupHint(const TBigInifile& ini, const std::string& sec, const std::string& key, const QString& current) {
  return Q(ini.ReadString(sec, key, S(current)));
}

bool Writable(const QString& text) { return !text.isEmpty() && text != QLatin1String("-"); }

void WriteCaption(TBigInifile& ini, const std::string& sec, const std::string& key, const QString& text) {
  if (Writable(text)) ini.WriteString(sec, key, Cut(S(text)));
}

void WriteHint(TBigInifile& ini, const std::string& sec, const std::string& key, const QString& text) {
  if (!text.isEmpty()) ini.WriteString(sec, key, Cut(S(text)));
}

void LocalizeItems(const TBigInifile& ini, const std::string& sec, const std::string& name, QWidget* w, TextKind kind) {
  const QStringList items = ItemTexts(w, kind);
  for (int i = 0; i < items.size(); ++i) {
    QString text;
    if (LookupCaption(ini, sec, name + std::to_string(i), text)) SetItemText(w, kind, i, text);
  }
}

void ExportItems(TBigInifile& ini, const std::string& sec, const std::string& name, QWidget* w, TextKind kind) {
  const QStringList items = ItemTexts(w, kind);
  for (int i = 0; i < items.size(); ++i) WriteCaption(ini, sec, name + std::to_string(i), items[i]);
}

std::vector<QMenu*> WindowMenus(QWidget* window, QMenuBar** bar) {
  *bar = window->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
  std::vector<QMenu*> menus;
  for (QMenu* m : window->findChildren<QMenu*>(QString(), Qt::FindDirectChildrenOnly))
    if (!m->objectName().isEmpty()) menus.push_back(m);
  return menus;
}

template <typename Fn>
void ForEachMenuItem(const QList<QAction*>& top, Fn fn) {
  for (QAction* a : top) {
    if (TagOf(a) != 0) continue;
    fn(a);
    if (a->menu())
      for (QAction* sub : a->menu()->actions()) fn(sub);
  }
}

void LocalizeActions(const TBigInifile& ini, const std::string& sec, const QList<QAction*>& actions) {
  ForEachMenuItem(actions, [&](QAction* a) {
    if (a->isSeparator() || a->objectName().isEmpty()) return;
    const std::string name = S(a->objectName());
    QString text;
    if (LookupCaption(ini, sec, name, text)) a->setText(text);
    a->setStatusTip(LookupHint(ini, sec, name + "Hint", a->statusTip()));
  });
}

void ExportActions(TBigInifile& ini, const std::string& sec, const QList<QAction*>& actions) {
  ini.EraseSection(sec);
  ForEachMenuItem(actions, [&](QAction* a) {
    if (a->isSeparator() || a->objectName().isEmpty()) return;
    const std::string name = S(a->objectName());
    WriteCaption(ini, sec, name, a->text());
    WriteHint(ini, sec, name + "Hint", a->statusTip());
  });
}

}  // namespace

void LocalizeForm(bool showHints, const std::string& file, QWidget* window) {
  if (!window || !FileExistsS(file)) return;
  TBigInifile ini(file);
  const std::string sec = S(WindowClassName(window));
  QString text;
  if (LookupCaption(ini, sec, "CAPTION", text)) window->setWindowTitle(text);

  for (QWidget* w : TextControls(window)) {
    const TextKind kind = KindOf(w);
    const std::string name = S(w->objectName());
    switch (kind) {
      case TextKind::SpeedButton:
        if (TagOf(w) == 1) {
          if (LookupCaption(ini, "GeneralButtons", name, text)) SetCaptionOf(w, kind, text);
          SetHintOf(w, LookupHint(ini, "GeneralButtonsHint", name + "Hint", HintOf(w)));
          break;
        }
        [[fallthrough]];
      case TextKind::Button:
      case TextKind::CheckBox:
      case TextKind::RadioButton:
        if (LookupCaption(ini, sec, name, text)) SetCaptionOf(w, kind, text);
        SetHintOf(w, LookupHint(ini, sec, name + "Hint", HintOf(w)));
        break;
      case TextKind::Label:
      case TextKind::GroupBox:
        if (LookupCaption(ini, sec, name, text)) SetCaptionOf(w, kind, text);
        break;
      case TextKind::RadioGroup:
        if (LookupCaption(ini, sec, name, text)) SetCaptionOf(w, kind, text);
        SetHintOf(w, LookupHint(ini, sec, name + "Hint", HintOf(w)));
        LocalizeItems(ini, sec, name, w, kind);
        break;
      case TextKind::Notebook:
        LocalizeItems(ini, sec, name, w, kind);
        break;
      case TextKind::TabSet:
      case TextKind::Header:
        SetHintOf(w, LookupHint(ini, sec, name + "Hint", HintOf(w)));
        LocalizeItems(ini, sec, name, w, kind);
        break;
      case TextKind::Navigator: {
        SetHintOf(w, LookupHint(ini, sec, name + "Hint", HintOf(w)));
        auto* nav = dynamic_cast<THintList*>(w);
        QStringList hints = nav->Hints();
        for (int i = 0; i < hints.size(); ++i)
          hints[i] = LookupHint(ini, sec, name + std::to_string(i) + "Hint", hints[i]);
        nav->SetHints(hints);
        break;
      }
      case TextKind::None:
        break;
    }
    // Qt shows tool tips whenever they are set; showHints has nothing to switch.
    (void)showHints;
  }
}

void ExportForm(const std::string& file, QWidget* window) {
  if (!window) return;
  TBigInifile ini(file);
  const std::string sec = S(WindowClassName(window));
  ini.EraseSection(sec);
  WriteCaption(ini, sec, "CAPTION", window->windowTitle());

  for (QWidget* w : TextControls(window)) {
    const TextKind kind = KindOf(w);
    const std::string name = S(w->objectName());
    switch (kind) {
      case TextKind::SpeedButton:
        if (TagOf(w) == 1) break;  // shared texts live in "GeneralButtons"
        [[fallthrough]];
      case TextKind::Button:
      case TextKind::CheckBox:
      case TextKind::RadioButton:
        WriteCaption(ini, sec, name, CaptionOf(w, kind));
        WriteHint(ini, sec, name + "Hint", HintOf(w));
        break;
      case TextKind::Label:
      case TextKind::GroupBox:
        WriteCaption(ini, sec, name, CaptionOf(w, kind));
        break;
      case TextKind::RadioGroup:
        WriteCaption(ini, sec, name, CaptionOf(w, kind));
        WriteHint(ini, sec, name + "Hint", HintOf(w));
        ExportItems(ini, sec, name, w, kind);
        break;
      case TextKind::Notebook:
      case TextKind::TabSet:
      case TextKind::Header:
        ExportItems(ini, sec, name, w, kind);
        break;
      case TextKind::Navigator: {
        WriteHint(ini, sec, name + "Hint", HintOf(w));
        const QStringList hints = dynamic_cast<THintList*>(w)->Hints();
        for (int i = 0; i < hints.size(); ++i) WriteHint(ini, sec, name + std::to_string(i) + "Hint", hints[i]);
        break;
      }
      case TextKind::None:
        break;
    }
  }
  ini.UpdateFile();
}

void LocalizeMenu(const std::string& file, QWidget* window) {
  if (!window || !FileExistsS(file)) return;
  TBigInifile ini(file);
  QMenuBar* bar = nullptr;
  const auto menus = WindowMenus(window, &bar);
  if (bar && !bar->objectName().isEmpty()) LocalizeActions(ini, S(bar->objectName()), bar->actions());
  for (QMenu* m : menus) LocalizeActions(ini, S(m->objectName()), m->actions());
}

void ExportMenu(const std::string& file, QWidget* window) {
  if (!window) return;
  QMenuBar* bar = nullptr;
  const auto menus = WindowMenus(window, &bar);
  const bool hasBar = bar && !bar->objectName().isEmpty();
  if (!hasBar && menus.empty()) return;
  TBigInifile ini(file);
  if (hasBar) ExportActions(ini, S(bar->objectName()), bar->actions());
  for (QMenu* m : menus) ExportActions(ini, S(m->objectName()), m->actions());
  ini.UpdateFile();
}

void LocalizeOrExport(QWidget* window, const std::string& orvTxtFile) {
  if (orvTxtFile.empty()) return;
  if (FileExistsS(orvTxtFile)) {
    LocalizeForm(true, orvTxtFile, window);
    LocalizeMenu(orvTxtFile, window);
  } else {
    ExportForm(orvTxtFile, window);
    ExportMenu(orvTxtFile, window);
  }
}

}  // namespace kandelo
