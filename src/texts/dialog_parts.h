// The named labels, buttons and button rows the dialogs are built from. The
// object name is what the window's language-file section keys its texts on,
// so every control a dialog translates gets one here.
#pragma once

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QString>

namespace kandelo {

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text);
QPushButton* NamedPush(QWidget* parent, const char* name, const QString& text);

// The bottom row of a dialog: the translate button at the left (when the
// dialog has one), then OK (the default button) and cancel at the right.
struct DialogButtons {
  QHBoxLayout* row = nullptr;
  QPushButton* translate = nullptr;  // nullptr for a dialog without one
  QPushButton* ok = nullptr;
  QPushButton* cancel = nullptr;
};

// "TrBtn2" ("translate database texts"), shown only when the caller asks for
// it, "OKBtn" and "CancelBtn" ("Abbruch").
DialogButtons TranslateOkCancelRow(QWidget* parent, bool showTranslate);
// OK and cancel only, under the names and cancel text the dialog's language
// files know.
DialogButtons OkCancelRow(QWidget* parent, const char* okName, const char* cancelName, const QString& cancelText);
// The translate button alone, for rows laid out otherwise.
QPushButton* TranslateButton(QWidget* parent, bool showTranslate);

}  // namespace kandelo
