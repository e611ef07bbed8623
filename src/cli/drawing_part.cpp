#include "cli/drawing_part.h"

#include "platform/fileio.h"
#include "platform/process.h"

namespace kandelo::cli {

void HandOverToDrawingPart(int argc, char** argv) {
#ifdef KANDELO_CLI_DRAWING_PROGRAM
  (void)argc;
  std::string self = platform::ExecutablePath();
  const auto slash = self.rfind('/');
  if (slash == std::string::npos) return;
  const std::string dir = self.substr(0, slash + 1);
  // Beside this program in the build tree; under libexec when installed.
  for (const std::string& candidate : {dir + KANDELO_CLI_DRAWING_PROGRAM,
                                       dir + KANDELO_CLI_DRAWING_DIR + "/" + KANDELO_CLI_DRAWING_PROGRAM})
    if (platform::fs().exists(candidate)) {
      platform::ReplaceProcess(candidate, argv);
      return;
    }
#else
  (void)argc;
  (void)argv;
#endif
}

}  // namespace kandelo::cli
