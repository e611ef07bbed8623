// The record navigator: a bar of eleven buttons over a position p in 1..n.
// FIRST and PRIOR are enabled when p > 1, NEXT and LAST when p < n. PRIOR and
// NEXT repeat while held (first after 400 ms, then every 100 ms). Left and
// Right move the focus among the visible buttons, Space clicks.
#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <array>

#include "texts/text_controls.h"

class QToolButton;

namespace kandelo {

enum TNavigateBtn : int {
  nbFirst = 0, nbPrior, nbNext, nbLast, nbInsert, nbMultIns, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh,
};
constexpr int kNavButtonCount = 11;

// The repeat timer, replaceable so that the repeat can be driven without waiting.
class TRepeatTimer {
 public:
  virtual ~TRepeatTimer() = default;
  virtual void Start(int intervalMs) = 0;
  virtual void Stop() = 0;
};

// What a button's glyph shows: the navigator's own picture of the button, or
// the action a window puts on it (the browser prints lists with CANCEL and
// copies entries with REFRESH).
enum class TNavGlyph { Standard, List, Copy };

class TNavigator : public QWidget, public THintList {
  Q_OBJECT
 public:
  static constexpr int kInitRepeatPause = 400;
  static constexpr int kRepeatPause = 100;

  explicit TNavigator(QWidget* parent = nullptr);
  ~TNavigator() override;

  int Position() const { return position_; }
  int Count() const { return count_; }
  void SetPosition(int p);
  void SetCount(int n);
  void SetButtonVisible(TNavigateBtn b, bool visible);
  bool IsButtonVisible(TNavigateBtn b) const;
  QToolButton* Button(TNavigateBtn b) const { return buttons_[static_cast<std::size_t>(b)]; }
  void SetGlyph(TNavigateBtn b, TNavGlyph glyph);
  TNavGlyph Glyph(TNavigateBtn b) const { return glyphs_[static_cast<std::size_t>(b)]; }

  QStringList Hints() const override { return hints_; }
  void SetHints(const QStringList& hints) override;

  // Clicks a button as the user would: moves the position, then reports it.
  void Click(TNavigateBtn b);

  // Repeat of PRIOR/NEXT: pressed arms the timer, each expiry clicks once more
  // and re-arms it with the short pause, release stops it.
  void SetRepeatTimer(TRepeatTimer* timer);  // not owned; nullptr = built-in
  void ButtonPressed(TNavigateBtn b);
  void ButtonReleased();
  void RepeatTimerFired();

 signals:
  void Clicked(int button);

 protected:
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void UpdateButtons();
  class QtRepeatTimer;

  std::array<QToolButton*, kNavButtonCount> buttons_{};
  std::array<TNavGlyph, kNavButtonCount> glyphs_{};
  QStringList hints_;
  int position_ = 1;
  int count_ = 0;
  int repeating_ = -1;
  std::unique_ptr<QtRepeatTimer> ownTimer_;
  TRepeatTimer* timer_ = nullptr;
};

}  // namespace kandelo
