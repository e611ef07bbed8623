// Pictures of the command line as PNG, SVG or PDF. The toolkit's painter draws
// them (text measured with its fonts, without a display); that writer lives in
// the drawing part of the command line (image_output_qt.cpp) and registers
// itself, so that the other commands start without loading the toolkit.
#pragma once

#include <functional>
#include <string>

namespace kandelo {
class TDevice;
}

namespace kandelo::cli {

// Draws on a device whose client area is width × height units.
using TImageDraw = std::function<void(TDevice& dc, int width, int height)>;

// Writes OUTPUT by its extension (".png", ".svg", ".pdf"); the exit code,
// with a message when it cannot be written or this build has no toolkit.
int WriteImage(const std::string& output, const std::string& ext, int width, int height, const TImageDraw& draw);

using TImageWriter = int (*)(const std::string& output, const std::string& ext, int width, int height,
                             const TImageDraw& draw);
struct RegisterImageWriter {
  explicit RegisterImageWriter(TImageWriter writer);
};

}  // namespace kandelo::cli
