// The document information appended to a finished PDF file, as a PDF reader
// (poppler's pdfinfo) sees it.
#include "graphics/pdf_info.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <vector>

#include "platform/fileio.h"
#include "support/test_support.h"

namespace {

// A one-page PDF with a classic cross-reference table; `info` adds an old
// information dictionary, `id` a file identifier.
std::string SmallPdf(bool info, bool id) {
  std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>",
                                      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                                      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>"};
  if (info) objects.push_back("<< /Title (Old title) /Producer (hand) >>");
  std::string pdf = "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const std::size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  char line[32];
  for (std::size_t o : offsets) {
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", o);
    pdf += line;
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R";
  if (info) pdf += " /Info 4 0 R";
  if (id) pdf += " /ID [<0123456789ABCDEF> <0123456789ABCDEF>]";
  pdf += " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

std::string PdfInfo(const std::string& path) {
  std::string out;
  if (FILE* p = popen(("pdfinfo '" + path + "' 2>&1").c_str(), "r")) {
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    pclose(p);
  }
  return out;
}

// One field of pdfinfo's report ("" when missing).
std::string Field(const std::string& report, const std::string& name) {
  std::smatch m;
  return std::regex_search(report, m, std::regex("(^|\n)" + name + ":[ ]+([^\n]*)")) ? m[2].str() : "";
}

}  // namespace

TEST(PdfInfo, ReadersSeeTheAppendedInformation) {
  if (PdfInfo("/dev/null").empty()) GTEST_SKIP() << "pdfinfo is missing";
  kandelo::test::TempDir dir;
  const kandelo::TDocumentInfo info{"Leuchte Ä 100 – Ø 40", "Lichtwerk GmbH", "Datenblatt", "Kandelo 1.0"};
  for (const bool old : {false, true})
    for (const bool id : {false, true}) {
      SCOPED_TRACE(testing::Message() << "old information " << old << ", identifier " << id);
      const std::string path = dir.file("sheet.pdf");
      const std::string original = SmallPdf(old, id);
      kandelo::test::writeFile(path, original);
      ASSERT_TRUE(kandelo::AddPdfDocumentInfo(path, info));
      const std::string text = PdfInfo(path);
      EXPECT_EQ(Field(text, "Title"), "Leuchte Ä 100 – Ø 40") << text;
      EXPECT_EQ(Field(text, "Author"), "Lichtwerk GmbH");
      EXPECT_EQ(Field(text, "Subject"), "Datenblatt");
      EXPECT_EQ(Field(text, "Creator"), "Kandelo 1.0");
      EXPECT_EQ(Field(text, "Pages"), "1");
      EXPECT_EQ(text.find("Error"), std::string::npos) << text;
      // An incremental update: the pages stay as written.
      EXPECT_EQ(kandelo::test::readFile(path).compare(0, original.size(), original), 0);
    }
}

TEST(PdfInfo, RefusesWhatItCannotUpdateAndLeavesTheFileAsItWas) {
  kandelo::test::TempDir dir;
  const kandelo::TDocumentInfo info{"T", "A", "S", "C"};
  const std::string path = dir.file("x.pdf");
  for (const std::string& content : {std::string("not a PDF at all"), std::string(),
                                     SmallPdf(false, false).substr(0, 200)}) {
    kandelo::test::writeFile(path, content);
    EXPECT_FALSE(kandelo::AddPdfDocumentInfo(path, info));
    EXPECT_EQ(kandelo::test::readFile(path), content);
  }
  EXPECT_FALSE(kandelo::AddPdfDocumentInfo(dir.file("missing.pdf"), info));

  // A failed write (a full disk) cuts the file back to its old length.
  const std::string pdf = SmallPdf(true, false);
  for (const bool shortWrite : {false, true}) {
    kandelo::test::writeFile(path, pdf);
    kandelo::platform::FaultInjectingFileSystem faulty;
    (shortWrite ? faulty.shortWriteAt : faulty.failWriteAt) = 1;
    {
      kandelo::platform::ScopedFileSystem scope(faulty);
      EXPECT_FALSE(kandelo::AddPdfDocumentInfo(path, info));
    }
    EXPECT_EQ(kandelo::test::readFile(path), pdf);
  }
}

TEST(PdfInfo, TextStringsAreUtf16WithByteOrderMark) {
  EXPECT_EQ(kandelo::PdfTextString("A"), "<FEFF0041>");
  EXPECT_EQ(kandelo::PdfTextString("Ä€"), "<FEFF00C420AC>");
  EXPECT_EQ(kandelo::PdfTextString("\xF0\x9F\x92\xA1"), "<FEFFD83DDCA1>");  // beyond 16 bits: a surrogate pair
  EXPECT_EQ(kandelo::PdfTextString("\xFF"), "<FEFF00FF>");                  // a stray byte stands for itself
}

namespace {

// A whole file passes; one that a failed write cut short, or one whose
// middle was lost (the last pointer lands elsewhere), does not.
TEST(PdfInfo, AWholeFileIsToldFromACutOne) {
  const std::string whole = SmallPdf(false, true);
  EXPECT_TRUE(kandelo::PdfLooksComplete(whole));
  EXPECT_TRUE(kandelo::PdfLooksComplete(whole + "\r\n"));
  const std::size_t xref = whole.rfind("xref\n0");
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"cut in the pages", whole.substr(0, 100)},
      {"cut in the trailer", whole.substr(0, whole.size() - 10)},
      {"no end mark", whole.substr(0, whole.size() - 6)},
      {"a block lost before the table", whole.substr(0, 20) + whole.substr(40)},
      {"no PDF", "%%EOF\n"},
      {"pointer past the end", whole.substr(0, whole.rfind("startxref")) + "startxref\n999999\n%%EOF\n"},
      {"table missing", whole.substr(0, xref) + whole.substr(whole.find("trailer"))},
  };
  for (const auto& c : cases) EXPECT_FALSE(kandelo::PdfLooksComplete(c.bytes)) << c.what;
}

}  // namespace
