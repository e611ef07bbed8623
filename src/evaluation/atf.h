// ATFObject: the transfer store of the LiTG method. For 10 room indices, 15
// reflectance combinations and both mountings it holds the 4 × 4 matrix M
// that turns the direct fluxes on ceiling, upper walls, lower walls and
// working plane into the total fluxes they receive (E[c] = Σ_r M[r][c]·Φ[r]).
// The 300 matrices are computed once in extended precision and kept in the
// cache file "EXCPW.DAT".
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "evaluation/ext_array.h"

namespace kandelo {

using Mat4 = std::array<std::array<long double, 4>, 4>;  // [r][c], surfaces 1 … 4 at 0 … 3

constexpr int kTransferRows = 316;
constexpr int kTransferCols = 17;

// Room indices of the LiTG method (room index number i = 1 … 10).
extern const float kLitgRoomIndex[10];
// Reflectance combinations j = 1 … 15: ceiling, upper walls, lower walls, working plane (%).
extern const int kLitgReflectances[15][4];

// The cache file in the per-user cache directory (created when missing).
std::string DefaultTransferStorePath();

class ATFObject {
 public:
  // Loads the store from the file when it exists and is whole; otherwise
  // builds it (a damaged or foreign file is rebuilt, not trusted). Throws
  // EvaluationError "Matrix not invertable " when a system cannot be solved.
  explicit ATFObject(std::string path = DefaultTransferStorePath());
  // Writes a rebuilt store to the file; one read from the file stays as it is.
  // Throws the TExtArray write errors.
  void Release();

  bool LoadedFromFile() const { return loaded_; }
  std::uint8_t CombinationCount() const;
  std::array<long double, 4> GetReflectances(int j) const;
  // Total fluxes on the four surfaces for room index number i (1 … 10) and
  // combination j (1 … 15).
  std::array<long double, 4> TransferFluxes(int i, int j, const std::array<long double, 4>& phi,
                                            bool suspended) const;
  const TExtArray& Store() const { return store_; }

  static long double ViewFactor(long double a, long double b, long double d);
  static Mat4 FormFactorMatrix(int i, bool suspended);
  Mat4 SystemMatrix(const Mat4& f, int j) const;
  // The inverse; nullopt when the matrix is singular. Surface-mounted: the
  // 3 × 3 system of surfaces 1, 3, 4, row and column 2 set to 0.
  static std::optional<Mat4> InvertSystem(const Mat4& s, bool suspended);

 private:
  void BuildTransferTable();
  bool Plausible() const;
  std::string path_;
  TExtArray store_;
  bool loaded_ = false;
};

// The store of the cache file `path`, read or built at the first use in the
// process and then shared read-only by every computation.
std::shared_ptr<const ATFObject> SharedTransferStore(const std::string& path);
// Writes the shared store of `path` to its file (atomically) when it was built
// here and not written yet, or when the file has gone since; throws the
// TExtArray write errors, and tries again at the next call after one.
void KeepTransferStoreFile(const std::string& path);

}  // namespace kandelo
