#include "texts/dialog_parts.h"

namespace kandelo {

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text) {
  auto* l = new QLabel(text, parent);
  l->setObjectName(QString::fromLatin1(name));
  return l;
}

QPushButton* NamedPush(QWidget* parent, const char* name, const QString& text) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  return b;
}

QPushButton* TranslateButton(QWidget* parent, bool showTranslate) {
  QPushButton* b = NamedPush(parent, "TrBtn2", QStringLiteral("translate"));
  b->setToolTip(QStringLiteral("translate database texts"));
  b->setVisible(showTranslate);
  return b;
}

namespace {

// Controls are created in the order the language files list them: the
// translate button, OK, cancel.
DialogButtons Row(QWidget* parent, QPushButton* translate, const char* okName, const char* cancelName,
                  const QString& cancelText) {
  DialogButtons r;
  r.row = new QHBoxLayout;
  r.translate = translate;
  r.ok = NamedPush(parent, okName, QStringLiteral("OK"));
  r.ok->setDefault(true);
  r.cancel = NamedPush(parent, cancelName, cancelText);
  if (translate) r.row->addWidget(translate);
  r.row->addStretch();
  r.row->addWidget(r.ok);
  r.row->addWidget(r.cancel);
  return r;
}

}  // namespace

DialogButtons OkCancelRow(QWidget* parent, const char* okName, const char* cancelName, const QString& cancelText) {
  return Row(parent, nullptr, okName, cancelName, cancelText);
}

DialogButtons TranslateOkCancelRow(QWidget* parent, bool showTranslate) {
  QPushButton* translate = TranslateButton(parent, showTranslate);
  return Row(parent, translate, "OKBtn", "CancelBtn", QStringLiteral("Abbruch"));
}

}  // namespace kandelo
