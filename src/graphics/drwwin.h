// The fit of the drawing window: a drawing of a caller-chosen logical size is
// shown at the largest scale that fits the client area less a margin, centred
// in it; mouse positions come back in logical units. The toolkit widget
// (graphics/qt/drwwin_widget.h) wraps this.
#pragma once

#include "graphics/device.h"

namespace kandelo {

class TDrwWinLayout {
 public:
  int Margin() const { return margin_; }
  // Stores a different non-negative value; true when the window must repaint.
  bool SetMargin(int margin);
  // The range size, equal to the client size.
  void SetClientSize(int width, int height);
  TSize ClientSize() const { return range_; }
  // Declares the logical size of the drawing and computes the centring.
  void SetDrawingSize(int width, int height);
  TSize DrawingSize() const { return drawing_; }
  // Centring offset in device pixels added to the viewport origin.
  TPoint Offset() const { return offset_; }
  float Zoom() const { return 1.0f; }

  // The painting mapping: isotropic, window = drawing size, viewport = range
  // less the margins, origin = margin + centring offset.
  void ApplyMapping(TDevice& dc) const;
  // A device point of the client area in logical units of the drawing.
  TPoint ToLogical(TPoint device) const;

 private:
  void Recenter();
  int margin_ = 5;
  TSize drawing_{1, 1};
  TSize range_{0, 0};
  TPoint offset_;
};

}  // namespace kandelo
