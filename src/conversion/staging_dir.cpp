#include "conversion/staging_dir.h"

#include <ctime>

#include "frame/strutil.h"
#include "photometry/lum32.h"
#include "platform/fileio.h"

namespace kandelo {

namespace pf = kandelo::platform;

StagingDir::StagingDir(const std::string& dstDir) {
  const std::string base = AddBackslash(dstDir) + ".kandelo-convert-" + std::to_string(std::time(nullptr)) + "-" +
                           std::to_string(pf::processId());
  for (int i = 0; i < 100 && path_.empty(); ++i) {
    std::string p = base + "-" + std::to_string(i);
    if (!pf::fs().exists(p) && pf::fs().makeDirectory(p)) path_ = p;
  }
}

StagingDir::~StagingDir() {
  if (path_.empty()) return;
  if (auto entries = pf::fs().listDirectory(path_))
    for (const auto& e : *entries) pf::fs().removeFile(AddBackslash(path_) + e.name);
  pf::fs().removeDirectory(path_);
}

std::string StagingDir::file(const std::string& name) const { return AddBackslash(path_) + name; }

bool StagingDir::writable() const {
  const std::string probe = file(".probe");
  bool ok = pf::writeFileAtomic(probe, std::string(512, ' '));
  pf::fs().removeFile(probe);
  return ok;
}

bool WriteLuminaireSafely(TLUM32& lum, std::uint8_t formatCode, const std::string& path, bool keepShortName) {
  const auto slash = path.find_last_of("/\\");
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return false;
  StagingDir staging(dir);
  if (!staging.ok()) return false;
  const std::string staged = staging.file(name);
  bool ok = false;
  const std::string own = lum.FileName;
  try {
    if (keepShortName) {
      lum.FileName = staged;
      ok = lum.Save(formatCode);
    } else {
      ok = lum.SaveAs(formatCode, staged);
    }
  } catch (const std::exception&) {  // no memory
    ok = false;
  }
  if (keepShortName) lum.FileName = own;
  return ok && pf::fs().renameFile(staged, path);
}

}  // namespace kandelo
