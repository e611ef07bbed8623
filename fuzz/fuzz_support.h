// Shared pieces of the libFuzzer targets: the input as a file (the readers
// read through the file system), a user interface that shows nothing, and a
// walk over everything a loaded luminaire offers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/ui_services.h"
#include "photometry/format_io.h"
#include "photometry/lum32.h"

namespace kandelo::fuzz {

// Writes the input to a file of this process (in /dev/shm when there is one)
// under the given name and returns its path.
std::string InputFile(const std::uint8_t* data, std::size_t size, const std::string& name);

// Answers every box with its first button and keeps nothing.
class SilentUi : public UiServices {
 public:
  int showMessage(const MessageBox& box) override { return box.buttons.empty() ? mrOk : box.buttons.front().result; }
};
// Installs a SilentUi for the whole run.
void Quiet();

// What the browser, the evaluations and the writers do with a luminaire.
void Exercise(TLUM32& lum);

}  // namespace kandelo::fuzz
