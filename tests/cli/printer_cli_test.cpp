// kandelo-cli datasheet and catalogue print-list on a real print queue.
// `./dev test` sets up a PDF queue of the printing system and names it in
// KANDELO_TEST_PRINTER, and the folder its PDF files arrive in in
// KANDELO_TEST_PRINTER_OUT; without them the tests skip.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

#include "cli/cli_support.h"
#include "photometry/ldt_fixture.h"
#include "support/test_support.h"

using kandelo::test::RunCli;
namespace fs = std::filesystem;

namespace {

struct Queue {
  std::string name, out;
};

bool TestQueue(Queue& q) {
  const char* name = std::getenv("KANDELO_TEST_PRINTER");
  const char* out = std::getenv("KANDELO_TEST_PRINTER_OUT");
  if (!name || !*name || !out || !*out) return false;
  q = {name, out};
  return true;
}

std::set<fs::path> PdfFiles(const std::string& dir) {
  std::set<fs::path> files;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(dir, ec))
    if (e.path().extension() == ".pdf") files.insert(e.path());
  return files;
}

std::string Shell(const std::string& command) { return kandelo::test::RunShell(command).out; }

// Waits until the queue has no pending job and returns the PDF file that
// arrived since `before` ("" when none came within two minutes).
std::string ArrivedPdf(const Queue& q, const std::set<fs::path>& before) {
  for (int i = 0; i < 240; ++i) {
    if (Shell("lpstat -o '" + q.name + "' 2>/dev/null").empty())
      for (const fs::path& p : PdfFiles(q.out))
        if (!before.count(p) && fs::file_size(p) > 0) {
          // The backend writes the file before it ends the job.
          std::this_thread::sleep_for(std::chrono::milliseconds(500));
          return p.string();
        }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  return "";
}

std::string PdfField(const std::string& pdf, const std::string& name) {
  return kandelo::test::ReportField(Shell("pdfinfo '" + pdf + "' 2>/dev/null"), name);
}

}  // namespace

TEST(CliPrinter, DatasheetAndListArriveOnTheQueue) {
  Queue q;
  if (!TestQueue(q)) GTEST_SKIP() << "no test print queue (KANDELO_TEST_PRINTER)";
  kandelo::test::TempUserEnvironment env;
  const std::string tree = env.root() + "/lum";
  fs::create_directories(tree);
  kandelo::test::LdtSpec shape;
  shape.isym = "0";
  shape.planes = 24;
  const std::string file = tree + "/probe.ldt";
  kandelo::test::writeFile(file, kandelo::test::MakeLdt(shape));

  auto before = PdfFiles(q.out);
  auto r = RunCli("datasheet '" + file + "' --pages main,polar --planes 0 --language eng --printer '" + q.name +
                  "' 2>&1");
  ASSERT_EQ(r.exitCode, 0) << r.out;
  std::string pdf = ArrivedPdf(q, before);
  ASSERT_FALSE(pdf.empty()) << "no PDF arrived in " << q.out;
  // The queue's driver prints the pages anew, with the job's name as title.
  EXPECT_EQ(PdfField(pdf, "Pages"), "2");
  EXPECT_NE(PdfField(pdf, "Title").find("Leuchte A A-100"), std::string::npos) << PdfField(pdf, "Title");
  fs::remove(pdf);

  ASSERT_EQ(RunCli("catalogue scan '" + tree + "'").exitCode, 0);
  before = PdfFiles(q.out);
  r = RunCli("catalogue print-list --printer '" + q.name + "' 2>/dev/null");
  ASSERT_EQ(r.exitCode, 0) << r.out;
  EXPECT_EQ(r.out, "1 entries, 1 pages\n");
  pdf = ArrivedPdf(q, before);
  ASSERT_FALSE(pdf.empty()) << "no PDF arrived in " << q.out;
  EXPECT_EQ(PdfField(pdf, "Pages"), "1");
  fs::remove(pdf);
}

TEST(CliPrinter, AQueueThatDoesNotExistOrTwoTargetsAreRefused) {
  kandelo::test::TempUserEnvironment env;
  kandelo::test::TempDir dir;
  const std::string file = dir.file("probe.ldt");
  kandelo::test::writeFile(file, kandelo::test::MakeLdt({}));
  auto r = RunCli("datasheet '" + file + "' --printer no-such-queue-kandelo 2>&1");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find("no-such-queue-kandelo"), std::string::npos) << r.out;
  EXPECT_EQ(RunCli("datasheet '" + file + "' --printer q -o '" + dir.file("x.pdf") + "' 2>/dev/null").exitCode, 2);
  EXPECT_EQ(RunCli("datasheet '" + file + "' 2>/dev/null").exitCode, 2);
  EXPECT_EQ(RunCli("catalogue print-list 2>/dev/null").exitCode, 2);
  EXPECT_EQ(RunCli("catalogue print-list --printer q -o '" + dir.file("x.pdf") + "' 2>/dev/null").exitCode, 2);
  EXPECT_FALSE(fs::exists(dir.file("x.pdf")));
}
