// A data file of an older program version, whose records were shorter, is
// brought to the record length of this one: every record (the header record
// too) is padded with zero bytes and the header's record length set. Nothing
// else in the file changes, so its index stays valid.

#include <string>

#include "storage/isam_internal.h"

namespace kandelo::isam {

namespace pf = kandelo::platform;
using namespace detail;

bool UpgradeRecordLength(const std::string& path, std::uint32_t recordLength) {
  const std::string file = ChangeFileExt(path, ".DAT");
  if (!pf::fs().exists(file) || pf::fs().isDirectory(file)) return true;
  constexpr std::size_t kLengthEnd = data_header::kRecordLength + 4;
  std::uint32_t r = 0;
  {
    auto in = pf::fs().open(file, pf::OpenMode::Read);
    if (!in) return false;
    unsigned char head[kLengthEnd] = {};
    if (in->read(head, sizeof head) != static_cast<long long>(sizeof head)) return false;
    r = GetU32(head + data_header::kRecordLength);
  }
  if (r == recordLength) return true;
  // A longer old record would be cut, and one shorter than the header field
  // is no data file of ours: both are left untouched rather than losing data.
  if (r < kLengthEnd || r > recordLength) return false;

  const std::string tmp = ChangeFileExt(file, ".HHX");
  auto in = pf::fs().open(file, pf::OpenMode::Read);
  auto out = pf::fs().open(tmp, pf::OpenMode::Create);
  if (!in || !out) return false;
  std::string oldRec(r, '\0'), newRec;
  bool ok = true, first = true;
  for (;;) {
    long long n = in->read(oldRec.data(), r);
    if (n < 0) ok = false;
    if (n != static_cast<long long>(r)) {
      // A trailing partial record is dropped; a file shorter than its header
      // record is no data file to convert.
      if (first) ok = false;
      break;
    }
    newRec.assign(recordLength, '\0');
    newRec.replace(0, r, oldRec);
    if (first) PutU32(reinterpret_cast<unsigned char*>(newRec.data()) + data_header::kRecordLength, recordLength);
    first = false;
    if (!out->write(newRec.data(), newRec.size())) {
      ok = false;
      break;
    }
  }
  in->close();
  ok = out->flush() && ok;
  ok = out->close() && ok;
  // The rename replaces the old file in one step, so a crash leaves either file whole.
  if (!ok || !pf::fs().renameFile(tmp, file)) {
    pf::fs().removeFile(tmp);
    return false;
  }
  return true;
}

}  // namespace kandelo::isam
