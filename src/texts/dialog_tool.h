// Window localization through the "ORVTXT" language files: each window has a
// section named after its class; its controls are found by object name.
//
//   window title                       CAPTION
//   button, speed button, check box,   <name> (caption), <name>Hint
//     radio button
//   label, group box                   <name>
//   radio group                        <name>, <name>Hint, <name><i> per item
//   tab bar, tab widget, header        <name><i> per tab / page / section
//   navigator                          <name>Hint, <name><i>Hint per button
//   menu (section = the menu's name)   <action name>, <action name>Hint
//
// A caption whose value is "XXXXX" (or that is missing) keeps the built-in
// text; a hint that is missing keeps the built-in hint; a key present with an
// empty value blanks the text.
#pragma once

#include <QWidget>
#include <string>

namespace kandelo {

void LocalizeForm(bool showHints, const std::string& file, QWidget* window);
void ExportForm(const std::string& file, QWidget* window);
void LocalizeMenu(const std::string& file, QWidget* window);
void ExportMenu(const std::string& file, QWidget* window);

// What every window does when it is created: localize itself (form and menus)
// from the file when it exists, else write its built-in texts into it.
void LocalizeOrExport(QWidget* window, const std::string& orvTxtFile);

}  // namespace kandelo
