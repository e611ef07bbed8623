// kandelo-cli lamps list [--json] | add TYPE WATT FLUX [BALLAST] | delete TYPE WATT
// The default lamp table (ExtData + "DEFLAMPS").
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/cli_common.h"
#include "storage/isam_errors.h"
#include "database/lamp_table.h"
#include "shell/msgbox.h"
#include "frame/strutil.h"

namespace kandelo::cli {

// StartCli without opening the catalogue (main.cpp): the lamp table alone.
StartupState StartCli(bool catalogue);

namespace {

constexpr int kMaxWatt = 32767;

// The table opened after the program's start-up; closed again at the end.
struct LampSession {
  bool open = false;
  LampSession() {
    StartCli(false);  // the lamp table alone: the catalogue's state is no concern here
    std::string fault;
    open = OpenLampTable(DefaultLampTablePath(), &fault);
    if (!fault.empty()) ShowError(fault);  // to stderr, as the console shows boxes
  }
  ~LampSession() { CloseLampTable(); }
};

int list(bool json) {
  LampSession session;
  if (!session.open) return Fail("the lamp table " + DefaultLampTablePath() + " is not available");
  IndexedTable& t = *LampTable();
  t.SelectKey(1);
  t.ResetKey();
  nlohmann::ordered_json all = nlohmann::ordered_json::array();
  std::string key;
  int e;
  while ((e = t.NextKey(key)) == isam::kOk) {
    if ((e = t.RereadRecord()) != isam::kOk) break;
    const TLampRecord& r = LampBuffer();
    const std::string type = TrimBlanks(r.LampType());
    if (json) {
      nlohmann::ordered_json j;
      j["type"] = ToUtf8(type);
      j["flux"] = r.Flux();
      j["watt"] = r.Watt();
      j["ballast"] = r.BallastWatt();
      all.push_back(j);
    } else {
      std::printf("%-20s %10s lm %6dW %6dW\n", ToUtf8(type).c_str(), FormatFixed(r.Flux(), 1).c_str(), r.Watt(),
                  r.BallastWatt());
    }
  }
  if (e != isam::kErrEndOfIndex && e != isam::kErrSearchEnd) return Fail("BTREE ERR : " + std::to_string(e));
  if (json) std::printf("%s\n", all.dump(2).c_str());
  return kOk;
}

// A type and wattage as the table keys them; false with the exit code set.
bool lampOf(const std::string& typeUtf8, int watt, TLampRecord& r, int& exitCode) {
  const std::string type = TrimBlanks(FromUtf8(typeUtf8));
  // Letters outside the table's character set would be stored as "?".
  if (ToUtf8(FromUtf8(typeUtf8)) != typeUtf8 || !LampTypeStorable(type)) {
    exitCode = Fail(SessionText("LAMPS", "LP_BADTEXT",
                                "the lamp type holds characters the lamp table cannot store (only Western European "
                                "letters, no tabs or line breaks)") +
                    ": " + FromUtf8(typeUtf8));
    return false;
  }
  if (type.empty() || type.size() > 20) {
    exitCode = Fail("the lamp type must have 1 to 20 characters: " + FromUtf8(typeUtf8));
    return false;
  }
  if (watt < 0 || watt > kMaxWatt) {
    exitCode = Fail("the wattage must lie in 0.." + std::to_string(kMaxWatt));
    return false;
  }
  r.Clear();
  r.SetLampType(type);
  r.SetWatt(static_cast<std::int16_t>(watt));
  return true;
}

int add(const std::string& type, int watt, double flux, int ballast) {
  TLampRecord r;
  int exitCode = kOk;
  if (!lampOf(type, watt, r, exitCode)) return exitCode;
  if (!std::isfinite(flux) || std::signbit(flux) || flux > 999999) return Fail("the flux must lie in 0..999999 lm");
  if (ballast < 0 || ballast > kMaxWatt) return Fail("the ballast wattage must lie in 0.." + std::to_string(kMaxWatt));
  r.SetFlux(static_cast<float>(flux));
  r.SetBallastWatt(static_cast<std::int16_t>(ballast));
  LampSession session;
  if (!session.open) return Fail("the lamp table " + DefaultLampTablePath() + " is not available");
  IndexedTable& t = *LampTable();
  std::string key = LampKey(r, 1);
  t.SelectKey(1);
  if (t.FindKey(key) == isam::kOk || FindLampTwin(r) != 0)
    return Fail("Lamp already exists !");
  LampBuffer() = r;
  if (const int e = t.Add(); e != isam::kOk) return Fail("DB-Error : " + std::to_string(e));
  return kOk;
}

int removeLamp(const std::string& type, int watt) {
  TLampRecord r;
  int exitCode = kOk;
  if (!lampOf(type, watt, r, exitCode)) return exitCode;
  LampSession session;
  if (!session.open) return Fail("the lamp table " + DefaultLampTablePath() + " is not available");
  IndexedTable& t = *LampTable();
  std::string key = LampKey(r, 1);
  t.SelectKey(1);
  if (t.FindKey(key) != isam::kOk) return Fail("no such lamp: " + TrimBlanks(r.LampType()) + " " + std::to_string(watt) + "W");
  int e = t.ReadRecord(t.CurrentRecordNumber());
  if (e == isam::kOk) e = t.Delete();
  if (e != isam::kOk) return Fail("DB-Error : " + std::to_string(e));
  return kOk;
}

void Setup(CLI::App& app, int& exitCode) {
  auto* cmd = app.add_subcommand("lamps", "The default lamp table");
  cmd->require_subcommand(1);
  static bool json = false;
  static std::string type;
  static int watt = 0, ballast = 0;
  static double flux = 0;
  auto* listCmd = cmd->add_subcommand("list", "List the lamps in the order of type and wattage");
  listCmd->add_flag("--json", json, "Print as JSON");
  listCmd->callback([&exitCode] { exitCode = list(json); });
  auto* addCmd = cmd->add_subcommand("add", "Add a lamp");
  addCmd->add_option("TYPE", type, "Lamp type (at most 20 characters)")->required();
  addCmd->add_option("WATT", watt, "Lamp wattage in W")->required();
  addCmd->add_option("FLUX", flux, "Luminous flux of one lamp in lm")->required();
  addCmd->add_option("BALLAST", ballast, "Ballast wattage in W");
  addCmd->callback([&exitCode] { exitCode = add(type, watt, flux, ballast); });
  auto* delCmd = cmd->add_subcommand("delete", "Delete a lamp");
  delCmd->add_option("TYPE", type)->required();
  delCmd->add_option("WATT", watt)->required();
  delCmd->callback([&exitCode] { exitCode = removeLamp(type, watt); });
}

KANDELO_COMMAND(Setup);

}  // namespace
}  // namespace kandelo::cli
