// The hand-over from kandelo-cli to the drawing part of the command line
// (kandelo-cli-draw, see CMakeLists.txt).
#pragma once

namespace kandelo::cli {

// Runs the drawing program in place of this process with the same arguments,
// when this program has one; returns only when it has none or it cannot be
// started.
void HandOverToDrawingPart(int argc, char** argv);

}  // namespace kandelo::cli
