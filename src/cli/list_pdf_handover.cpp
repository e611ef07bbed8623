// kandelo-cli links no toolkit: "catalogue print-list" draws its PDF in the
// drawing part of the command line, which this hands the whole command to.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "cli/drawing_part.h"
#include "cli/list_pdf.h"

namespace kandelo::cli {

bool WriteListPdf(const std::vector<TListEntry>&, const TListTexts&, const TPrintTarget&, std::string& error) {
  // The command line as this process was started with it.
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> args;
  for (std::size_t start = 0; start < all.size();) {
    const std::size_t end = all.find('\0', start);
    args.push_back(all.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  // The drawing part opens the catalogue afresh; this process lets it go first.
  StopCli();
  if (!args.empty()) HandOverToDrawingPart(static_cast<int>(args.size()), argv.data());
  error = "printing needs the drawing part of the command line (kandelo-cli-draw), which is missing";
  return false;
}

}  // namespace kandelo::cli
