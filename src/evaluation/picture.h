// A diagram drawn on its own, as the evaluation window's export and the
// command line do: a kPictureSize square of logical units with the standalone
// flag set, centred on a device of any size or recorded as a metafile.
#pragma once

#include <functional>
#include <string>

#include "graphics/device.h"
#include "platform/fileio.h"

namespace kandelo {

// Size of the standalone picture in logical units (and metafile units).
constexpr int kPictureSize = 4000;

// Draws the picture into the rectangle (0, 0, kPictureSize, kPictureSize).
using TPictureFunction = std::function<void(TDevice& dc, const TRect& rect)>;

// On a device whose client area is deviceWidth × deviceHeight units.
void DrawPictureCentred(TDevice& dc, int deviceWidth, int deviceHeight, const TPictureFunction& draw);
// As a placeable metafile (1000 units per inch).
bool SavePictureMetafile(const std::string& fileName, const TPictureFunction& draw,
                         platform::WriteError* why = nullptr);

}  // namespace kandelo
