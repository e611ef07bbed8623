// A TPageJob on the toolkit's printer: a print job on a printer, or in a PDF
// file written safely (temporary name, renamed on success).
#pragma once

#include <string>
#include <utility>

#include "graphics/page_job.h"
#include "graphics/qt/qt_output.h"

namespace kandelo {

class TQtPageJob : public TPageJob {
 public:
  // `pdfFile` empty: the printer as set up; otherwise a PDF file.
  TQtPageJob(QPrinter& printer, std::string pdfFile,
             QPageLayout::Orientation orientation = QPageLayout::Portrait)
      : job_(printer), file_(std::move(pdfFile)), orientation_(orientation) {}
  void SetDocumentInfo(const TDocumentInfo& info) override { job_.SetDocumentInfo(info); }
  bool Begin() override { return job_.Begin(file_, orientation_); }
  TRect BeginTwipsPage() override { return job_.BeginTwipsPage(); }
  void EndTwipsPage() override { job_.EndTwipsPage(); }
  bool NewPage() override { return job_.NewPage(); }
  bool End() override { return job_.End(); }
  platform::WriteError WriteFailure() const { return job_.WriteFailure(); }
  void Abort() override { job_.Abort(); }
  TDevice& Device() override { return job_.Device(); }
  bool DrawImageFile(const TRect& box, const std::string& pathUtf8) override {
    return job_.DrawImageFile(box, pathUtf8);
  }

 private:
  TQtPrintJob job_;
  std::string file_;
  QPageLayout::Orientation orientation_;
};

}  // namespace kandelo
