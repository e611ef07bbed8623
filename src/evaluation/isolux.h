// The isolux computation: horizontal illuminance on a square floor area under
// one luminaire, on a 50 × 50 cell grid resampled onto a node grid, with the
// lines of equal illuminance traced on the nodes and smoothed by Catmull-Rom
// splines. The drawing is in isolux_diagram.h.
//
// Plane coordinates are metres from the point below the luminaire: x towards
// the luminaire's C 0 plane, y towards C 90.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "graphics/vecdata.h"
#include "photometry/lum32.h"

namespace kandelo {

constexpr int kIsoluxLevelCount = 19;
extern const float kIsoluxLevels[kIsoluxLevelCount];

// The evaluation window's parameters of the diagram.
struct TIsoluxRecord {
  float side = 10;    // A, m
  float height = 5;   // h, m
  float spare = 0;
  float flux = 1000;  // Φ, lm
  float factor = 1;   // not used by the drawing
};

// Accepted range of the side and the mounting height, in m.
constexpr double kIsoluxMinLength = 0.01, kIsoluxMaxLength = 10000;

// The levels for a grid: from the first table value not below the start
// (11 lx when the maximum exceeds 300 lx, else the minimum) to the last one
// not above the maximum.
std::vector<float> IsoluxLevels(float minimum, float maximum);

// One contour line: its smoothed points (x, y, 0) in plane coordinates, its
// screen polyline once projected, and its label rectangles.
class tisoline : public tline_3d {
 public:
  float level = 0;
  float spacing = 0;    // smoothing spacing, m
  double boxArea = 0;   // area of the bounding box, m²
  tline_tp screen;
  trectcoll labels;
  // Per point: it lies on the grid's edge. A line leaving the grid is closed
  // along the edge; those pieces are not drawn, so that the frame is not
  // doubled by contour lines.
  std::vector<bool> onEdge;
  void Project(const TMatrix4& view) override;
  // The screen polyline, closed, without its pieces along the grid's edge.
  void Draw(TDrawRecord& r) override;
};

// The contour lines, larger bounding box first, then lower level first.
class tisocoll : public talldraw {
 public:
  void Sort() override;
  tisoline* Line(int i) const { return static_cast<tisoline*>(Item(i)); }
};

// The node array the lines are traced on: the node grid's values minus the
// level, surrounded by a ring of nodes far below any level so that every
// line closes inside the ring.
struct TIsoNode {
  float f = 0;     // value − level
  float x = 0, y = 0;
  int type = 5;    // 0 on the outermost row and column of the grid
};
class tarr_no : public tdata_block<TIsoNode> {
 public:
  // count × count nodes at `step` from (x0, y0), plus the ring.
  bool Setup(const tarr_sg& nodes, int count, float x0, float y0, float step);
  void SetLevel(float level);
  int count = 0;
  float step = 0;
  float spacing = 0;  // min(step, step) / 5
 private:
  std::vector<float> values_;
};

// A traced line before smoothing: points with their smoothing flags.
struct TIsoPoint {
  float x, y;
  int flag;
};
// Every closed line of the level on the node array (lines of fewer than four
// points are dropped).
std::vector<std::vector<TIsoPoint>> TraceContours(const tarr_no& nodes);
// The Catmull-Rom smoothing of one closed line with the spacing s.
std::vector<TIsoPoint> SmoothContour(const std::vector<TIsoPoint>& line, float s);

class teliso : public tbaseobject {
 public:
  tarr_sg grid;                       // 50 × 50 cells, lx
  std::unique_ptr<tarr_sg> nodes;     // node grid, indices 0 … 48
  int nodeCountX = 48, nodeCountY = 48;
  float cellWidth = 0, cellHeight = 0;        // of the cell grid
  float nodeCellWidth = 0, nodeCellHeight = 0;
  float sideX = 0, sideY = 0;
  TGridStats stats;                   // minimum and maximum of the node grid
  tsinglecoll defaultLevels;
  std::vector<float> levels;          // the levels traced
  tisocoll lines;
};

// Computes the grid, its minimum and maximum and the contour lines of the
// levels chosen for them. `fluxFactor` is Φ/1000 (the table is in cd/klm).
// nullptr with a message in `error` when the side or height lies outside
// kIsoluxMinLength … kIsoluxMaxLength or the flux factor is not a finite
// number ≥ 0.
std::unique_ptr<teliso> ComputeIsolux(const TLUM32& lum, double side, double height, double fluxFactor,
                                      std::string* error = nullptr);

}  // namespace kandelo
