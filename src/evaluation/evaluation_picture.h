// The table-like evaluation drawings (utilization factors, UGR, glare curves
// and table, floor curves, luminaire count) drawn on their own, as the
// evaluation window's export does: the computations each needs, then a
// standalone picture of the drawing's aspect centred on a device of any size,
// or recorded as a placeable metafile.
#pragma once

#include <optional>
#include <string>

#include "evaluation/litg.h"
#include "evaluation/quick_planning.h"
#include "evaluation/ugr.h"
#include "graphics/device.h"
#include "platform/fileio.h"

namespace kandelo {

class TLUM32;

enum class TEvalKind { UtfDin, UtfTm5, UtfNb, Ugr, Glare, GlareTable, Floor, Count };

// "utf-din", "utf-tm5", "utf-nb", "ugr", "glare", "glare-table", "floor", "count".
std::optional<TEvalKind> EvalKindFromName(const std::string& name);
const char* EvalKindName(TEvalKind kind);

struct TEvalPicture {
  TEvalKind kind = TEvalKind::UtfDin;
  std::string languageFile;  // "ORVMSG" file of the texts
  bool boldHeading = true;
  int utilMode = 0;          // mounting of the DIN table (settings field UtilMode)
  TFloorCurveParams floor;
  TLuminaireCountParams count;
  // Filled by PrepareEvaluation.
  RoomUtilTableT roomUtil{};
  bool suspended = false;
  bool ugrValid = false;
  UgrResultSet ugr;
  TFloorCurveResult floorResult{};
  TLuminaireCountResult countResult{};
};

// Runs what the kind draws from: the TM5/NB bytes, η_R, the UGR result set,
// the floor curves or the counts. False with the error text when a
// computation fails (a missing coefficient table, an unsolvable system).
bool PrepareEvaluation(TLUM32& lum, TEvalPicture& picture, std::string* error = nullptr);

// Size of the standalone picture in logical units (and metafile units).
TSize EvalPictureSize(TEvalKind kind);

void DrawEvaluationStandalone(const TLUM32& lum, const TEvalPicture& picture, TDevice& dc, int deviceWidth,
                              int deviceHeight);
bool SaveEvaluationMetafile(const TLUM32& lum, const TEvalPicture& picture, const std::string& fileName,
                            platform::WriteError* why = nullptr);

}  // namespace kandelo
