// The filter row above the browser table: range boxes for the figures most
// asked for (luminaire flux, wattage, colour temperature, UGR, beam angle)
// and a field for a free expression, together one query over the catalogue
// (database/catalogue_query.h). It only composes the query and shows what is
// wrong with it; the window applies it.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QToolButton>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "database/catalogue_query.h"

namespace kandelo {

class TMsgManager;

class TFilterRow : public QWidget {
  Q_OBJECT
 public:
  explicit TFilterRow(QWidget* parent = nullptr);

  // The query of the boxes and the field (1252), "" when all are empty.
  std::string Query() const;
  // The parsed query; nullptr when it is empty or faulty (the fault is
  // then shown beside the field, and the previous filter should stay).
  // `faulty` tells which of the two.
  std::shared_ptr<const query::Expression> Parsed(bool& faulty);

  // The boxes' and the field's texts as one line for the settings, and back.
  QString State() const;
  void SetState(const QString& state);
  // Empties every box and the field.
  void Clear();
  bool Empty() const;

  // Texts of the boxes' hints and of the fault from the message file.
  void SetMessages(const TMsgManager& msgs);
  // The field's fault as shown (empty when there is none), for tests.
  QString FaultText() const { return fault_->text(); }

 signals:
  // A box or the field was edited, or the filter was cleared.
  void Changed();

 private:
  struct Range {
    std::size_t field;  // index into CatalogueQueryFields()
    QLineEdit* min = nullptr;
    QLineEdit* max = nullptr;
  };
  std::vector<Range> ranges_;
  QLineEdit* expression_ = nullptr;
  QLabel* fault_ = nullptr;
  QToolButton* clear_ = nullptr;
  QString faultWord_;
  std::vector<QLineEdit*> Boxes() const;
};

}  // namespace kandelo
