#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace kandelo {

bool UseQtTranslations(const std::string& langExt) {
  static std::unique_ptr<QTranslator> current;
  if (current) {
    QCoreApplication::removeTranslator(current.get());
    current.reset();
  }
  const char* locale = langExt == ".GER" ? "de" : langExt == ".FRA" ? "fr" : nullptr;
  if (!locale) return true;
  // "qtbase" holds the texts of the widgets and of the print support.
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral("qtbase_") + QLatin1String(locale),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  QCoreApplication::installTranslator(translator.get());
  current = std::move(translator);
  return true;
}

}  // namespace kandelo
