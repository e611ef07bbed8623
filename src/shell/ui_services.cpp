#include "shell/ui_services.h"

#include <cstdio>

#include "platform/text.h"

namespace kandelo {

namespace {

// Without a user interface: messages go to stderr, the first button answers.
class ConsoleUi : public UiServices {
 public:
  int showMessage(const MessageBox& box) override {
    std::string title = platform::cp1252ToUtf8(box.title);
    std::string text = platform::cp1252ToUtf8(box.text);
    std::fprintf(stderr, "%s%s%s\n", title.c_str(), title.empty() ? "" : ": ", text.c_str());
    return box.buttons.empty() ? mrOk : box.buttons.front().result;
  }
};

UiServices* g_ui = nullptr;
thread_local UiServices* t_ui = nullptr;

}  // namespace

UiServices& ui() {
  if (t_ui) return *t_ui;
  static ConsoleUi console;
  return g_ui ? *g_ui : console;
}

UiServices* setThreadUiServices(UiServices* services) {
  UiServices* previous = t_ui;
  t_ui = services;
  return previous;
}

int CollectingUi::showMessage(const MessageBox& box) {
  boxes.push_back(box);
  return box.buttons.empty() ? mrOk : box.buttons.front().result;
}

UiServices* setUiServices(UiServices* services) {
  UiServices* previous = g_ui;
  g_ui = services;
  return previous;
}

}  // namespace kandelo
