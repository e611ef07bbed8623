// Command-line parameters of the evaluation drawings and their JSON (floor
// curves, luminaire count, language): shared by `diagram` and `evaluate`.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "evaluation/evaluation_picture.h"

namespace kandelo::cli {

struct TEvalOptions {
  std::string heights, illuminances, section, language;
  int heightPreset = -1, illuminancePreset = -1, distancePreset = -1;
  int areaSet = 0, reflectances = 0, luminaires = 1;
  double maintenance = 0.8;
  bool emergency = false;
  CLI::Option* maintenanceOption = nullptr;
};

// Registers --heights, --illuminances, --section, --area, --reflectances,
// --maintenance, --emergency, --luminaires, the presets and --language.
void AddEvalOptions(CLI::App& cmd, TEvalOptions& o);

// Fills the records of the picture from the options (defaults: the initial
// values of the output settings record). False with a one-line message when
// a value is out of range.
bool ApplyEvalOptions(const TEvalOptions& o, TEvalPicture& picture, std::string& message);

// The "ORVMSG" file for --language ger|eng|fra, or the configured one.
bool LanguageFileFor(const std::string& language, std::string& path, std::string& message);

// Prints the message and returns the usage exit code.
int UsageError(const std::string& message);

}  // namespace kandelo::cli
