// TDrwWin: the drawing window. The owner draws in logical units of the
// drawing size in OnPaint; mouse events arrive in the same units.
#pragma once

#include <QWidget>
#include <functional>

#include "graphics/device.h"
#include "graphics/drwwin.h"

namespace kandelo {

class TDrwWin : public QWidget {
 public:
  explicit TDrwWin(QWidget* parent = nullptr);

  int margin() const { return layout_.Margin(); }
  void setMargin(int margin);
  void SetDrawingSize(int width, int height);
  const TDrwWinLayout& Layout() const { return layout_; }

  std::function<void(TDevice& dc)> OnPaint;
  std::function<void(TPoint logical, Qt::MouseButton button)> OnMouseDown, OnMouseMove, OnMouseUp;
  // Keys, the arrow keys included; OnKeyPress gets the typed text.
  std::function<void(int key, Qt::KeyboardModifiers modifiers)> OnKeyDown, OnKeyUp;
  std::function<void(const QString& text)> OnKeyPress;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  TPoint Logical(const QMouseEvent* event) const;
  TDrwWinLayout layout_;
};

}  // namespace kandelo
