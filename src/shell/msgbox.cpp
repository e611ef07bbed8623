#include "shell/msgbox.h"

#include "frame/inifile.h"
#include "frame/settings.h"
#include "frame/strutil.h"

namespace kandelo {

namespace {

// Built-in titles and captions of the standard boxes (German, as the program
// ships them); the "MSGTXT" file replaces them in the localized boxes.
const char* BuiltInTitle(MsgType type) {
  switch (type) {
    case MsgType::Warning: return "Warnung";
    case MsgType::Error: return "Fehler";
    case MsgType::Information: return "Information";
    case MsgType::Confirmation: return "Best\xE4tigen";
    case MsgType::Custom: return "";
  }
  return "";
}

const char* TitleKey(MsgType type) {
  switch (type) {
    case MsgType::Warning: return "Warning";
    case MsgType::Error: return "Error";
    case MsgType::Information: return "Information";
    case MsgType::Confirmation: return "Confirmation";
    case MsgType::Custom: return "";
  }
  return "";
}

struct CaptionKey {
  const char* caption;
  const char* key;
};
// Both the Cancel and the Abort caption take the "AbortBtn" text.
const CaptionKey kCaptionKeys[] = {
    {"&Ja", "YesBtn"},       {"&Nein", "NoBtn"},          {"&Abbrechen", "AbortBtn"},
    {"Abbrechen", "AbortBtn"}, {"OK", "OKBtn"},           {"&Ignorieren", "IgnoreBtn"},
    {"&Alle", "AllBtn"},     {"&Wiederholen", "RetryBtn"},
};

int Show(MsgType type, const std::string& text, int buttons, const std::string* msgTxtFile) {
  MessageBox box = BuildMessageBox(type, text, buttons);
  if (msgTxtFile) {
    LocalizeMessageDialog(type, *msgTxtFile, box);
    box.scaled = true;
  } else if (!Settings().MsgTxtFile.empty()) {
    // The fixed texts of start-up and the engine stay as they are, but their
    // box speaks the session's language like every other one.
    LocalizeMessageDialog(type, Settings().MsgTxtFile, box);
  }
  return ui().showMessage(box);
}

}  // namespace

MessageBox BuildMessageBox(MsgType type, const std::string& text, int mask) {
  MessageBox box;
  box.type = type;
  box.title = BuiltInTitle(type);
  box.text = text;
  if (mask & mbYes) box.buttons.push_back({mrYes, "&Ja"});
  if (mask & mbNo) box.buttons.push_back({mrNo, "&Nein"});
  if (mask & mbOK) box.buttons.push_back({mrOk, "OK"});
  if (mask & mbCancel) box.buttons.push_back({mrCancel, "Abbrechen"});
  if (mask & mbAbort) box.buttons.push_back({mrAbort, "&Abbrechen"});
  if (mask & mbRetry) box.buttons.push_back({mrRetry, "&Wiederholen"});
  if (mask & mbIgnore) box.buttons.push_back({mrIgnore, "&Ignorieren"});
  if (mask & mbAll) box.buttons.push_back({mrAll, "&Alle"});
  return box;
}

void LocalizeMessageDialog(MsgType type, const std::string& msgTxtFile, MessageBox& box) {
  if (!FileExistsS(msgTxtFile)) return;
  TBigInifile file(msgTxtFile);
  box.title = file.ReadString("GeneralDialogs", TitleKey(type), box.title);
  for (auto& b : box.buttons)
    for (const auto& ck : kCaptionKeys)
      if (b.caption == ck.caption) {
        b.caption = file.ReadString("GeneralButtons", ck.key, b.caption);
        break;
      }
}

int ShowInfo(const std::string& text) { return Show(MsgType::Information, text, mbOK, nullptr); }
int ShowError(const std::string& text) { return Show(MsgType::Error, text, mbOK, nullptr); }
int AskYesNoCancel(const std::string& text) {
  return Show(MsgType::Confirmation, text, mbYes | mbNo | mbCancel, nullptr);
}
bool AskToRepair(const std::string& question) { return AskYesNoCancel(question) == mrYes; }
int ShowInfoL(const std::string& text, const std::string& f) { return Show(MsgType::Information, text, mbOK, &f); }
void ShowDiagnostics(const Diagnostics& diag) {
  for (const auto& d : diag.items) ShowError(d.text);
}

int ShowErrorL(const std::string& text, const std::string& f) { return Show(MsgType::Error, text, mbOK, &f); }
int AskYesNoCancelL(const std::string& text, const std::string& f) {
  return Show(MsgType::Confirmation, text, mbYes | mbNo | mbCancel, &f);
}
int AskYesNoCancelAllL(const std::string& text, const std::string& f) {
  return Show(MsgType::Confirmation, text, mbYes | mbNo | mbCancel | mbAll, &f);
}

}  // namespace kandelo
