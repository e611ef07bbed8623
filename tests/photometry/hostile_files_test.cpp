// Files built to hurt the readers: values beyond the table, texts that look
// like format lines, names that mislead the dispatch, files that are no files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cmath>
#include <chrono>
#include <thread>

#include "photometry/conversion.h"
#include "photometry/format_io.h"
#include "photometry/ldt_fixture.h"
#include "photometry/lum32.h"
#include "support/test_support.h"

namespace kandelo {
namespace {

const char kSmallIes[] = "IESNA:LM-63-1995\nTILT=NONE\n1 1000 MULT 3 1 1 2 0.5 1.0 0\n1 1 30\n0 45 90\n0\nV 80 40\n";

std::string SmallIes(const std::string& multiplier, const std::string& first) {
  std::string s = kSmallIes;
  s.replace(s.find("MULT"), 4, multiplier);
  s.replace(s.find("V 80"), 1, first);
  return s;
}

// Values that a double holds but a single does not (or whose flux would not
// fit one) load with an error and nothing else; ordinary large values load.
TEST(HostileFiles, ValuesBeyondTheTableAreRefusedWithTheReason) {
  test::LdtSpec hugeLdt;
  hugeLdt.value = [](int p, int j) { return p == 1 && j == 2 ? std::string("1e308") : std::string("10"); };
  test::LdtSpec hugeFactor;
  hugeFactor.factor = "1e300";
  struct Case {
    const char* what;
    std::string name, text;
    bool loads;
  } cases[] = {
      {"IES intensity 1e308", "a.ies", SmallIes("1", "1e308"), false},
      {"IES multiplier 1e308", "b.ies", SmallIes("1e308", "100"), false},
      {"IES intensity 1e31", "c.ies", SmallIes("1", "1e31"), false},
      {"IES intensity 1e7", "d.ies", SmallIes("1", "1e7"), true},
      {"LDT intensity 1e308", "e.ldt", test::MakeLdt(hugeLdt), false},
      {"LDT factor 1e300", "f.ldt", test::MakeLdt(hugeFactor), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    test::writeFile(dir.file(c.name), c.text);
    TLUM32 lum;
    const LoadResult r = LoadLuminaire(dir.file(c.name), lum);
    EXPECT_EQ(r.ok(), c.loads);
    if (c.loads) {
      EXPECT_TRUE(std::isfinite(lum.LumFlux));
      EXPECT_TRUE(r.messages.empty());
      continue;
    }
    EXPECT_EQ(r.fault, LoadFault::OutOfRange);
    const std::vector<std::string> texts = r.messages.texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("out of range"), std::string::npos) << texts[0];
    EXPECT_NE(texts[0].find(c.name), std::string::npos) << texts[0];
  }
}

// An IES 1986 header is free text up to the TILT line: a text field that
// starts with "TILT=" must not become that line.
TEST(HostileFiles, TextThatLooksLikeTheTiltLineReadsBack) {
  test::TempDir dir;
  test::RecordingUi ui;
  ScopedUiServices scope(ui);
  test::writeFile(dir.file("a.ldt"), test::MakeLdt(test::LdtSpec{}));
  TLUM32 lum;
  ASSERT_TRUE(LoadLuminaire(dir.file("a.ldt"), lum, LoadValues::AsRead).ok());
  lum.LumNumber = "TILT=INCLUDE";
  lum.ReportNumber = "  tilt=none";
  lum.InfoText1 = "TILT=";
  for (std::uint8_t code : {fmtIes86, fmtIes91, fmtIes95}) {
    SCOPED_TRACE(int(code));
    ASSERT_TRUE(lum.SaveAs(code, dir.file("b.ies")));
    TLUM32 back;
    const LoadResult r = LoadLuminaire(dir.file("b.ies"), back, LoadValues::AsRead);
    ASSERT_TRUE(r.ok()) << test::readFile(dir.file("b.ies"));
    EXPECT_TRUE(r.messages.empty()) << r.messages.joined();
    EXPECT_EQ(back.CPlaneCount, lum.CPlaneCount);
    EXPECT_NEAR(back.Intensity(30, 15), lum.Intensity(30, 15), 0.05);
  }
  EXPECT_TRUE(ui.shown.empty());
}

// The extension picks a reader only where it names one; otherwise the content
// decides, whatever the name says.
TEST(HostileFiles, UnknownExtensionsAreProbedByContent) {
  test::TempDir dir;
  test::writeFile(dir.file("a.ldt"), test::MakeLdt(test::LdtSpec{}));
  TLUM32 lum;
  ASSERT_TRUE(LoadLuminaire(dir.file("a.ldt"), lum, LoadValues::AsRead).ok());
  lum.LumName = "TILT=NONE";  // a line the IES reader would take as its own
  ASSERT_TRUE(lum.SaveAs(fmtTm14, dir.file("x.CIB")));
  const std::string tm14 = test::readFile(dir.file("x.CIB"));
  for (const char* name : {"x.tm14", "x.TM14", "x.cibse", "x.txt", "x"}) {
    SCOPED_TRACE(name);
    test::writeFile(dir.file(name), tm14);
    TLUM32 back;
    const LoadResult r = LoadLuminaire(dir.file(name), back, LoadValues::AsRead);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.format, fmtTm14);
    EXPECT_TRUE(r.messages.empty()) << r.messages.joined();
  }
}

// A floodlight in type B photometry (B planes -90 … 90, β 0 … 90 mirrored).
const char kTypeB[] =
    "IES:LM-63-2019\n[TEST] TYPEB\nTILT=NONE\n1 -1 1.0 5 5 2 1 0.5 0.6 0\n1.0 1.0 200\n"
    "-90 -45 0 45 90\n0 22.5 45 67.5 90\n"
    "5000 8000 25000 8000 5000\n4500 7500 24000 7500 4500\n3500 6000 20000 6000 3500\n"
    "2500 4500 15000 4500 2500\n1000 2000 8000 2000 1000\n";

// Uniform upward light, the γ angles from 90 to 180 only.
std::string UpperHemisphereLdt() {
  test::LdtSpec s;
  s.isym = "2", s.mc = "24", s.dc = "15", s.ng = "19", s.dg = "5", s.planes = 13;
  for (int k = 0; k < 19; ++k) s.gammaAngles.push_back(std::to_string(90 + 5 * k));
  s.value = [](int, int) { return std::string("100"); };
  return test::MakeLdt(s);
}

// Every conversion keeps the flux and its split up and down within what the
// writers' precision allows; the CIE flux code of B-β data is computed from
// the directions, not left at zero.
TEST(HostileFiles, ConversionsKeepTheFlux) {
  struct Case {
    const char* what;
    std::string name, text;
  } cases[] = {
      {"type B floodlight", "b.ies", kTypeB},
      {"upper hemisphere only", "up.ldt", UpperHemisphereLdt()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir dir;
    test::RecordingUi ui;
    ScopedUiServices scope(ui);
    test::writeFile(dir.file(c.name), c.text);
    TLUM32 lum;
    ASSERT_TRUE(LoadLuminaire(dir.file(c.name), lum, LoadValues::AsRead).ok());
    lum.CalcFlux();
    lum.CalcCieFluxCode();
    const float flux = lum.LumFlux, dff = lum.DFF;
    ASSERT_GT(flux, 0);
    if (lum.PlaneSystem == psBBeta) {
      EXPECT_EQ(dff, 1.0f);
      EXPECT_GT(lum.CieFluxCode[0], 0);
      EXPECT_EQ(lum.CieFluxCode[3], 100);
    }
    for (std::uint8_t code : {fmtEulumdat, fmtIes86, fmtIes95, fmtTm14, fmtLum32}) {
      SCOPED_TRACE(int(code));
      TLUM32 copy;
      ASSERT_TRUE(LoadLuminaire(dir.file(c.name), copy, LoadValues::AsRead).ok());
      const std::string written = SaveLuminaireInFormat(copy, code, dir.file("out"));
      ASSERT_FALSE(written.empty());
      TLUM32 back;
      ASSERT_TRUE(LoadLuminaire(written, back, LoadValues::AsRead).ok());
      back.CalcFlux();
      EXPECT_NEAR(back.LumFlux / flux, 1.0, 0.01) << back.LumFlux << " vs " << flux;
      EXPECT_NEAR(back.DFF, dff, 0.01);
    }
  }
}

// A FIFO blocks whoever opens it until a writer comes: refused at once
// instead. A helper opens the writing end after a while, so that a reader
// that waits is let go and the test fails instead of hanging.
TEST(HostileFiles, AFifoIsRefusedWithoutWaiting) {
  test::TempDir dir;
  const std::string fifo = dir.file("pipe.ldt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::atomic<bool> done{false};
  std::thread rescue([&] {
    for (int i = 0; i < 50 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (done) return;
    int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  });
  const auto start = std::chrono::steady_clock::now();
  TLUM32 lum;
  const LoadResult r = LoadLuminaire(fifo, lum, LoadValues::AsRead);
  done = true;
  rescue.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  EXPECT_EQ(r.fault, LoadFault::NotRegular);
  EXPECT_EQ(r.messages.texts(), std::vector<std::string>{"not a regular file : " + fifo});
}

}  // namespace
}  // namespace kandelo
