#include "ui/drop_target.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace kandelo {

TDropTarget::TDropTarget(QWidget* window, std::function<void(const QStringList&)> open)
    : QObject(window), open_(std::move(open)) {
  window->setAcceptDrops(true);
  window->installEventFilter(this);
}

QStringList TDropTarget::LocalPaths(const QMimeData* data) {
  QStringList paths;
  if (!data || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) paths << QFileInfo(url.toLocalFile()).absoluteFilePath();
  return paths;
}

bool TDropTarget::eventFilter(QObject* watched, QEvent* e) {
  switch (e->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* d = static_cast<QDropEvent*>(e);
      if (LocalPaths(d->mimeData()).isEmpty()) return false;
      d->setDropAction(Qt::CopyAction);
      d->accept();
      return true;
    }
    case QEvent::Drop: {
      auto* d = static_cast<QDropEvent*>(e);
      const QStringList paths = LocalPaths(d->mimeData());
      if (paths.isEmpty()) return false;
      d->setDropAction(Qt::CopyAction);
      d->accept();
      QTimer::singleShot(0, this, [this, paths] { open_(paths); });
      return true;
    }
    default: return QObject::eventFilter(watched, e);
  }
}

}  // namespace kandelo
