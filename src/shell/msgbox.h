// Message boxes. The plain ones show fixed texts with the built-in (German)
// button captions; the "L" variants localize title and buttons through a
// "MSGTXT" file. All go through UiServices and return a MsgResult.
#pragma once

#include <string>

#include "frame/diagnostics.h"
#include "shell/ui_services.h"

namespace kandelo {

int ShowInfo(const std::string& text);
int ShowError(const std::string& text);
int AskYesNoCancel(const std::string& text);
// A question about repairing a damaged catalogue, put to the user: Yes.
bool AskToRepair(const std::string& question);
int ShowInfoL(const std::string& text, const std::string& msgTxtFile);
int ShowErrorL(const std::string& text, const std::string& msgTxtFile);
int AskYesNoCancelL(const std::string& text, const std::string& msgTxtFile);
int AskYesNoCancelAllL(const std::string& text, const std::string& msgTxtFile);
// Shows each message of an operation in its own error box, in order.
void ShowDiagnostics(const Diagnostics& diag);

// Builds the standard box of a type with its built-in title and captions.
MessageBox BuildMessageBox(MsgType type, const std::string& text, int buttonsMask);
// Localizes title and standard button captions through the "MSGTXT" file.
void LocalizeMessageDialog(MsgType type, const std::string& msgTxtFile, MessageBox& box);

// Button masks for BuildMessageBox.
enum MsgButtons : int {
  mbOK = 1, mbCancel = 2, mbAbort = 4, mbRetry = 8, mbIgnore = 16, mbYes = 32, mbNo = 64, mbAll = 128,
};

}  // namespace kandelo
