#include "graphics/qt/drwwin_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "graphics/qt/qt_device.h"

namespace kandelo {

TDrwWin::TDrwWin(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);  // arrow keys reach the window
  layout_.SetClientSize(width(), height());
}

void TDrwWin::setMargin(int margin) {
  if (layout_.SetMargin(margin)) update();
}

void TDrwWin::SetDrawingSize(int width, int height) {
  layout_.SetDrawingSize(width, height);
  update();
}

void TDrwWin::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), palette().color(backgroundRole()));
  painter.setFont(font());
  TQtPainterDevice dc(painter);
  dc.SaveDC();
  layout_.ApplyMapping(dc);
  if (OnPaint) OnPaint(dc);
  dc.RestoreDC(-1);
}

void TDrwWin::resizeEvent(QResizeEvent*) {
  layout_.SetClientSize(width(), height());
  update();
}

TPoint TDrwWin::Logical(const QMouseEvent* event) const {
  const QPoint p = event->position().toPoint();
  return layout_.ToLogical({p.x(), p.y()});
}

void TDrwWin::mousePressEvent(QMouseEvent* event) {
  if (OnMouseDown) OnMouseDown(Logical(event), event->button());
}

void TDrwWin::mouseMoveEvent(QMouseEvent* event) {
  if (OnMouseMove) OnMouseMove(Logical(event), event->button());
}

void TDrwWin::mouseReleaseEvent(QMouseEvent* event) {
  if (OnMouseUp) OnMouseUp(Logical(event), event->button());
}

void TDrwWin::keyPressEvent(QKeyEvent* event) {
  if (OnKeyDown) OnKeyDown(event->key(), event->modifiers());
  if (OnKeyPress && !event->text().isEmpty()) OnKeyPress(event->text());
  if (!OnKeyDown && !OnKeyPress) QWidget::keyPressEvent(event);
}

void TDrwWin::keyReleaseEvent(QKeyEvent* event) {
  if (OnKeyUp)
    OnKeyUp(event->key(), event->modifiers());
  else
    QWidget::keyReleaseEvent(event);
}

}  // namespace kandelo
