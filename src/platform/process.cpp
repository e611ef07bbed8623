#include "platform/process.h"

#include <unistd.h>

#include <cstdio>
#include <vector>

namespace kandelo::platform {

std::string ExecutablePath() {
  std::vector<char> buf(4096);
  const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return {};
  return std::string(buf.data(), std::size_t(n));
}

void ReplaceProcess(const std::string& program, char* const* argv) {
  // Buffered output of this process would otherwise be lost with its image.
  std::fflush(nullptr);
  execv(program.c_str(), argv);
}

}  // namespace kandelo::platform
