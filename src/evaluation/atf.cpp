#include "evaluation/atf.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

#include "evaluation/coeff_tables.h"
#include "platform/fileio.h"
#include "platform/settings_store.h"

namespace kandelo {

const float kLitgRoomIndex[10] = {0.6f, 0.8f, 1.0f, 1.25f, 1.5f, 2.0f, 2.5f, 3.0f, 4.0f, 5.0f};
const int kLitgReflectances[15][4] = {
    {80, 80, 80, 30}, {80, 50, 50, 30}, {80, 30, 30, 30}, {50, 50, 50, 30}, {50, 30, 30, 30},
    {70, 70, 70, 20}, {70, 50, 50, 20}, {70, 30, 30, 20}, {80, 80, 80, 10}, {80, 50, 50, 10},
    {80, 30, 30, 10}, {50, 50, 50, 10}, {50, 30, 30, 10}, {30, 30, 30, 10}, {0, 0, 0, 0}};

std::string DefaultTransferStorePath() {
  std::string dir = platform::userCacheDirectory();
  platform::makePath(dir);
  return dir + "/EXCPW.DAT";
}

ATFObject::ATFObject(std::string path) : path_(std::move(path)), store_(0, 0) {
  if (platform::fs().exists(path_)) {
    try {
      store_.LoadFromFile(path_);
      loaded_ = Plausible();
    } catch (const EvaluationError&) {
      loaded_ = false;
    }
  }
  if (!loaded_) {
    store_ = TExtArray(kTransferRows, kTransferCols);
    BuildTransferTable();
  }
}

// A store read from disk must have the layout, the combination count and
// finite cells; anything else is rebuilt.
bool ATFObject::Plausible() const {
  if (store_.Rows() != kTransferRows || store_.Cols() != kTransferCols) return false;
  if (std::llround(store_.GetItem(0, 0)) != 15) return false;
  for (int r = 0; r < kTransferRows; ++r)
    for (int c = 0; c < kTransferCols; ++c)
      if (!std::isfinite(store_.GetItem(r, c))) return false;
  for (int j = 1; j <= 15; ++j)
    for (int s = 0; s < 4; ++s)
      if (store_.GetItem(300 + j, s + 1) != kLitgReflectances[j - 1][s]) return false;
  return true;
}

// A store read from disk is not changed by its use: only a rebuilt one is
// written, so an evaluation does not rewrite 54 KB each time.
void ATFObject::Release() {
  if (!loaded_) store_.SaveToFile(path_);
}

std::uint8_t ATFObject::CombinationCount() const {
  long long n = std::llround(store_.GetItem(0, 0));
  return static_cast<std::uint8_t>(std::clamp<long long>(n, 0, 15));
}

std::array<long double, 4> ATFObject::GetReflectances(int j) const {
  std::array<long double, 4> r{};
  for (int s = 0; s < 4; ++s) r[s] = store_.GetItem(300 + j, s + 1);
  return r;
}

std::array<long double, 4> ATFObject::TransferFluxes(int i, int j, const std::array<long double, 4>& phi,
                                                     bool suspended) const {
  int row = 15 * (i - 1) + j + (suspended ? 150 : 0);
  std::array<long double, 4> e{};
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r) e[c] += store_.GetItem(row, 4 * r + c + 1) * phi[r];
  return e;
}

long double ATFObject::ViewFactor(long double a, long double b, long double d) {
  const long double pi = 3.141592653589793238462643383279502884L;
  long double x = a / d, y = b / d;
  long double x2 = x * x, y2 = y * y;
  return (std::log((1 + x2) * (1 + y2) / (1 + x2 + y2)) / (x * y) +
          2 * std::sqrt(1 + y2) * std::atan(x / std::sqrt(1 + y2)) / y +
          2 * std::sqrt(1 + x2) * std::atan(y / std::sqrt(1 + x2)) / x - 2 * std::atan(y) / x -
          2 * std::atan(x) / y) /
         pi;
}

Mat4 ATFObject::FormFactorMatrix(int i, bool suspended) {
  Mat4 f{};
  long double k = kLitgRoomIndex[i - 1];
  long double len = 2.6L * k, wid = 1.625L * k;
  if (!suspended) {
    long double g = ViewFactor(len, wid, 1);
    f[0][3] = f[3][0] = g;
    f[0][2] = f[3][2] = 1 - g;
    f[2][0] = f[2][3] = k * (1 - g) / 2;
    f[2][2] = 1 - 2 * f[2][0];
    return f;
  }
  long double g15 = ViewFactor(len, wid, 1.5L), g05 = ViewFactor(len, wid, 0.5L), g1 = ViewFactor(len, wid, 1);
  f[0][0] = 0;
  f[0][1] = 1 - g05;
  f[0][2] = g05 - g15;
  f[0][3] = g15;
  f[1][0] = k * f[0][1];
  f[1][3] = k * (g1 - g15);
  f[1][2] = f[1][0] - f[1][3];
  f[1][1] = 1 - 2 * f[1][0];
  f[2][0] = k * f[0][2] / 2;
  f[2][1] = f[1][2] / 2;
  f[2][3] = k * (1 - g1) / 2;
  f[2][2] = 1 - 2 * f[2][3];
  f[3][0] = g15;
  f[3][1] = g1 - g15;
  f[3][2] = 1 - g1;
  f[3][3] = 0;
  return f;
}

Mat4 ATFObject::SystemMatrix(const Mat4& f, int j) const {
  Mat4 s{};
  auto rho = GetReflectances(j);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) s[r][c] = (r == c ? 1.0L : 0.0L) - f[r][c] * rho[r] / 100;
  return s;
}

std::optional<Mat4> ATFObject::InvertSystem(const Mat4& s, bool suspended) {
  std::array<int, 4> idx{0, 1, 2, 3};
  int n = 4;
  if (!suspended) {
    idx = {0, 2, 3, 0};
    n = 3;
  }
  long double a[4][4] = {}, inv[4][4] = {};
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) {
      a[r][c] = s[idx[r]][idx[c]];
      inv[r][c] = r == c ? 1.0L : 0.0L;
    }
  // Elimination without pivot search. Any zero pivot makes the matrix
  // singular: without the check an earlier zero would divide by zero.
  for (int p = 0; p < n; ++p) {
    if (a[p][p] == 0) return std::nullopt;
    for (int r = p + 1; r < n; ++r) {
      long double m = -a[r][p] / a[p][p];
      for (int c = 0; c < n; ++c) {
        a[r][c] += m * a[p][c];
        inv[r][c] += m * inv[p][c];
      }
    }
  }
  // Back substitution, column by column of the identity.
  long double x[4][4] = {};
  for (int col = 0; col < n; ++col)
    for (int r = n - 1; r >= 0; --r) {
      long double v = inv[r][col];
      for (int c = r + 1; c < n; ++c) v -= a[r][c] * x[c][col];
      x[r][col] = v / a[r][r];
    }
  Mat4 out{};
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) out[idx[r]][idx[c]] = x[r][c];
  return out;
}

void ATFObject::BuildTransferTable() {
  for (int j = 1; j <= 15; ++j)
    for (int s = 0; s < 4; ++s) store_.SetItem(300 + j, s + 1, kLitgReflectances[j - 1][s]);
  store_.SetItem(0, 0, 15);
  for (int i = 1; i <= 10; ++i)
    for (int mounting = 0; mounting < 2; ++mounting) {
      bool suspended = mounting == 1;
      Mat4 f = FormFactorMatrix(i, suspended);
      for (int j = 1; j <= 15; ++j) {
        auto m = InvertSystem(SystemMatrix(f, j), suspended);
        if (!m) throw EvaluationError("Matrix not invertable ");  // the callers return the text
        int row = 15 * (i - 1) + j + (suspended ? 150 : 0);
        for (int r = 0; r < 4; ++r)
          for (int c = 0; c < 4; ++c) store_.SetItem(row, 4 * r + c + 1, (*m)[r][c]);
      }
    }
}

namespace {

struct SharedStore {
  std::shared_ptr<const ATFObject> store;
  bool written = false;  // the file holds this store (read from it, or written since)
};

std::mutex& StoresMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<std::string, SharedStore>& Stores() {
  static std::map<std::string, SharedStore> stores;
  return stores;
}

}  // namespace

std::shared_ptr<const ATFObject> SharedTransferStore(const std::string& path) {
  std::lock_guard lock(StoresMutex());
  SharedStore& entry = Stores()[path];
  if (!entry.store) {
    auto store = std::make_shared<const ATFObject>(path);  // throws when a system is singular
    entry.written = store->LoadedFromFile();
    entry.store = std::move(store);
  }
  return entry.store;
}

void KeepTransferStoreFile(const std::string& path) {
  std::lock_guard lock(StoresMutex());
  auto it = Stores().find(path);
  if (it == Stores().end() || !it->second.store) return;
  SharedStore& entry = it->second;
  if (entry.written && platform::fs().exists(path)) return;
  entry.store->Store().SaveToFile(path);
  entry.written = true;
}

}  // namespace kandelo
