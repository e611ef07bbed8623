// kandelo-cli links no toolkit: the drawing commands run in the drawing part
// it hands over to, and the user sees one program.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_output.h"
#include "cli/cli_support.h"
#include "photometry/ldt_fixture.h"
#include "support/test_support.h"

using kandelo::test::RunCli;

TEST(CliDrawingPart, KandeloCliLoadsNoToolkit) {
  FILE* p = popen((std::string("ldd '") + KANDELO_CLI + "' 2>/dev/null").c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string libs;
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) libs.append(buf, n);
  if (pclose(p) != 0 || libs.empty()) GTEST_SKIP() << "no ldd";
  EXPECT_EQ(libs.find("libQt"), std::string::npos) << libs;
  EXPECT_NE(libs.find("libc.so"), std::string::npos) << libs;
}

TEST(CliDrawingPart, DrawingCommandsAndHelpComeFromOneProgram) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  kandelo::test::LdtSpec s;
  const std::string file = dir.file("a.ldt");
  kandelo::test::writeFile(file, kandelo::test::MakeLdt(s));

  // Drawn by the drawing part, whatever the device.
  for (const char* ext : {".png", ".svg", ".pdf", ".wmf"}) {
    const std::string out = dir.file(std::string("polar") + ext);
    EXPECT_EQ(RunCli("diagram '" + file + "' --kind polar -o '" + out + "'").exitCode, 0) << ext;
    EXPECT_GT(kandelo::test::readFile(out).size(), 100u) << ext;
  }
  // The help lists the commands of both parts; a command's own help and a
  // usage error of either part answer as before.
  const auto help = RunCli("--help");
  EXPECT_EQ(help.exitCode, 0);
  for (const char* command : {"diagram", "info", "catalogue", "evaluate"})
    EXPECT_NE(help.out.find(command), std::string::npos) << command;
  EXPECT_NE(RunCli("diagram --help").out.find("--kind"), std::string::npos);
  EXPECT_EQ(RunCli("diagram 2>/dev/null").exitCode, 2);
  EXPECT_EQ(RunCli("info 2>/dev/null").exitCode, 2);
  EXPECT_EQ(RunCli("no-such-command 2>/dev/null").exitCode, 2);
  EXPECT_EQ(RunCli("--version").out.rfind("kandelo-cli ", 0), 0u);
  // A failure of a drawing command keeps its exit code through the hand-over.
  EXPECT_EQ(RunCli("diagram '" + dir.file("none.ldt") + "' -o '" + dir.file("x.png") + "' 2>/dev/null").exitCode, 1);
}

// The streamed array prints what the whole document would.
TEST(CliDrawingPart, JsonArrayWriterPrintsAsTheWholeDocument) {
  using J = nlohmann::ordered_json;
  std::vector<std::vector<J>> cases = {
      {},
      {J{{"a", 1}}},
      {J{{"a", 1}, {"b", J{{"c", "x\ny"}, {"d", J::array({1, 2})}}}}, J{{"e", "\xC4 invalid"}}, J::object()},
  };
  for (const auto& elements : cases) {
    J all = J::array();
    for (const auto& e : elements) all.push_back(e);
    const std::string expected = all.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    char* data = nullptr;
    std::size_t size = 0;
    FILE* out = open_memstream(&data, &size);
    kandelo::cli::JsonArrayWriter writer(out);
    for (const auto& e : elements) writer.Add(e);
    writer.End();
    std::fclose(out);
    EXPECT_EQ(std::string(data, size), expected);
    std::free(data);
  }

  // Flat objects written field by field print as the objects would: plain
  // and escaped strings, Windows-1252 texts as UTF-8, invalid bytes, floats.
  const std::vector<std::pair<std::string, std::string>> texts = {
      {"plain", "LED 4000 K"}, {"escaped", "a\"b\\c\td\x01"}, {"umlaut", "Gr\xC3\xBC\xC3\x9F"},
      {"invalid", "\xC4 x \xFF"}, {"empty", ""}};
  J all = J::array();
  char* data = nullptr;
  std::size_t size = 0;
  FILE* out = open_memstream(&data, &size);
  kandelo::cli::JsonArrayWriter writer(out);
  for (const float flux : {1200.0f, 3.3f, -0.0f}) {
    J e;
    writer.BeginObject();
    e["record"] = 7;
    writer.Field("record", 7LL);
    for (const auto& [key, text] : texts) {
      e[key] = text;
      writer.Field(key, text);
    }
    e["flux"] = flux;
    writer.Field("flux", static_cast<double>(flux));
    writer.EndObject();
    all.push_back(e);
  }
  writer.BeginObject();
  writer.EndObject();
  all.push_back(J::object());
  writer.End();
  std::fclose(out);
  EXPECT_EQ(std::string(data, size), all.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
  std::free(data);
}
