#include "platform/program_fault.h"

#include <cstdio>
#include <utility>

namespace kandelo::platform {

namespace {
ProgramFaultHook& Hook() {
  static ProgramFaultHook hook;
  return hook;
}
}  // namespace

ProgramFaultHook setProgramFaultHook(ProgramFaultHook hook) { return std::exchange(Hook(), std::move(hook)); }

void reportProgramFault(const std::string& text) {
  if (const ProgramFaultHook& hook = Hook()) {
    hook(text);
    return;
  }
  std::fprintf(stderr, "kandelo: %s\n", text.c_str());
}

}  // namespace kandelo::platform
