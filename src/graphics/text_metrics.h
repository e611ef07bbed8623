// Text measuring independent of any output device. A metafile being recorded
// cannot measure text, so drawings that go into one measure on a "measuring
// context": an object that knows the advance widths of the fonts by name.
#pragma once

#include <memory>
#include <string_view>

#include "graphics/gdi_types.h"

namespace kandelo {

class TTextMeasurer {
 public:
  virtual ~TTextMeasurer() = default;
  // Extent of the 1252 text in the font, in the font's own logical units (the
  // units of font.height): width = sum of advances, height = cell height.
  // False when the text cannot be measured.
  virtual bool Measure(const LogFont& font, std::string_view text, TSize& extent) const = 0;
};

// Built-in advance-width tables of a sans-serif face metric-compatible with
// Arial (regular and bold); every face name is measured with them. Needs no
// toolkit, so the core can lay out text for metafiles on its own.
class TBuiltinTextMeasurer : public TTextMeasurer {
 public:
  bool Measure(const LogFont& font, std::string_view text, TSize& extent) const override;
  // Em height for a font height with the platform's sign convention.
  static double EmHeight(std::int32_t height);
  static double CellHeight(std::int32_t height);
};

// The measuring context of new drawing contexts ("the screen"). The built-in
// tables unless a toolkit installed real font metrics.
const TTextMeasurer& ScreenTextMeasurer();
// Installs a replacement (nullptr restores the built-in one).
void SetScreenTextMeasurer(std::shared_ptr<const TTextMeasurer> measurer);

}  // namespace kandelo
