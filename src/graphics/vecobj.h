// The vector object model: a root object with the operations its
// descendants replace, lists and owning collections that forward those
// operations to their members, rectangles, and a sorted collection of values.
// The data classes (arrays, polylines, grids) are in vecdata.h.
//
// Operations that were abstract or idle in every class are not declared;
// collections own their members through unique_ptr instead of managing
// capacity and freeing by hand.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "graphics/geom3d.h"

namespace kandelo {

class TSimpleDC;

// What a drawing operation draws on.
struct TDrawRecord {
  TSimpleDC* dc = nullptr;
};

class tbaseobject {
 public:
  virtual ~tbaseobject() = default;
  virtual int Count() const { return 1; }
  virtual void SetCapacity(int) {}
  // False when the object has no rectangle (the root's abstract case).
  virtual bool GetRect(TRect&) const { return false; }
  virtual bool GetBox(TBox3&) const { return false; }
  virtual bool IsValid() const { return true; }
  virtual TColor GetColor() const { return 0; }
  virtual void GetModelMatrix(TMatrix4& m) const { m = TMatrix4{}; }
  virtual void GetViewMatrix(TMatrix4& m) const { m = TMatrix4{}; }
  virtual float GetLimitX() const { return 100000; }
  virtual float GetLimitY() const { return 100000; }
  virtual void SetVector(const TVector3&) {}
  virtual void SetValueA(int) {}
  virtual void SetValueB(int) {}
  virtual bool IsVisible(int /*layer*/) const { return true; }
  // An independent copy; nullptr for objects that cannot be copied.
  virtual std::unique_ptr<tbaseobject> Copy() const { return nullptr; }
  virtual const float* ItemValue(int) const { return nullptr; }
  virtual bool IsMarked() const { return false; }
  virtual void FillTestPattern() {}
  virtual void Project(const TMatrix4&) {}
  virtual void Draw(TDrawRecord&) {}
  virtual void DrawAlt(TDrawRecord&) {}
  virtual void DrawMembers(TDrawRecord&) {}
  virtual std::string GetName(const std::string& defaultText) const { return defaultText; }
  virtual void ApplyMatrix(const TMatrix4&) {}
  virtual bool Intersects(const TRect&) const { return true; }
  virtual void WriteTo(std::FILE*) const {}
  virtual std::int64_t ByteSize() const { return 0; }
  virtual void ReadFrom(std::FILE*) {}
  virtual void MovePose(const TVector3&, const TVector3&, const TVector3&, const TVector3&) {}
  virtual void GetOffset(float& x, float& y) const { x = y = -1.0f; }
  virtual void Dump() const {}
};

// A list of members (references; tbasecoll owns them).
class tbaselist : public tbaseobject {
 public:
  int Count() const override { return static_cast<int>(items_.size()); }
  void SetCapacity(int n) override { items_.reserve(static_cast<std::size_t>(n < 0 ? 0 : n)); }
  virtual void Sort() {}
  int Add(tbaseobject* member);
  virtual void Delete(int index);
  tbaseobject* Item(int i) const { return InRange(i) ? items_[static_cast<std::size_t>(i)] : nullptr; }
  void PutItem(int i, tbaseobject* member);
  void Exchange(int i, int j);
  virtual void Clear() { items_.clear(); }
  void SortIfAny() {
    if (!items_.empty()) Sort();
  }

 protected:
  bool InRange(int i) const { return i >= 0 && i < Count(); }
  std::vector<tbaseobject*> items_;
};

// An owning collection; operations go to every member.
class tbasecoll : public tbaselist {
 public:
  tbasecoll() = default;
  ~tbasecoll() override { Clear(); }
  tbasecoll(const tbasecoll&) = delete;
  tbasecoll& operator=(const tbasecoll&) = delete;

  // Takes ownership.
  int AddOwned(std::unique_ptr<tbaseobject> member) { return Add(member.release()); }
  void Delete(int index) override;  // frees the member; an index out of range is ignored
  void Clear() override;

  int layer = 0;  // passed to the members' visibility test

  bool GetRect(TRect& r) const override;
  bool GetBox(TBox3& box) const override;
  void SetVector(const TVector3& v) override;
  void SetValueA(int v) override;
  void SetValueB(int v) override;
  std::unique_ptr<tbaseobject> Copy() const override;
  bool IsMarked() const override;
  void Project(const TMatrix4& view) override;
  void Draw(TDrawRecord& r) override { DrawMembers(r); }
  void DrawMembers(TDrawRecord& r) override;
  virtual void DrawMembersAlt(TDrawRecord& r);
  void ApplyMatrix(const TMatrix4& m) override;
  bool Intersects(const TRect& r) const override;
  void WriteTo(std::FILE* f) const override;
  std::int64_t ByteSize() const override;
  void ReadFrom(std::FILE* f) override;
  void MovePose(const TVector3& p1, const TVector3& a1, const TVector3& p2, const TVector3& a2) override;
  void GetOffset(float& x, float& y) const override;
  void Dump() const override;

  // Adds a ttprect of the rectangle.
  int AddRect(const TRect& r);
  // Member i's rectangle; the empty rectangle when i is out of range.
  TRect RectOf(int i) const;

 protected:
  // Copy() of a derived collection fills a collection of its own kind.
  void CopyMembersInto(tbasecoll& into) const;
};

class ttprect : public tbaseobject {
 public:
  explicit ttprect(const TRect& r = {}) : rect(r) {}
  TRect rect;
  bool GetRect(TRect& r) const override {
    r = rect;
    return true;
  }
  bool Intersects(const TRect& r) const override { return RectsIntersect(rect, r); }
  std::unique_ptr<tbaseobject> Copy() const override { return std::make_unique<ttprect>(rect); }
};

// Rectangles with a key (the isolux labels keep one collection per level).
class trectcoll : public tbasecoll {
 public:
  explicit trectcoll(float k = 0) : key(k) {}
  float key;
  // Appends copies of the other's rectangles when the keys differ by at most
  // 0.001; returns whether they matched.
  bool CopyIfSameKey(const trectcoll& other);
  std::unique_ptr<tbaseobject> Copy() const override;
};

// A collection that draws all members, by Draw and by DrawAlt.
class talldraw : public tbasecoll {
 public:
  void DrawAlt(TDrawRecord& r) override { DrawMembersAlt(r); }
  std::unique_ptr<tbaseobject> Copy() const override;
};

class tsingleitem : public tbaseobject {
 public:
  explicit tsingleitem(float v = 0) : value(v) {}
  float value;
  std::unique_ptr<tbaseobject> Copy() const override { return std::make_unique<tsingleitem>(value); }
};

// Positive values, kept ascending.
class tsinglecoll : public tbasecoll {
 public:
  // Adds only v > 0, then sorts.
  void AddValue(float v);
  // −1 when i is out of range.
  float ValueAt(int i) const;
  const float* ItemValue(int i) const override;
  void Sort() override;
  std::unique_ptr<tbaseobject> Copy() const override;
};

// Diminishing-increment insertion sort (increments 1, 4, 13, 40, …) of the
// members by a key, smaller first; stable within one pass.
template <typename Key>
void ShellSortMembers(std::vector<tbaseobject*>& items, Key key) {
  const std::size_t n = items.size();
  std::size_t h = 1;
  while (3 * h + 1 <= n) h = 3 * h + 1;
  for (; h >= 1; h /= 3) {
    for (std::size_t i = h; i < n; ++i) {
      tbaseobject* v = items[i];
      std::size_t j = i;
      while (j >= h && key(v) < key(items[j - h])) {
        items[j] = items[j - h];
        j -= h;
      }
      items[j] = v;
    }
    if (h == 1) break;
  }
}

}  // namespace kandelo
