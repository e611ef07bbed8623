// The toolkit as the drawing commands of the command line use it: one
// application object (offscreen unless the environment names a platform),
// its text metrics for the drawings, and the printer queues it reaches.
#pragma once

#include <memory>
#include <string>

class QGuiApplication;
class QPrinter;

namespace kandelo::cli {

// Starts the toolkit's application when none runs and measures text through
// it while the session lasts.
class TToolkitSession {
 public:
  TToolkitSession();
  ~TToolkitSession();
  TToolkitSession(const TToolkitSession&) = delete;
  TToolkitSession& operator=(const TToolkitSession&) = delete;

 private:
  std::unique_ptr<QGuiApplication> app_;
};

// Points the printer at the print queue `queue` (as the printing system
// names it). False with the reason when no such queue exists.
bool SelectPrintQueue(QPrinter& printer, const std::string& queue, std::string& error);

}  // namespace kandelo::cli
