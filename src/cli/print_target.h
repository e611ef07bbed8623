// Where the printing commands send their pages.
#pragma once

#include <string>

namespace kandelo::cli {

// A PDF file (written under a temporary name and renamed when complete) or,
// when `printer` is set, that print queue.
struct TPrintTarget {
  std::string pdf;
  std::string printer;
};

}  // namespace kandelo::cli
