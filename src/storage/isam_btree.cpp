// B-trees of the indexed-file engine: search, insertion with sibling shifting,
// deletion with redistribution and merging, key positions (layout: isam.cpp).

#include <algorithm>
#include <cstring>
#include <limits>

#include "storage/isam_internal.h"

namespace kandelo::isam {

using namespace detail;

namespace {

constexpr std::int64_t kAnyRecord = std::numeric_limits<std::int64_t>::min();
using Path = std::vector<std::pair<std::int32_t, int>>;
using Bytes = std::vector<unsigned char>;

// A pinned page of one key seen as a B-tree node. Every change widens the
// buffer's span over the items used before and after it (see PAGE CACHE).
class Node {
 public:
  Node() = default;
  Node(PageRef ref, int itemSize) : ref_(std::move(ref)), isz_(itemSize) {}

  int count() const { return GetU16(d()); }
  bool leaf() const { return child(0) == 0; }
  const unsigned char* item(int i) const { return d() + kPageHead + (i - 1) * isz_; }
  std::int32_t child(int i) const { return i == 0 ? GetI32(d() + 2) : GetI32(item(i) + 4); }
  std::int32_t rec(int i) const { return GetI32(item(i)); }
  std::string_view key(int i) const {
    const unsigned char* p = item(i);
    return {reinterpret_cast<const char*>(p + 9), p[8]};
  }
  std::int32_t page() const { return ref_->page; }
  Bytes copyItems(int from, int n) const {
    return Bytes(item(from), item(from) + static_cast<std::ptrdiff_t>(n) * isz_);
  }

  void setCount(int c) {
    touch(count());
    touch(c);
    PutU16(d(), static_cast<std::uint16_t>(c));
  }
  void setChild(int i, std::int32_t v) {
    touch(count());
    PutI32(i == 0 ? d() + 2 : mut(i) + 4, v);
  }
  void putItem(int i, const unsigned char* src) {
    touch(count());
    std::memcpy(mut(i), src, static_cast<std::size_t>(isz_));
  }
  // Inserts n items before position pos (1..count + 1).
  void insertItems(int pos, const unsigned char* src, int n) {
    if (n <= 0) return;
    const int c = count();
    setCount(c + n);
    std::memmove(mut(pos + n), mut(pos), static_cast<std::size_t>((c - pos + 1) * isz_));
    std::memcpy(mut(pos), src, static_cast<std::size_t>(n * isz_));
  }
  void removeItems(int pos, int n) {
    const int c = count();
    std::memmove(mut(pos), mut(pos + n), static_cast<std::size_t>((c - pos - n + 1) * isz_));
    setCount(c - n);
  }
  void setItems(const unsigned char* src, int n) {
    setCount(n);
    std::memcpy(mut(1), src, static_cast<std::size_t>(n * isz_));
  }

 private:
  unsigned char* d() const { return ref_->data.data(); }
  unsigned char* mut(int i) const { return d() + kPageHead + (i - 1) * isz_; }
  void touch(int c) const {
    ref_->dirty = true;
    ref_->span = std::max(ref_->span, kPageHead + c * isz_);
  }
  PageRef ref_;
  int isz_ = 0;
};

std::int32_t ItemChild(const unsigned char* item) { return GetI32(item + 4); }
void SetItemChild(unsigned char* item, std::int32_t c) { PutI32(item + 4, c); }

bool PageValid(const KeyState& k, const PageBuffer& b) {
  const unsigned char* d = b.data.data();
  const int c = GetU16(d);
  if (c < 1 || c > kItemsPerPage) return false;
  const bool leaf = GetI32(d + 2) == 0;
  for (int i = 0; i <= c; ++i) {
    const std::int32_t ch = i == 0 ? GetI32(d + 2) : GetI32(d + kPageHead + (i - 1) * k.itemSize + 4);
    if (leaf ? ch != 0 : (ch < 1 || ch > k.highest)) return false;
    if (i > 0 && d[kPageHead + (i - 1) * k.itemSize + 8] > k.def.length) return false;
  }
  return true;
}

int Load(IndexedFile& f, int key, std::int32_t page, Node& out) {
  const KeyState& k = f.keys[static_cast<std::size_t>(key - 1)];
  if (page < 1 || page > k.highest) return kErrIO;
  PageBuffer* b = nullptr;
  if (int err = engine().cache.fetch(f, key, page, b)) return err;
  if (!b->checked) {
    if (!PageValid(k, *b)) return kErrIO;
    b->checked = true;
  }
  out = Node(PageRef(b), k.itemSize);
  return kOk;
}

int Compare(const Node& n, int i, std::string_view s, std::int64_t r, bool dup) {
  int c = CompareKeys(n.key(i), s);
  if (c != 0 || !dup) return c;
  const std::int64_t ir = n.rec(i);
  return ir < r ? -1 : (ir > r ? 1 : 0);
}

// First item not smaller than (s, r); count + 1 when there is none.
int LowerBound(const Node& n, std::string_view s, std::int64_t r, bool dup) {
  int lo = 1, hi = n.count() + 1;
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (Compare(n, mid, s, r, dup) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

Bytes MakeItem(const KeyState& k, std::int32_t rec, std::string_view s) {
  Bytes it(static_cast<std::size_t>(k.itemSize), 0);
  PutI32(it.data(), rec);
  it[8] = static_cast<unsigned char>(s.size());
  std::memcpy(it.data() + 9, s.data(), s.size());
  return it;
}

int CheckKeyNumber(const IndexedFile& f, int key) {
  return key < 1 || key > static_cast<int>(f.keys.size()) ? kErrKeyNumber : kOk;
}

// ---- walking ----------------------------------------------------------------------

int DescendFirst(IndexedFile& f, int key, std::int32_t page, Path& path) {
  for (;;) {
    if (path.size() >= static_cast<std::size_t>(kMaxDepth)) return kErrIO;
    Node n;
    if (int err = Load(f, key, page, n)) return err;
    if (n.leaf()) {
      path.emplace_back(page, 1);
      return kOk;
    }
    path.emplace_back(page, 0);
    page = n.child(0);
  }
}

int DescendLast(IndexedFile& f, int key, std::int32_t page, Path& path) {
  for (;;) {
    if (path.size() >= static_cast<std::size_t>(kMaxDepth)) return kErrIO;
    Node n;
    if (int err = Load(f, key, page, n)) return err;
    path.emplace_back(page, n.count());
    if (n.leaf()) return kOk;
    page = n.child(n.count());
  }
}

int StepNext(IndexedFile& f, int key, Path& path) {
  Node n;
  if (int err = Load(f, key, path.back().first, n)) return err;
  const int i = path.back().second;
  if (!n.leaf()) return DescendFirst(f, key, n.child(i), path);
  if (i < n.count()) {
    path.back().second = i + 1;
    return kOk;
  }
  path.pop_back();
  while (!path.empty()) {
    Node q;
    if (int err = Load(f, key, path.back().first, q)) return err;
    if (path.back().second < q.count()) {
      ++path.back().second;
      return kOk;
    }
    path.pop_back();
  }
  return kErrEndOfIndex;
}

int StepPrev(IndexedFile& f, int key, Path& path) {
  Node n;
  if (int err = Load(f, key, path.back().first, n)) return err;
  const int i = path.back().second;
  if (!n.leaf()) {
    path.back().second = i - 1;
    return DescendLast(f, key, n.child(i - 1), path);
  }
  if (i > 1) {
    path.back().second = i - 1;
    return kOk;
  }
  path.pop_back();
  while (!path.empty()) {
    if (path.back().second >= 1) return kOk;  // the item left of the child we came from
    path.pop_back();
  }
  return kErrBeginOfIndex;
}

// Path to the first entry not smaller than (s, r). found false: no such entry.
int Seek(IndexedFile& f, int key, std::string_view s, std::int64_t r, Path& path, bool& found, bool& exact) {
  const KeyState& k = f.keys[static_cast<std::size_t>(key - 1)];
  path.clear();
  found = exact = false;
  std::int32_t page = k.root;
  if (page == 0) return kOk;
  for (;;) {
    if (path.size() >= static_cast<std::size_t>(kMaxDepth)) return kErrIO;
    Node n;
    if (int err = Load(f, key, page, n)) return err;
    const int i = LowerBound(n, s, r, k.def.duplicates);
    if (i <= n.count() && Compare(n, i, s, r, k.def.duplicates) == 0) {
      path.emplace_back(page, i);
      found = exact = true;
      return kOk;
    }
    if (n.leaf()) {
      if (i <= n.count()) {
        path.emplace_back(page, i);
        found = true;
        return kOk;
      }
      path.emplace_back(page, n.count());
      int err = StepNext(f, key, path);
      if (err == kErrEndOfIndex) return kOk;
      found = err == kOk;
      return err;
    }
    path.emplace_back(page, i - 1);
    page = n.child(i - 1);
  }
}

int EntryAt(IndexedFile& f, int key, const Path& path, std::int32_t& rec, std::string& s) {
  Node n;
  if (int err = Load(f, key, path.back().first, n)) return err;
  const int i = path.back().second;
  if (i < 1 || i > n.count()) return kErrIO;
  rec = n.rec(i);
  s.assign(n.key(i));
  return kOk;
}

// Reused by the lookups, so that a lookup allocates nothing once warm (one
// engine call at a time: the entry guard refuses re-entry).
Path& ScratchPath() {
  static Path path;
  path.clear();
  return path;
}

// The entry at the end of the path, read in place: the view lives as long as
// the node (which pins the page).
int EntryView(IndexedFile& f, int key, const Path& path, Node& n, std::int32_t& rec, std::string_view& s) {
  if (int err = Load(f, key, path.back().first, n)) return err;
  const int i = path.back().second;
  if (i < 1 || i > n.count()) return kErrIO;
  rec = n.rec(i);
  s = n.key(i);
  return kOk;
}

void SetPosition(KeyState& k, const Path& path, std::int32_t rec, std::string_view s) {
  k.pos.state = Position::OnEntry;
  if (&k.pos.path != &path) k.pos.path.assign(path.begin(), path.end());
  k.pos.pathValid = true;
  k.pos.record = rec;
  k.pos.key = s;
}

// One step of NextKey (forward) or PrevKey.
int Step(IndexedFile& f, int key, bool forward, std::int32_t& rec, std::string& s) {
  KeyState& k = f.keys[static_cast<std::size_t>(key - 1)];
  Position& pos = k.pos;
  const int endError = forward ? kErrEndOfIndex : kErrBeginOfIndex;
  if (pos.state == Position::Invalid) return forward ? kErrNoPositionNext : kErrNoPositionPrev;
  // Steps on the kept path itself: on an error the position is dropped anyway.
  Path& path = pos.path;
  if (!pos.pathValid || pos.state == Position::Cleared) path.clear();
  int err = kOk;
  if (pos.state == Position::Cleared) {
    if (k.root == 0)
      err = endError;
    else
      err = forward ? DescendFirst(f, key, k.root, path) : DescendLast(f, key, k.root, path);
  } else if (pos.pathValid) {
    err = forward ? StepNext(f, key, path) : StepPrev(f, key, path);
  } else {
    bool found = false, exact = false;
    const std::int64_t r = k.def.duplicates ? std::int64_t{pos.record} : kAnyRecord;
    const std::string at = pos.key;
    err = Seek(f, key, at, r, path, found, exact);
    if (!err) {
      if (forward) {
        if (!found) err = endError;
        else if (exact) err = StepNext(f, key, path);
      } else {
        if (!found) {
          path.clear();
          err = k.root == 0 ? endError : DescendLast(f, key, k.root, path);
        } else {
          err = StepPrev(f, key, path);
        }
      }
    }
  }
  if (!err) {
    Node n;
    err = Load(f, key, path.back().first, n);
    const int i = path.back().second;
    if (!err && (i < 1 || i > n.count())) err = kErrIO;
    if (!err) {
      rec = n.rec(i);
      s.assign(n.key(i));
      // A walk in key order reads the records of the next entries next: start
      // bringing the head of the one three entries ahead into the processor's
      // cache now. Three steps cover the memory's latency; the first 128
      // bytes are what a listing reads first, and more would only fill the
      // processor's queue of outstanding loads.
      const int j = forward ? i + 3 : i - 3;
      if (j >= 1 && j <= n.count())
        f.datCache.prefetch(std::int64_t{n.rec(j)} * f.recordLength,
                            static_cast<std::size_t>(std::min(128, f.recordLength)));
    }
  }
  if (!err) {
    SetPosition(k, path, rec, s);
  } else if (err == endError) {
    pos = Position{};
  } else {
    pos.state = Position::Invalid;
  }
  return err;
}

// ---- insertion ------------------------------------------------------------------------

// Inserts item x (whose child is the page right of it) after child path[level].second
// of page path[level].first, shifting into a sibling or splitting as needed.
int InsertUp(IndexedFile& f, int key, Path& path, Bytes x) {
  KeyState& k = f.keys[static_cast<std::size_t>(key - 1)];
  const int isz = k.itemSize;
  auto at = [isz](Bytes& a, int i) { return a.data() + static_cast<std::ptrdiff_t>(i - 1) * isz; };
  for (int level = static_cast<int>(path.size()) - 1;; --level) {
    const auto [pg, j] = path[static_cast<std::size_t>(level)];
    Node p;
    if (int err = Load(f, key, pg, p)) return err;
    const int c = p.count();
    if (c < kItemsPerPage) {
      p.insertItems(j + 1, x.data(), 1);
      return kOk;
    }
    // The 63 items of the full page with the new one.
    Bytes a = p.copyItems(1, j);
    a.insert(a.end(), x.begin(), x.end());
    Bytes rest = p.copyItems(j + 1, c - j);
    a.insert(a.end(), rest.begin(), rest.end());
    constexpr int kAll = kItemsPerPage + 1;

    if (level > 0) {
      const auto [q, jq] = path[static_cast<std::size_t>(level - 1)];
      Node parent;
      if (int err = Load(f, key, q, parent)) return err;
      const bool right = jq < parent.count();
      const std::int32_t sp = parent.child(right ? jq + 1 : jq - 1);
      Node sib;
      if (int err = Load(f, key, sp, sib)) return err;
      const int d = sib.count();
      if (d < kItemsPerPage) {
        if (right) {
          const int m = (d + 64) / 2;
          Bytes sep = parent.copyItems(jq + 1, 1);
          SetItemChild(sep.data(), sib.child(0));
          Bytes moved(at(a, m + 2), at(a, kAll + 1));
          moved.insert(moved.end(), sep.begin(), sep.end());
          sib.insertItems(1, moved.data(), static_cast<int>(moved.size()) / isz);
          Bytes newSep(at(a, m + 1), at(a, m + 2));
          sib.setChild(0, ItemChild(newSep.data()));
          SetItemChild(newSep.data(), sp);
          parent.putItem(jq + 1, newSep.data());
          p.setItems(a.data(), m);
        } else {
          // Capped at a full page: for d = 61 the plain (d + 65) div 2 would be 63.
          const int target = std::min((d + 65) / 2, kItemsPerPage);
          const int na = target - d - 1;
          Bytes sep = parent.copyItems(jq, 1);
          SetItemChild(sep.data(), p.child(0));
          sep.insert(sep.end(), at(a, 1), at(a, na + 1));
          sib.insertItems(d + 1, sep.data(), na + 1);
          Bytes newSep(at(a, na + 1), at(a, na + 2));
          p.setChild(0, ItemChild(newSep.data()));
          SetItemChild(newSep.data(), pg);
          parent.putItem(jq, newSep.data());
          p.setItems(at(a, na + 2), kAll - na - 1);
        }
        return kOk;
      }
    }
    // Split: 31 stay, the 32nd goes up, 31 move to a new page.
    PageRef nref;
    std::int32_t np = 0;
    if (int err = AllocatePage(f, key, nref, np)) return err;
    Node n(std::move(nref), isz);
    n.setItems(at(a, kMinItems + 2), kMinItems);
    n.setChild(0, ItemChild(at(a, kMinItems + 1)));
    p.setItems(a.data(), kMinItems);
    x.assign(at(a, kMinItems + 1), at(a, kMinItems + 2));
    SetItemChild(x.data(), np);
    if (level == 0) {
      PageRef rref;
      std::int32_t rp = 0;
      if (int err = AllocatePage(f, key, rref, rp)) return err;
      Node r(std::move(rref), isz);
      r.setItems(x.data(), 1);
      r.setChild(0, pg);
      k.root = rp;
      return kOk;
    }
  }
}

// ---- deletion -------------------------------------------------------------------------

// Restores the minimum fill from path.back() upwards, then shrinks the root.
int Rebalance(IndexedFile& f, int key, Path& path) {
  KeyState& k = f.keys[static_cast<std::size_t>(key - 1)];
  for (int level = static_cast<int>(path.size()) - 1; level > 0; --level) {
    const std::int32_t pg = path[static_cast<std::size_t>(level)].first;
    Node p;
    if (int err = Load(f, key, pg, p)) return err;
    const int c = p.count();
    if (c >= kMinItems) break;
    const auto [q, j] = path[static_cast<std::size_t>(level - 1)];
    Node parent;
    if (int err = Load(f, key, q, parent)) return err;
    const bool right = j < parent.count();
    const int sepIdx = right ? j + 1 : j;
    const std::int32_t bp = parent.child(right ? j + 1 : j - 1);
    Node b;
    if (int err = Load(f, key, bp, b)) return err;
    const int d = b.count();
    if (d > kMinItems) {
      const int n = (d - 30) / 2;  // p gains n items, b loses n
      Bytes sep = parent.copyItems(sepIdx, 1);
      if (right) {
        SetItemChild(sep.data(), b.child(0));
        Bytes moved = b.copyItems(1, n - 1);
        sep.insert(sep.end(), moved.begin(), moved.end());
        p.insertItems(c + 1, sep.data(), n);
        Bytes newSep = b.copyItems(n, 1);
        b.setChild(0, ItemChild(newSep.data()));
        SetItemChild(newSep.data(), bp);
        parent.putItem(sepIdx, newSep.data());
        b.removeItems(1, n);
      } else {
        SetItemChild(sep.data(), p.child(0));
        Bytes moved = b.copyItems(d - n + 2, n - 1);
        moved.insert(moved.end(), sep.begin(), sep.end());
        p.insertItems(1, moved.data(), n);
        Bytes newSep = b.copyItems(d - n + 1, 1);
        p.setChild(0, ItemChild(newSep.data()));
        SetItemChild(newSep.data(), pg);
        parent.putItem(sepIdx, newSep.data());
        b.removeItems(d - n + 1, n);
      }
      break;
    }
    // Merge the right page of the two, with the separator, into the left one.
    Node& left = right ? p : b;
    Node& rightNode = right ? b : p;
    const std::int32_t freed = right ? bp : pg;
    const int lc = left.count(), rc = rightNode.count();
    if (lc + 1 + rc > kItemsPerPage) return kErrIO;  // only a damaged tree gets here
    Bytes sep = parent.copyItems(sepIdx, 1);
    SetItemChild(sep.data(), rightNode.child(0));
    Bytes moved = rightNode.copyItems(1, rc);
    sep.insert(sep.end(), moved.begin(), moved.end());
    left.insertItems(lc + 1, sep.data(), rc + 1);
    parent.removeItems(sepIdx, 1);
    if (int err = FreePage(f, key, freed)) return err;
  }
  // The root was loaded (and checked) on the way down; an emptied root holds 0
  // items, which a fresh check would refuse, so it is looked at directly.
  PageBuffer* rb = nullptr;
  if (int err = engine().cache.fetch(f, key, k.root, rb)) return err;
  if (GetU16(rb->data.data()) == 0) {
    const std::int32_t old = k.root;
    k.root = GetI32(rb->data.data() + 2);
    if (int err = FreePage(f, key, old)) return err;
  }
  return kOk;
}

}  // namespace

namespace detail {

int AllocatePage(IndexedFile& f, int key, PageRef& out, std::int32_t& page) {
  KeyState& k = f.keys[static_cast<std::size_t>(key - 1)];
  PageBuffer* b = nullptr;
  if (k.firstFree == -1) {
    if (k.highest == std::numeric_limits<std::int32_t>::max()) return kErrIO;
    const std::int32_t n = k.highest + 1;
    if (n >= f.rows) {
      // A new row for every key; the other keys' slots in it stay zero.
      std::vector<unsigned char> zeros(static_cast<std::size_t>(f.rowSize), 0);
      if (int err = WriteAt(*f.idx, n * f.rowSize, zeros.data(), zeros.size())) return err;
      f.rows = std::int64_t{n} + 1;
      if (int err = engine().cache.fresh(f, key, n, b)) return err;
    } else {
      if (int err = engine().cache.fetch(f, key, n, b)) return err;
    }
    k.highest = n;
    page = n;
  } else {
    const std::int32_t n = k.firstFree;
    if (n < 1 || n > k.highest || k.freeCount < 1) return kErrFreeChain;
    if (int err = engine().cache.fetch(f, key, n, b)) return err;
    const std::int32_t link = GetI32(b->data.data());
    if (link == 0 || link < -1 || link > k.highest || link == n) return kErrFreeChain;
    k.firstFree = link;
    --k.freeCount;
    page = n;
  }
  b->checked = true;  // the caller fills it at once
  out = PageRef(b);
  return kOk;
}

int FreePage(IndexedFile& f, int key, std::int32_t page) {
  KeyState& k = f.keys[static_cast<std::size_t>(key - 1)];
  PageBuffer* b = nullptr;
  if (int err = engine().cache.fetch(f, key, page, b)) return err;
  PutI32(b->data.data(), k.firstFree);
  b->dirty = true;
  b->span = std::max(b->span, 4);
  b->checked = false;
  k.firstFree = page;
  ++k.freeCount;
  return kOk;
}

int AddKeyRaw(IndexedFile& f, int key, std::int32_t rec, std::string_view s) {
  if (int err = CheckKeyNumber(f, key)) return err;
  KeyState& k = f.keys[static_cast<std::size_t>(key - 1)];
  if (s.size() > static_cast<std::size_t>(k.def.length)) return kErrKeyTooLong;
  Path path;
  std::int32_t page = k.root;
  while (page != 0) {
    if (path.size() >= static_cast<std::size_t>(kMaxDepth)) return kErrIO;
    Node n;
    if (int err = Load(f, key, page, n)) return err;
    const int i = LowerBound(n, s, rec, k.def.duplicates);
    if (i <= n.count() && Compare(n, i, s, rec, k.def.duplicates) == 0) return kErrDuplicateKey;
    path.emplace_back(page, i - 1);
    page = n.leaf() ? 0 : n.child(i - 1);
  }
  if (int err = BeginChange(f, key)) return err;
  k.pos.pathValid = false;
  Bytes x = MakeItem(k, rec, s);
  if (path.empty()) {
    PageRef ref;
    std::int32_t np = 0;
    if (int err = AllocatePage(f, key, ref, np)) return err;
    Node n(std::move(ref), k.itemSize);
    n.setItems(x.data(), 1);
    n.setChild(0, 0);
    k.root = np;
  } else if (int err = InsertUp(f, key, path, std::move(x))) {
    return err;
  }
  ++k.entries;
  k.pos.state = Position::OnEntry;
  k.pos.key.assign(s);
  k.pos.record = rec;
  return kOk;
}

int DeleteKeyRaw(IndexedFile& f, int key, std::int32_t rec, std::string_view s) {
  if (int err = CheckKeyNumber(f, key)) return err;
  KeyState& k = f.keys[static_cast<std::size_t>(key - 1)];
  Path path;
  std::int32_t page = k.root;
  int found = 0;
  while (page != 0) {
    if (path.size() >= static_cast<std::size_t>(kMaxDepth)) return kErrIO;
    Node n;
    if (int err = Load(f, key, page, n)) return err;
    const int i = LowerBound(n, s, rec, k.def.duplicates);
    if (i <= n.count() && Compare(n, i, s, rec, k.def.duplicates) == 0) {
      if (n.rec(i) != rec) return kErrDeleteKeyNotFound;  // a unique key's string of another record
      path.emplace_back(page, i);
      found = i;
      break;
    }
    if (n.leaf()) break;
    path.emplace_back(page, i - 1);
    page = n.child(i - 1);
  }
  if (!found) return kErrDeleteKeyNotFound;
  if (int err = BeginChange(f, key)) return err;
  k.pos.pathValid = false;

  Node n;
  if (int err = Load(f, key, path.back().first, n)) return err;
  if (n.leaf()) {
    n.removeItems(found, 1);
  } else {
    // Replace by the in-order predecessor: last item of the rightmost leaf on the left.
    path.back().second = found - 1;
    if (int err = DescendLast(f, key, n.child(found - 1), path)) return err;
    Node leaf;
    if (int err = Load(f, key, path.back().first, leaf)) return err;
    Bytes pred = leaf.copyItems(leaf.count(), 1);
    SetItemChild(pred.data(), n.child(found));
    n.putItem(found, pred.data());
    leaf.removeItems(leaf.count(), 1);
  }
  n = Node();
  --k.entries;
  return Rebalance(f, key, path);
}

}  // namespace detail

// ---- public key operations -------------------------------------------------------------

namespace {

// Guard, key check and network hooks around a reading key operation.
template <typename Body>
int KeyRead(IndexedFile* file, int key, Body body) {
  Call c;
  if (int err = c.enter(file)) return c.done(err);
  if (int err = CheckKeyNumber(*file, key)) return c.done(err);
  if (int err = BeginRead(*file)) return c.done(EndOperation(*file, err));
  return c.done(EndOperation(*file, body(file->keys[static_cast<std::size_t>(key - 1)])));
}

}  // namespace

int AddKey(IndexedFile* file, int key, std::int32_t rec, const std::string& s) {
  Call c;
  if (int err = c.enter(file)) return c.done(err);
  return c.done(AddKeyRaw(*file, key, rec, s));
}

int DeleteKey(IndexedFile* file, int key, std::int32_t rec, const std::string& s) {
  Call c;
  if (int err = c.enter(file)) return c.done(err);
  return c.done(DeleteKeyRaw(*file, key, rec, s));
}

int FindKey(IndexedFile* file, int key, const std::string& s, std::int32_t& rec) {
  rec = 0;
  return KeyRead(file, key, [&](KeyState& k) {
    Path& path = ScratchPath();
    bool found = false, exact = false;
    if (int err = Seek(*file, key, s, kAnyRecord, path, found, exact)) return err;
    Node n;
    std::string_view at;
    std::int32_t r = 0;
    if (!found) return kErrKeyNotFound;
    if (int err = EntryView(*file, key, path, n, r, at)) return err;
    if (at != s) return kErrKeyNotFound;
    SetPosition(k, path, r, at);
    rec = r;
    return kOk;
  });
}

int SearchKey(IndexedFile* file, int key, std::string& s, std::int32_t& rec) {
  rec = 0;
  return KeyRead(file, key, [&](KeyState& k) {
    Path& path = ScratchPath();
    bool found = false, exact = false;
    if (int err = Seek(*file, key, s, kAnyRecord, path, found, exact)) return err;
    if (!found) {
      k.pos = Position{};
      return kErrSearchEnd;
    }
    std::string at;
    std::int32_t r = 0;
    if (int err = EntryAt(*file, key, path, r, at)) return err;
    SetPosition(k, path, r, at);
    s = at;
    rec = r;
    return kOk;
  });
}

int NextKey(IndexedFile* file, int key, std::int32_t& rec, std::string& s) {
  return KeyRead(file, key, [&](KeyState&) { return Step(*file, key, true, rec, s); });
}

int PrevKey(IndexedFile* file, int key, std::int32_t& rec, std::string& s) {
  return KeyRead(file, key, [&](KeyState&) { return Step(*file, key, false, rec, s); });
}

int ClearKey(IndexedFile* file, int key) {
  return KeyRead(file, key, [&](KeyState& k) {
    k.pos = Position{};
    return kOk;
  });
}

int FindKeyAndRef(IndexedFile* file, int key, const std::string& s, std::int32_t rec) {
  return KeyRead(file, key, [&](KeyState& k) {
    Path& path = ScratchPath();
    bool found = false, exact = false;
    const std::int64_t r = k.def.duplicates ? std::int64_t{rec} : kAnyRecord;
    if (int err = Seek(*file, key, s, r, path, found, exact)) return err;
    if (!exact) return kErrKeyRefNotFound;
    std::string at;
    std::int32_t got = 0;
    if (int err = EntryAt(*file, key, path, got, at)) return err;
    if (got != rec) return kErrKeyRefNotFound;
    SetPosition(k, path, got, at);
    return kOk;
  });
}

int LookupKey(IndexedFile* file, int key, const std::string& s, std::int32_t& rec) {
  rec = 0;
  return KeyRead(file, key, [&](KeyState&) {
    Path& path = ScratchPath();
    bool found = false, exact = false;
    if (int err = Seek(*file, key, s, kAnyRecord, path, found, exact)) return err;
    Node n;
    std::string_view at;
    std::int32_t r = 0;
    if (!found) return kErrKeyNotFound;
    if (int err = EntryView(*file, key, path, n, r, at)) return err;
    if (at != s) return kErrKeyNotFound;
    rec = r;
    return kOk;
  });
}

std::int32_t UsedKeys(IndexedFile* file, int key) {
  std::int32_t n = -1;
  KeyRead(file, key, [&](KeyState& k) {
    n = k.entries;
    return kOk;
  });
  return n;
}

}  // namespace kandelo::isam
