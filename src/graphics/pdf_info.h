// The document information of a PDF file (title, author, subject, creator),
// added to a finished file as an incremental update: the pages stay byte for
// byte as written, a new information dictionary and a cross-reference section
// for it are appended.
#pragma once

#include <string>

namespace kandelo {

// Texts in UTF-8; empty ones are left out.
struct TDocumentInfo {
  std::string title, author, subject, creator;
  bool empty() const { return title.empty() && author.empty() && subject.empty() && creator.empty(); }
};

// Appends the information to the PDF file at `path`, which must end with a
// cross-reference table and trailer (as the toolkit writes them). False, with
// the file as it was, when it is not such a file or cannot be written.
bool AddPdfDocumentInfo(const std::string& path, const TDocumentInfo& info);

// Whether the bytes are a whole PDF file as the toolkit writes it: the end
// of file mark closes it and the last cross-reference pointer lands on a
// cross-reference table. A write that failed part way (a full disk) fails it.
bool PdfLooksComplete(const std::string& bytes);

// A PDF text string of a UTF-8 text: UTF-16BE with byte-order mark, in hex.
std::string PdfTextString(const std::string& utf8);

}  // namespace kandelo
