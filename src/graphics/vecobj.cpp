#include "graphics/vecobj.h"

#include <cmath>
#include <utility>

namespace kandelo {

int tbaselist::Add(tbaseobject* member) {
  items_.push_back(member);
  return Count() - 1;
}

void tbaselist::Delete(int index) {
  if (InRange(index)) items_.erase(items_.begin() + index);
}

void tbaselist::PutItem(int i, tbaseobject* member) {
  if (InRange(i)) items_[static_cast<std::size_t>(i)] = member;
}

void tbaselist::Exchange(int i, int j) {
  if (InRange(i) && InRange(j)) std::swap(items_[static_cast<std::size_t>(i)], items_[static_cast<std::size_t>(j)]);
}

void tbasecoll::Delete(int index) {
  if (!InRange(index)) return;
  delete items_[static_cast<std::size_t>(index)];
  items_.erase(items_.begin() + index);
}

void tbasecoll::Clear() {
  for (tbaseobject* p : items_) delete p;
  items_.clear();
}

bool tbasecoll::GetRect(TRect& out) const {
  TBox2 box;
  bool any = false;
  for (const tbaseobject* p : items_) {
    TRect r;
    if (!p->IsVisible(layer) || !p->GetRect(r)) continue;
    // A degenerate rectangle still counts as one unit wide.
    if (r.left == r.right) ++r.right;
    if (r.top == r.bottom) ++r.bottom;
    GrowBox2(box, {r.left, r.top});
    GrowBox2(box, {r.right, r.bottom});
    any = true;
  }
  out = {box.left, box.top, box.right, box.bottom};
  return any;
}

bool tbasecoll::GetBox(TBox3& out) const {
  out = TBox3{};
  bool any = false;
  for (const tbaseobject* p : items_) {
    TBox3 b;
    if (!p->IsVisible(layer) || !p->GetBox(b)) continue;
    UniteBoxes(out, b);
    any = true;
  }
  return any;
}

void tbasecoll::SetVector(const TVector3& v) {
  for (tbaseobject* p : items_) p->SetVector(v);
}
void tbasecoll::SetValueA(int v) {
  for (tbaseobject* p : items_) p->SetValueA(v);
}
void tbasecoll::SetValueB(int v) {
  for (tbaseobject* p : items_) p->SetValueB(v);
}

void tbasecoll::CopyMembersInto(tbasecoll& into) const {
  into.layer = layer;
  into.SetCapacity(Count());
  for (const tbaseobject* p : items_) {
    std::unique_ptr<tbaseobject> c = p->Copy();
    if (c) into.AddOwned(std::move(c));
  }
}

std::unique_ptr<tbaseobject> tbasecoll::Copy() const {
  auto c = std::make_unique<tbasecoll>();
  CopyMembersInto(*c);
  return c;
}

bool tbasecoll::IsMarked() const {
  for (const tbaseobject* p : items_)
    if (p->IsMarked()) return true;
  return false;
}

void tbasecoll::Project(const TMatrix4& view) {
  for (tbaseobject* p : items_) p->Project(view);
}
void tbasecoll::DrawMembers(TDrawRecord& r) {
  for (tbaseobject* p : items_) p->Draw(r);
}
void tbasecoll::DrawMembersAlt(TDrawRecord& r) {
  for (tbaseobject* p : items_) p->DrawAlt(r);
}
void tbasecoll::ApplyMatrix(const TMatrix4& m) {
  for (tbaseobject* p : items_) p->ApplyMatrix(m);
}

bool tbasecoll::Intersects(const TRect& r) const {
  for (const tbaseobject* p : items_)
    if (p->Intersects(r)) return true;
  return false;
}

void tbasecoll::WriteTo(std::FILE* f) const {
  for (const tbaseobject* p : items_) p->WriteTo(f);
}
std::int64_t tbasecoll::ByteSize() const {
  std::int64_t s = 0;
  for (const tbaseobject* p : items_) s += p->ByteSize();
  return s;
}
void tbasecoll::ReadFrom(std::FILE* f) {
  for (tbaseobject* p : items_) p->ReadFrom(f);
}
void tbasecoll::MovePose(const TVector3& p1, const TVector3& a1, const TVector3& p2, const TVector3& a2) {
  for (tbaseobject* p : items_) p->MovePose(p1, a1, p2, a2);
}
void tbasecoll::GetOffset(float& x, float& y) const {
  x = y = -1.0f;
  for (const tbaseobject* p : items_) p->GetOffset(x, y);
}
void tbasecoll::Dump() const {
  for (const tbaseobject* p : items_) p->Dump();
}

int tbasecoll::AddRect(const TRect& r) { return AddOwned(std::make_unique<ttprect>(r)); }

TRect tbasecoll::RectOf(int i) const {
  TRect r;
  const tbaseobject* p = Item(i);
  if (!p || !p->GetRect(r)) return {};
  return r;
}

bool trectcoll::CopyIfSameKey(const trectcoll& other) {
  if (std::fabs(key - other.key) > 0.001f) return false;
  for (int i = 0; i < other.Count(); ++i) AddRect(other.RectOf(i));
  return true;
}

std::unique_ptr<tbaseobject> trectcoll::Copy() const {
  auto c = std::make_unique<trectcoll>(key);
  CopyMembersInto(*c);
  return c;
}

std::unique_ptr<tbaseobject> talldraw::Copy() const {
  auto c = std::make_unique<talldraw>();
  CopyMembersInto(*c);
  return c;
}

void tsinglecoll::AddValue(float v) {
  if (!(v > 0)) return;
  AddOwned(std::make_unique<tsingleitem>(v));
  Sort();
}

float tsinglecoll::ValueAt(int i) const {
  const float* v = ItemValue(i);
  return v ? *v : -1.0f;
}

const float* tsinglecoll::ItemValue(int i) const {
  const auto* item = dynamic_cast<const tsingleitem*>(Item(i));
  return item ? &item->value : nullptr;
}

void tsinglecoll::Sort() {
  ShellSortMembers(items_, [](const tbaseobject* p) {
    const auto* item = dynamic_cast<const tsingleitem*>(p);
    return item ? item->value : 0.0f;
  });
}

std::unique_ptr<tbaseobject> tsinglecoll::Copy() const {
  auto c = std::make_unique<tsinglecoll>();
  CopyMembersInto(*c);
  return c;
}

}  // namespace kandelo
