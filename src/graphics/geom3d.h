// 3-D geometry of the vector objects: vectors, boxes, 4 × 4 matrices applied
// to row vectors, elementary and pose transformations, photometric direction
// angles and the camera-and-view pipeline that maps world points to the page.
// Single precision throughout, as the objects store their points in singles.
#pragma once

#include <array>
#include <cstdint>

#include "graphics/gdi_types.h"

namespace kandelo {

struct TVector3 {
  float x = 0, y = 0, z = 0;
  friend bool operator==(const TVector3&, const TVector3&) = default;
};

TVector3 VecDiff(const TVector3& a, const TVector3& b);  // a − b
TVector3 VecSum(const TVector3& a, const TVector3& b);
TVector3 VecCross(const TVector3& a, const TVector3& b);
float VecLength(const TVector3& a);
TVector3 VecScale(const TVector3& a, float factor);
TVector3 VecMin(const TVector3& a, const TVector3& b);
TVector3 VecMax(const TVector3& a, const TVector3& b);

// An empty box has its minimum above its maximum, so that growing it by one
// point makes it that point.
struct TBox3 {
  TVector3 min{1000000, 1000000, 1000000};
  TVector3 max{-1000000, -1000000, -1000000};
};
void GrowBox(TBox3& box, const TVector3& p);
void UniteBoxes(TBox3& box, const TBox3& other);

// 2-D integer box (left/top the minimum, right/bottom the maximum).
struct TBox2 {
  std::int32_t left = 32000, top = 32000, right = -32000, bottom = -32000;
};
void GrowBox2(TBox2& box, TPoint p);
// All four corners of the box lie in the rectangle (edges included).
bool BoxInRect(const TBox2& box, const TRect& rect);
// Whether the two rectangles share at least one point.
bool RectsIntersect(const TRect& a, const TRect& b);

// Row-major; a point (x, y, z, 1) times the matrix gives (x', y', z', w), the
// translation sits in the fourth row. The default is the identity.
struct TMatrix4 {
  std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float& at(int row, int col) { return m[static_cast<std::size_t>(4 * row + col)]; }
  float at(int row, int col) const { return m[static_cast<std::size_t>(4 * row + col)]; }
  bool IsIdentity() const { return *this == TMatrix4{}; }
  friend bool operator==(const TMatrix4&, const TMatrix4&) = default;
};

TMatrix4 MatMul(const TMatrix4& a, const TMatrix4& b);  // a × b: a first, then b
TMatrix4 Transpose(const TMatrix4& a);
float Determinant(const TMatrix4& a);
// False and the identity when the matrix is singular.
bool Inverse(const TMatrix4& a, TMatrix4& out);

// The point times the matrix with the homogeneous divide; w = 0 counts as 0.001.
TVector3 TransformPoint(const TMatrix4& a, const TVector3& p);
// Screen position: (round(x'/w), round(y'/w)), saturated to the 32-bit range.
TPoint ProjectPoint(const TMatrix4& a, const TVector3& p);

// Elementary transformations, appended to the current matrix (current × new).
enum class TTransformKind { Translate, Rotate, Scale };
enum class TAxis { X, Y, Z };
void AppendTransform(TMatrix4& current, TTransformKind kind, TAxis axis, float value);
// The same kind along x, then z, then y.
void AppendTransform3(TMatrix4& current, TTransformKind kind, const TVector3& values);

// Moving points from pose 1 to pose 2 (positions and angles in degrees);
// false (and the identity) when the two poses are the same.
bool PoseMatrix(const TVector3& p1, const TVector3& a1, const TVector3& p2, const TVector3& a2, TMatrix4& out);

// Photometric direction (γ, C) in degrees of a vector in a luminaire's axes:
// y up, x towards C 0, C 90 towards −z.
struct TDirection {
  double gamma = 0, c = 0;
};
TDirection DirectionAngles(double x, double y, double z);

struct TCamera {
  std::uint8_t kind = 1;  // 1 parallel, other values perspective
  TVector3 eye{10, 10, 10};
  TVector3 target{0, 0, 0};
  float viewLeft = 5000, viewTop = 5000, viewRight = 15000, viewBottom = 15000;  // device units
  float distance = 17.320508f;  // viewing distance
  float windowWidth = 10, windowHeight = 10;  // world units
  float azimuth = 0, elevation = 0;  // degrees
  float eyeDistance = 17.320508f;
};

// Target at the middle of the two corners, window and distances from their span.
TCamera CameraFromBox(const TVector3& corner1, const TVector3& corner2, const TCamera& camera);
// Places the eye at the viewing distance from the target, by azimuth and elevation.
void CameraEye(TCamera& camera);
TMatrix4 ViewMatrix(const TCamera& camera);

}  // namespace kandelo
