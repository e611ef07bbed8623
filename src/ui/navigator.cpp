#include "ui/navigator.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
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

// The navigator's glyphs, drawn so that they look the same in every style.
QIcon StandardGlyph(int b) {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor blue(30, 60, 140), green(20, 130, 40), red(190, 30, 30), dark(60, 60, 60);
  auto tri = [&](bool left, double x0) {
    QPolygonF t;
    if (left) t << QPointF(x0 + 12, 6) << QPointF(x0 + 12, 26) << QPointF(x0, 16);
    else t << QPointF(x0, 6) << QPointF(x0, 26) << QPointF(x0 + 12, 16);
    p.setBrush(blue);
    p.setPen(Qt::NoPen);
    p.drawPolygon(t);
  };
  auto plus = [&](double cx, double cy, double r) {
    p.setPen(QPen(green, 4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(cx - r, cy), QPointF(cx + r, cy));
    p.drawLine(QPointF(cx, cy - r), QPointF(cx, cy + r));
  };
  switch (b) {
    case nbFirst: p.fillRect(QRectF(7, 6, 3, 20), blue); tri(true, 12); break;
    case nbPrior: tri(true, 10); break;
    case nbNext: tri(false, 10); break;
    case nbLast: tri(false, 8); p.fillRect(QRectF(22, 6, 3, 20), blue); break;
    case nbInsert: plus(16, 16, 9); break;
    case nbMultIns: plus(11, 11, 6); plus(21, 21, 6); break;
    case nbDelete:
      p.setPen(QPen(red, 4, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(QPointF(7, 16), QPointF(25, 16));
      break;
    case nbEdit: {
      p.setPen(Qt::NoPen);
      p.setBrush(blue);
      p.drawPolygon(QPolygonF() << QPointF(6, 22) << QPointF(26, 22) << QPointF(16, 9));
      break;
    }
    case nbPost:
      p.setPen(QPen(green, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.drawPolyline(QPolygonF() << QPointF(7, 17) << QPointF(13, 23) << QPointF(25, 9));
      break;
    case nbCancel:
      p.setPen(QPen(red, 4, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(9, 9), QPointF(23, 23));
      p.drawLine(QPointF(23, 9), QPointF(9, 23));
      break;
    case nbRefresh:
      p.setPen(QPen(dark, 3.5, Qt::SolidLine, Qt::FlatCap));
      p.drawArc(QRectF(7, 7, 18, 18), 60 * 16, 280 * 16);
      p.setPen(Qt::NoPen);
      p.setBrush(dark);
      p.drawPolygon(QPolygonF() << QPointF(18, 3) << QPointF(26, 8) << QPointF(18, 12));
      break;
    default:
      break;
  }
  return QIcon(pm);
}

// A sheet with text lines (a list to print), or two sheets (a copy).
QIcon ActionGlyph(TNavGlyph glyph) {
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor dark(60, 60, 60), blue(30, 60, 140);
  auto sheet = [&](const QRectF& r) {
    p.setPen(QPen(dark, 2));
    p.setBrush(Qt::white);
    p.drawRect(r);
  };
  if (glyph == TNavGlyph::List) {
    sheet(QRectF(7, 4, 18, 24));
    p.setPen(QPen(blue, 2, Qt::SolidLine, Qt::FlatCap));
    for (int y = 10; y <= 22; y += 4) p.drawLine(QPointF(11, y), QPointF(21, y));
  } else {
    sheet(QRectF(5, 4, 14, 18));
    sheet(QRectF(13, 10, 14, 18));
  }
  return QIcon(pm);
}

const char* const kButtonNames[kNavButtonCount] = {
    "First", "Prior", "Next", "Last", "Insert", "MultIns", "Delete", "Edit", "Post", "Cancel", "Refresh"};

}  // namespace

TNavigator::TNavigator(QWidget* parent)
    : QWidget(parent), ownTimer_(std::make_unique<QtRepeatTimer>(this)), timer_(ownTimer_.get()) {
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(1);
  for (int i = 0; i < kNavButtonCount; ++i) {
    auto* b = new QToolButton(this);
    b->setIcon(StandardGlyph(i));
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

void TNavigator::SetGlyph(TNavigateBtn b, TNavGlyph glyph) {
  const auto i = static_cast<std::size_t>(b);
  glyphs_[i] = glyph;
  buttons_[i]->setIcon(glyph == TNavGlyph::Standard ? StandardGlyph(static_cast<int>(b)) : ActionGlyph(glyph));
}

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
