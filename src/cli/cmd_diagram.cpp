// kandelo-cli diagram FILE --kind polar|cartesian [--planes 0,90] [--gamma-max G]
//                          [--size WxH] -o OUT.png|.svg|.pdf|.wmf
// kandelo-cli diagram FILE --kind cone|isolux [--distances D] [--side A] [--height H]
//                          [--flux-factor F] [--language EXT] [--size WxH] -o OUT
// The evaluation drawings (--kind utf-din|utf-tm5|utf-nb|ugr|glare|glare-table|
// floor|count) take their parameters from eval_params.h.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cli/cli_common.h"
#include "cli/cone_isolux.h"
#include "cli/eval_params.h"
#include "cli/image_output.h"
#include "evaluation/evaluation_picture.h"
#include "evaluation/intensity_diagram.h"
#include "frame/settings.h"
#include "frame/startup.h"
#include "frame/strutil.h"
#include "photometry/lum32.h"
#include "platform/text.h"


namespace kandelo::cli {
namespace {

bool ParsePlanes(const std::string& text, std::vector<float>& out) {
  out.clear();
  const std::string t = FromUtf8(text);
  for (int i = 1; i <= WordCount(t, ", "); ++i) {
    double v = 0;
    if (!ParseDouble(ExtractWord(i, t, ", "), v) || v < 0 || v >= 360) return false;
    out.push_back(static_cast<float>(v));
  }
  return !out.empty();
}

// A side of a picture in pixels: enough for a printer page at high
// resolution; a larger raster takes gigabytes and half a minute to draw.
constexpr long long kMaxPictureSide = 10000;

// The size of --size, or kOk unchanged; otherwise the exit code with the reason.
int ParseSize(const std::string& text, int& w, int& h) {
  const auto x = text.find_first_of("xX");
  long long a = 0, b = 0;
  if (x == std::string::npos || !ParseInt(text.substr(0, x), a) || !ParseInt(text.substr(x + 1), b) || a < 16 ||
      b < 16)
    return Fail("bad size: " + FromUtf8(text));
  if (a > kMaxPictureSide || b > kMaxPictureSide)
    return Fail(SessionText("CL_SIZELIMIT", "a picture is at most 10000 pixels a side") + ": " + FromUtf8(text));
  w = static_cast<int>(a);
  h = static_cast<int>(b);
  return kOk;
}

int Run(const std::string& file, const std::string& kind, const std::string& planes, double gammaMax,
        bool gammaGiven, const std::string& size, const std::string& output, const TEvalOptions& eval,
        const ConeIsoluxOptions& coneIsoluxOptions) {
  if (IsConeOrIsolux(kind)) {
    int w = 800, h = 800;
    if (!size.empty())
      if (const int code = ParseSize(size, w, h); code != kOk) return code;
    ConeIsoluxOptions coneIsolux = coneIsoluxOptions;
    coneIsolux.language = eval.language;
    return DrawConeOrIsolux(file, kind, coneIsolux, w, h, output);
  }
  TLvkOptions options;
  const std::optional<TEvalKind> evalKind = EvalKindFromName(kind);
  TEvalPicture picture;
  if (kind == "polar")
    options.kind = TLvkKind::Polar;
  else if (kind == "cartesian")
    options.kind = TLvkKind::Cartesian;
  else if (evalKind)
    picture.kind = *evalKind;
  else
    return Fail("unknown diagram kind: " + FromUtf8(kind) +
                " (polar, cartesian, utf-din, utf-tm5, utf-nb, ugr, glare, glare-table, floor, count, cone or isolux)");
  std::string message;
  if (!ApplyEvalOptions(eval, picture, message)) return UsageError(message);
  if (!planes.empty() && !ParsePlanes(planes, options.planes))
    return Fail("bad plane list: " + FromUtf8(planes));
  int width = 800, height = 800;
  if (!size.empty())
    if (const int code = ParseSize(size, width, height); code != kOk) return code;
  if (evalKind && size.empty()) {
    const TSize picSize = EvalPictureSize(*evalKind);
    height = std::max(16, static_cast<int>(std::lround(double(width) * picSize.cy / picSize.cx)));
  }
  const std::string ext = platform::lower1252(ExtractFileExt(output));
  if (ext != ".png" && ext != ".svg" && ext != ".pdf" && ext != ".wmf")
    return Fail("the output must end in .png, .svg, .pdf or .wmf");

  LoadSettings();
  InstallLanguageFiles();  // the headings come from the message catalogue
  options.boldHeading = Settings().BoldFont;
  options.showEta = Settings().ShowLor;
  if (!LanguageFileFor(eval.language, options.languageFile, message)) return UsageError(message);

  TLUM32 lum;
  if (int code = kOk; !LoadForCommand(lum, file, code)) return code;
  if (options.planes.empty()) options.planes = DefaultPlaneList(lum);
  options.gammaMax = gammaGiven ? gammaMax : lum.GammaEnd;
  if (evalKind) {
    picture.languageFile = options.languageFile;
    picture.boldHeading = options.boldHeading;
    picture.utilMode = Settings().UtilMode;
    if (!PrepareEvaluation(lum, picture, &message)) return Fail(message);
  }

  if (ext == ".wmf") {
    platform::WriteError why = platform::WriteError::None;
    const bool saved = evalKind ? SaveEvaluationMetafile(lum, picture, FromUtf8(output), &why)
                                : SaveLVKMetafile(lum, options, FromUtf8(output), &why);
    if (!saved) return FailWrite(output, why);
    return kOk;
  }
  return WriteImage(output, ext, width, height, [&](TDevice& dc, int w, int h) {
    if (evalKind)
      DrawEvaluationStandalone(lum, picture, dc, w, h);
    else
      DrawLVKStandalone(lum, options, dc, w, h);
  });
}

void Setup(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("diagram", "Draw an intensity diagram or an evaluation table of a photometric file");
  static std::string file, kind = "polar", planes, size, output;
  static double gammaMax = 0;
  cmd->add_option("FILE", file, "Photometric file")->required();
  cmd->add_option("--kind", kind, "polar, cartesian, utf-din, utf-tm5, utf-nb, ugr, glare, glare-table, floor, count, cone or isolux");
  cmd->add_option("--planes", planes, "Plane angles, e.g. 0,90 (default: 0 and 90, or 0 when rotational)");
  auto* gm = cmd->add_option("--gamma-max", gammaMax, "Cartesian angle range in degrees (default: measured range)");
  cmd->add_option("--size", size, "Image size WxH in pixels for PNG, SVG and PDF (default 800x800, evaluation tables 800 wide in their aspect); a metafile is 4000 x 4000 (tables: their picture size) at 1000 units per inch");
  static TEvalOptions eval;
  AddEvalOptions(*cmd, eval);
  cmd->add_option("-o,--output", output, "Output file: .png, .svg, .pdf or .wmf")->required();
  static ConeIsoluxOptions coneIsolux;
  cmd->add_option("--distances", coneIsolux.distances, "Cone: largest distance of the set in m: 2, 3, 4, 5, 7.5, 10 (default), 15, 20, 30, 40, 50, 75 or 100");
  cmd->add_option("--side", coneIsolux.side, "Isolux: side of the square area in m (default 10)");
  cmd->add_option("--height", coneIsolux.height, "Isolux: mounting height in m (default 5)");
  cmd->add_option("--flux-factor", coneIsolux.fluxFactor, "Cone and isolux: factor on the luminaire's lamp flux (default 1)");
  cmd->callback([gm, &exitCode] {
    exitCode = Run(file, kind, planes, gammaMax, gm->count() > 0, size, output, eval, coneIsolux);
  });
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
