// A print job as page-composing code sees it: a document of pages drawn in
// twips. The toolkit supplies printers and PDF files behind it; tests supply
// recording pages. The job itself starts only when Begin is called, so a
// caller that finds nothing to print starts none.
#pragma once

#include <string>

#include "graphics/device.h"
#include "graphics/pdf_info.h"

namespace kandelo {

class TPageJob {
 public:
  virtual ~TPageJob() = default;
  // The document's title, author and subject, before Begin: the name of the
  // print job, and the document information of a PDF file.
  virtual void SetDocumentInfo(const TDocumentInfo& info) { (void)info; }
  // Starts the document; false when the printer or the file cannot be opened.
  virtual bool Begin() = 0;
  // Sets up the current page in twips (BeginTwipsPage with the job's
  // margins) and returns the page rectangle.
  virtual TRect BeginTwipsPage() = 0;
  virtual void EndTwipsPage() = 0;
  virtual bool NewPage() = 0;
  // Ends the document; false when the printer or the file reported an error.
  virtual bool End() = 0;
  // Ends the document and throws away what was written.
  virtual void Abort() = 0;
  virtual TDevice& Device() = 0;
  // The image file at `pathUtf8` (PNG, JPEG, …) on the current page, fitted
  // into `box` (twips) with its proportions kept, at the box's top left.
  // False when the job draws no images or the file is no image it can read.
  virtual bool DrawImageFile(const TRect& box, const std::string& pathUtf8) {
    (void)box;
    (void)pathUtf8;
    return false;
  }
};

}  // namespace kandelo
