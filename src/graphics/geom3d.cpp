#include "graphics/geom3d.h"

#include <algorithm>
#include <cmath>

namespace kandelo {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;

std::int32_t RoundSaturated(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return 2147483647;
  if (v <= -2147483648.0) return -2147483647 - 1;
  return static_cast<std::int32_t>(std::lround(v));
}

// Determinant of the 3 × 3 minor without row r and column c.
double Minor(const TMatrix4& a, int r, int c) {
  int rows[3], cols[3];
  for (int i = 0, k = 0; i < 4; ++i)
    if (i != r) rows[k++] = i;
  for (int j = 0, k = 0; j < 4; ++j)
    if (j != c) cols[k++] = j;
  auto v = [&](int i, int j) { return static_cast<double>(a.at(rows[i], cols[j])); };
  return v(0, 0) * (v(1, 1) * v(2, 2) - v(1, 2) * v(2, 1)) - v(0, 1) * (v(1, 0) * v(2, 2) - v(1, 2) * v(2, 0)) +
         v(0, 2) * (v(1, 0) * v(2, 1) - v(1, 1) * v(2, 0));
}

double DeterminantD(const TMatrix4& a) {
  // Expansion along the fourth column.
  double d = 0;
  for (int r = 0; r < 4; ++r) d += ((r + 3) % 2 ? -1.0 : 1.0) * a.at(r, 3) * Minor(a, r, 3);
  return d;
}

TMatrix4 Elementary(TTransformKind kind, TAxis axis, float value) {
  TMatrix4 t;
  const int k = axis == TAxis::X ? 0 : axis == TAxis::Y ? 1 : 2;
  switch (kind) {
    case TTransformKind::Translate: t.at(3, k) = value; break;
    case TTransformKind::Scale: t.at(k, k) = value; break;
    case TTransformKind::Rotate: {
      const float c = static_cast<float>(std::cos(value * kRad)), s = static_cast<float>(std::sin(value * kRad));
      // Row-vector form of the rotations: p' = p × R.
      const int i = axis == TAxis::X ? 1 : axis == TAxis::Y ? 2 : 0;  // the pair (i, j) turns
      const int j = axis == TAxis::X ? 2 : axis == TAxis::Y ? 0 : 1;
      t.at(i, i) = c;
      t.at(i, j) = s;
      t.at(j, i) = -s;
      t.at(j, j) = c;
      break;
    }
  }
  return t;
}

}  // namespace

TVector3 VecDiff(const TVector3& a, const TVector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
TVector3 VecSum(const TVector3& a, const TVector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
TVector3 VecCross(const TVector3& a, const TVector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float VecLength(const TVector3& a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }
TVector3 VecScale(const TVector3& a, float f) { return {a.x * f, a.y * f, a.z * f}; }
TVector3 VecMin(const TVector3& a, const TVector3& b) {
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
}
TVector3 VecMax(const TVector3& a, const TVector3& b) {
  return {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
}

void GrowBox(TBox3& box, const TVector3& p) {
  box.min = VecMin(box.min, p);
  box.max = VecMax(box.max, p);
}

void UniteBoxes(TBox3& box, const TBox3& other) {
  box.min = VecMin(box.min, other.min);
  box.max = VecMax(box.max, other.max);
}

void GrowBox2(TBox2& box, TPoint p) {
  box.left = std::min(box.left, p.x);
  box.top = std::min(box.top, p.y);
  box.right = std::max(box.right, p.x);
  box.bottom = std::max(box.bottom, p.y);
}

bool BoxInRect(const TBox2& box, const TRect& r) {
  auto in = [&](std::int32_t x, std::int32_t y) { return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom; };
  return in(box.left, box.top) && in(box.right, box.top) && in(box.left, box.bottom) && in(box.right, box.bottom);
}

bool RectsIntersect(const TRect& a, const TRect& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

TMatrix4 MatMul(const TMatrix4& a, const TMatrix4& b) {
  TMatrix4 r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += static_cast<double>(a.at(i, k)) * b.at(k, j);
      r.at(i, j) = static_cast<float>(s);
    }
  return r;
}

TMatrix4 Transpose(const TMatrix4& a) {
  TMatrix4 r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) r.at(i, j) = a.at(j, i);
  return r;
}

float Determinant(const TMatrix4& a) { return static_cast<float>(DeterminantD(a)); }

bool Inverse(const TMatrix4& a, TMatrix4& out) {
  const double det = DeterminantD(a);
  out = TMatrix4{};
  if (det == 0 || !std::isfinite(det)) return false;
  // Adjugate: the cofactor of (j, i) goes to (i, j).
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) out.at(i, j) = static_cast<float>(((i + j) % 2 ? -1.0 : 1.0) * Minor(a, j, i) / det);
  return true;
}

TVector3 TransformPoint(const TMatrix4& a, const TVector3& p) {
  double r[4];
  for (int j = 0; j < 4; ++j)
    r[j] = static_cast<double>(p.x) * a.at(0, j) + static_cast<double>(p.y) * a.at(1, j) +
           static_cast<double>(p.z) * a.at(2, j) + a.at(3, j);
  if (r[3] == 0) r[3] = 0.001;
  return {static_cast<float>(r[0] / r[3]), static_cast<float>(r[1] / r[3]), static_cast<float>(r[2] / r[3])};
}

TPoint ProjectPoint(const TMatrix4& a, const TVector3& p) {
  const TVector3 q = TransformPoint(a, p);
  return {RoundSaturated(q.x), RoundSaturated(q.y)};
}

void AppendTransform(TMatrix4& current, TTransformKind kind, TAxis axis, float value) {
  current = MatMul(current, Elementary(kind, axis, value));
}

void AppendTransform3(TMatrix4& current, TTransformKind kind, const TVector3& v) {
  AppendTransform(current, kind, TAxis::X, v.x);
  AppendTransform(current, kind, TAxis::Z, v.z);
  AppendTransform(current, kind, TAxis::Y, v.y);
}

bool PoseMatrix(const TVector3& p1, const TVector3& a1, const TVector3& p2, const TVector3& a2, TMatrix4& out) {
  out = TMatrix4{};
  const bool turned = VecLength(VecDiff(a1, a2)) >= 0.001f;
  if (VecLength(VecDiff(p1, p2)) < 0.001f && !turned) return false;
  AppendTransform3(out, TTransformKind::Translate, VecScale(p1, -1));
  if (turned) {
    AppendTransform(out, TTransformKind::Rotate, TAxis::Y, -a1.y);
    AppendTransform(out, TTransformKind::Rotate, TAxis::Z, -a1.z);
    AppendTransform(out, TTransformKind::Rotate, TAxis::X, -a1.x);
    AppendTransform(out, TTransformKind::Rotate, TAxis::X, a2.x);
    AppendTransform(out, TTransformKind::Rotate, TAxis::Z, a2.z);
    AppendTransform(out, TTransformKind::Rotate, TAxis::Y, a2.y);
  }
  AppendTransform3(out, TTransformKind::Translate, p2);
  return true;
}

TDirection DirectionAngles(double x, double y, double z) {
  TDirection d;
  const double r = std::sqrt(x * x + z * z);
  d.gamma = y == 0 ? 90.0 : std::atan2(r, -y) / kRad;
  double phi = std::atan2(z, x);  // the quadrant corrections in one call
  if (phi < 0) phi += 2 * kPi;
  const double c = std::fabs(360.0 - phi / kRad);
  d.c = c >= 360.0 ? 0.0 : c;
  return d;
}

TCamera CameraFromBox(const TVector3& corner1, const TVector3& corner2, const TCamera& camera) {
  TCamera c = camera;
  c.target = VecScale(VecSum(corner1, corner2), 0.5f);
  const float span = VecLength(VecDiff(corner2, corner1));
  c.windowWidth = span;
  c.windowHeight = span;
  c.distance = 2.2f * span / 2;
  c.eyeDistance = 1.1f * span / 2;
  return c;
}

void CameraEye(TCamera& camera) {
  const double dist = camera.distance;
  const double e = dist * std::sin(camera.elevation * kRad);
  const double h = std::sqrt(std::max(0.0, dist * dist - e * e));
  double dx = -std::cos(camera.azimuth * kRad) * h;
  // A view straight down the y axis would leave the horizontal axis undefined.
  if (dx == 0) dx = -0.001;
  camera.eye = {camera.target.x + static_cast<float>(dx), camera.target.y + static_cast<float>(e),
                camera.target.z + static_cast<float>(std::sin(camera.azimuth * kRad) * h)};
}

TMatrix4 ViewMatrix(const TCamera& cam) {
  TMatrix4 v;
  AppendTransform3(v, TTransformKind::Translate, VecScale(cam.target, -1));
  TVector3 n = VecDiff(cam.eye, cam.target);
  const float nl = VecLength(n);
  n = nl > 0 ? VecScale(n, 1 / nl) : TVector3{0, 0, 1};
  TVector3 u = VecCross({0, 1, 0}, n);
  const float ul = VecLength(u);
  u = ul > 0 ? VecScale(u, 1 / ul) : TVector3{1, 0, 0};
  const TVector3 w = VecCross(n, u);
  TMatrix4 rot;
  const TVector3 axes[3] = {u, w, n};
  for (int col = 0; col < 3; ++col) {
    rot.at(0, col) = axes[col].x;
    rot.at(1, col) = axes[col].y;
    rot.at(2, col) = axes[col].z;
  }
  v = MatMul(v, rot);
  if (cam.kind != 1) {
    // Centre of projection at the eye, the picture plane through the target.
    const float d = cam.distance > 0 ? cam.distance : 1;
    TMatrix4 p;
    p.at(2, 3) = -1 / d;
    v = MatMul(v, p);
  }
  const float ww = cam.windowWidth != 0 ? cam.windowWidth : 1, wh = cam.windowHeight != 0 ? cam.windowHeight : 1;
  AppendTransform(v, TTransformKind::Scale, TAxis::X, 2 / ww);
  AppendTransform(v, TTransformKind::Scale, TAxis::Y, 2 / wh);
  AppendTransform(v, TTransformKind::Scale, TAxis::Z, 2);
  AppendTransform(v, TTransformKind::Scale, TAxis::Y, -1);
  AppendTransform3(v, TTransformKind::Translate, {1, 1, 1});
  AppendTransform3(v, TTransformKind::Scale, {(cam.viewRight - cam.viewLeft) / 2, (cam.viewBottom - cam.viewTop) / 2, 1});
  AppendTransform3(v, TTransformKind::Translate, {cam.viewLeft, cam.viewTop, 0});
  return v;
}

}  // namespace kandelo
