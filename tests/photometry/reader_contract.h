// What every reader promises about its messages, checked after each read of
// a hostile file: a file that is not the reader's gives no message, a
// refused one ends with the error that says why.
#pragma once

#include <gtest/gtest.h>

#include "photometry/format_io.h"

namespace kandelo::test {

inline ReadResult ReadChecked(ReaderFn read, TLUM32& lum) {
  Diagnostics diag;
  const ReadResult r = read(lum, diag);
  if (r.status == ReadStatus::NotMine) {
    EXPECT_TRUE(diag.empty()) << diag.joined();
  } else if (r.status == ReadStatus::Failed) {
    EXPECT_FALSE(diag.empty());
    if (!diag.empty()) EXPECT_EQ(diag.items.back().severity, Severity::Error);
  }
  return r;
}

}  // namespace kandelo::test
