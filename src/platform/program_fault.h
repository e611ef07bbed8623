// Faults of the program itself, such as an index outside a table: nothing the
// user caused or can answer, but worth knowing about. The core reports them
// here; the application decides where they go (the window shows them, the
// tests record them). Without a hook they go to the standard error stream.
#pragma once

#include <functional>
#include <string>

namespace kandelo::platform {

using ProgramFaultHook = std::function<void(const std::string& text)>;

// Installs the hook (an empty one restores the default) and returns the
// previous one. Install it before any other thread runs: reports may come
// from any thread, so the hook itself must be safe to call from one.
ProgramFaultHook setProgramFaultHook(ProgramFaultHook hook);
void reportProgramFault(const std::string& text);

}  // namespace kandelo::platform
