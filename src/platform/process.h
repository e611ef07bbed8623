// The running program: where its file lies, and handing the process over to
// another program of the installation.
#pragma once

#include <string>

namespace kandelo::platform {

// Full path of the running program's file; empty when the system cannot say.
std::string ExecutablePath();

// Runs `program` in place of this process with the arguments `argv`
// (argv[0] included, ending in nullptr). Returns only when that fails.
void ReplaceProcess(const std::string& program, char* const* argv);

}  // namespace kandelo::platform
