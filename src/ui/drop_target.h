// Files and folders dropped onto a window (from a file manager): the local
// paths go to a handler once the drop is over, so that the questions and the
// summary of adding them do not hold the file manager's drag.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class QMimeData;
class QWidget;

namespace kandelo {

class TDropTarget : public QObject {
  Q_OBJECT
 public:
  TDropTarget(QWidget* window, std::function<void(const QStringList&)> open);
  // The local files and folders among the dropped URLs, as absolute paths.
  static QStringList LocalPaths(const QMimeData* data);

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  std::function<void(const QStringList&)> open_;
};

}  // namespace kandelo
