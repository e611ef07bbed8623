// kandelo-cli settings [--json] | settings set SECTION VALUE TEXT
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/cli_common.h"
#include "cli/cli_output.h"
#include "frame/settings.h"

namespace kandelo::cli {
namespace {

void Setup(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("settings", "Load the settings as the program does and print every field");
  static bool json = false;
  cmd->add_flag("--json", json, "Print as JSON");
  auto* set = cmd->add_subcommand("set", "Write one value of the settings store");
  static std::string section, value, text;
  set->add_option("SECTION", section)->required();
  set->add_option("VALUE", value)->required();
  set->add_option("TEXT", text)->required();

  set->callback([&exitCode] {
    if (const TSettingTextFault fault = SettingTextFault(FromUtf8(section), FromUtf8(value), FromUtf8(text))) {
      std::fprintf(stderr, "kandelo-cli: %s\n", ToUtf8(SessionText("SETUP", fault.key, fault.english)).c_str());
      exitCode = kUsage;
      return;
    }
    if (!WriteSettingString(FromUtf8(section), FromUtf8(value), FromUtf8(text)))
      exitCode = Fail("cannot write the settings store");
  });
  cmd->callback([cmd, set, &exitCode] {
    if (set->parsed()) return;
    StartCli();
    const TProgramSettings& s = Settings();
    nlohmann::ordered_json out;
    ForEachSettingsField(s, [&](const char* name, const SettingsValue& v) {
      std::visit(
          [&](const auto& x) {
            using T = std::decay_t<decltype(x)>;
            if constexpr (std::is_same_v<T, std::string>)
              out[name] = ToUtf8(x);
            else
              out[name] = x;
          },
          v);
    });
    PrintRecord(out, json);
    exitCode = kOk;
  });
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
