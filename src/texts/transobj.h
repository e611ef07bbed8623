// Window texts as a list for translation: one TTransObj per translatable text
// (caption and/or hint) of a window's controls, items, tabs, sections, hints and
// menu items, collected from the live window and written back into it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

class QMenu;
class QMenuBar;

namespace kandelo {

struct TTransObj {
  std::string ItemName;   // component name; "<name> [n]" for the n-th item (n from 1)
  std::string Caption;    // at most 255 characters, 1252
  std::string Hint;       // at most 255 characters, 1252
  bool HasHint = false;
  bool HasCaption = true;
  QPointer<QObject> Control;  // not owned
  int ItemIndex = -1;         // -1 the control itself, else the 0-based item
};

class TTransList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Names(int i) const { return items_[static_cast<std::size_t>(i)]->ItemName; }
  TTransObj& Objects(int i) { return *items_[static_cast<std::size_t>(i)]; }
  const TTransObj& Objects(int i) const { return *items_[static_cast<std::size_t>(i)]; }
  void Add(std::unique_ptr<TTransObj> obj) { items_.push_back(std::move(obj)); }
  int IndexOf(const std::string& name) const;
  void Clear() { items_.clear(); window_ = nullptr; }
  QWidget* Window() const { return window_; }
  void SetWindow(QWidget* w) { window_ = w; }

 private:
  std::vector<std::unique_ptr<TTransObj>> items_;
  QPointer<QWidget> window_;
};

// Fills the list (cleared first) with the window's texts, or a menu's.
void CollectTexts(QWidget* window, TTransList& list);
void CollectTexts(QMenu* menu, TTransList& list);
void CollectTexts(QMenuBar* menu, TTransList& list);

// Writes every entry's texts back into its control.
void ApplyTexts(const TTransList& list);

}  // namespace kandelo
