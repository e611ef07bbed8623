#include "ui/navigator.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QStyle>
#include <QToolButton>

namespace kandelo {

class TNavigator::QtRepeatTimer : public TRepeatTimer {
 public:
  explicit QtRepeatTimer(TNavigator* nav) {
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, nav, &TNavigator::RepeatTimerFired);
  }
  void Start(int ms) override { timer_.start(ms); }
  void Stop() override { timer_.stop(); }

 private:
  QTimer timer_;
};

namespace {

const char* const kButtonNames[kNavButtonCount] = {
    "First", "Prior", "Next", "Last", "Insert", "MultIns", "Delete", "Edit", "Post", "Cancel", "Refresh"};

}  // namespace

TNavigator::TNavigator(QWidget* parent)
    : QWidget(parent), ownTimer_(std::make_unique<QtRepeatTimer>(this)), timer_(ownTimer_.get()) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(1);
  const QStyle* st = style();
  const QIcon icons[kNavButtonCount] = {
      st->standardIcon(QStyle::SP_MediaSkipBackward), st->standardIcon(QStyle::SP_ArrowLeft),
      st->standardIcon(QStyle::SP_ArrowRight),        st->standardIcon(QStyle::SP_MediaSkipForward),
      st->standardIcon(QStyle::SP_FileIcon),          st->standardIcon(QStyle::SP_DirOpenIcon),
      st->standardIcon(QStyle::SP_TrashIcon),         st->standardIcon(QStyle::SP_FileDialogDetailedView),
      st->standardIcon(QStyle::SP_DialogApplyButton), st->standardIcon(QStyle::SP_FileDialogListView),
      st->standardIcon(QStyle::SP_FileDialogNewFolder)};
  for (int i = 0; i < kNavButtonCount; ++i) {
    auto* b = new QToolButton(this);
    b->setIcon(icons[i]);
    b->setAccessibleName(QString::fromLatin1(kButtonNames[i]));
    b->setAutoRaise(false);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setMinimumSize(26, 24);
    buttons_[static_cast<std::size_t>(i)] = b;
    hints_ << QString();
    row->addWidget(b);
    const auto nb = static_cast<TNavigateBtn>(i);
    connect(b, &QToolButton::clicked, this, [this, nb] { Click(nb); });
    if (nb == nbPrior || nb == nbNext) {
      connect(b, &QToolButton::pressed, this, [this, nb] { ButtonPressed(nb); });
      connect(b, &QToolButton::released, this, [this] { ButtonReleased(); });
    }
  }
  UpdateButtons();
}

TNavigator::~TNavigator() = default;

void TNavigator::SetPosition(int p) {
  position_ = p;
  UpdateButtons();
}

void TNavigator::SetCount(int n) {
  count_ = n < 0 ? 0 : n;
  UpdateButtons();
}

void TNavigator::SetButtonVisible(TNavigateBtn b, bool visible) { Button(b)->setVisible(visible); }
bool TNavigator::IsButtonVisible(TNavigateBtn b) const { return !Button(b)->isHidden(); }

void TNavigator::SetHints(const QStringList& hints) {
  for (int i = 0; i < kNavButtonCount; ++i) {
    hints_[i] = i < hints.size() ? hints[i] : QString();
    buttons_[static_cast<std::size_t>(i)]->setToolTip(hints_[i]);
  }
}

void TNavigator::UpdateButtons() {
  const bool back = position_ > 1;
  const bool forward = position_ < count_;
  Button(nbFirst)->setEnabled(back);
  Button(nbPrior)->setEnabled(back);
  Button(nbNext)->setEnabled(forward);
  Button(nbLast)->setEnabled(forward);
}

void TNavigator::Click(TNavigateBtn b) {
  switch (b) {
    case nbFirst: position_ = 1; break;
    case nbPrior: if (position_ > 1) --position_; break;
    case nbNext: if (position_ < count_) ++position_; break;
    case nbLast: position_ = count_ > 0 ? count_ : 1; break;
    default: break;
  }
  UpdateButtons();
  emit Clicked(b);
}

void TNavigator::SetRepeatTimer(TRepeatTimer* timer) { timer_ = timer ? timer : ownTimer_.get(); }

void TNavigator::ButtonPressed(TNavigateBtn b) {
  if (!Button(b)->isEnabled()) return;
  repeating_ = b;
  timer_->Start(kInitRepeatPause);
}

void TNavigator::ButtonReleased() {
  repeating_ = -1;
  timer_->Stop();
}

void TNavigator::RepeatTimerFired() {
  if (repeating_ < 0) return;
  const auto b = static_cast<TNavigateBtn>(repeating_);
  if (!Button(b)->isEnabled()) {
    ButtonReleased();
    return;
  }
  Click(b);
  if (repeating_ >= 0 && Button(b)->isEnabled()) timer_->Start(kRepeatPause);
  else ButtonReleased();
}

void TNavigator::keyPressEvent(QKeyEvent* e) {
  std::vector<int> visible;
  int focused = -1;
  for (int i = 0; i < kNavButtonCount; ++i) {
    if (buttons_[static_cast<std::size_t>(i)]->isHidden()) continue;
    if (buttons_[static_cast<std::size_t>(i)]->hasFocus()) focused = static_cast<int>(visible.size());
    visible.push_back(i);
  }
  if (visible.empty()) return QWidget::keyPressEvent(e);
  switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
      const int n = static_cast<int>(visible.size());
      int next = focused < 0 ? 0 : focused + (e->key() == Qt::Key_Right ? 1 : -1);
      next = (next + n) % n;
      buttons_[static_cast<std::size_t>(visible[static_cast<std::size_t>(next)])]->setFocus();
      return;
    }
    case Qt::Key_Space:
      if (focused >= 0) {
        auto* b = buttons_[static_cast<std::size_t>(visible[static_cast<std::size_t>(focused)])];
        if (b->isEnabled()) Click(static_cast<TNavigateBtn>(visible[static_cast<std::size_t>(focused)]));
        return;
      }
      break;
    default:
      break;
  }
  QWidget::keyPressEvent(e);
}

}  // namespace kandelo
