// One window per user and catalogue: a second start of the program hands its
// command-line files to the running one, which takes them in and comes to the
// front, instead of failing on the catalogue the first one holds.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>

namespace kandelo {

class TInstanceLink : public QObject {
  Q_OBJECT
 public:
  enum class Start {
    HandedOver,  // a running instance took the files: this one ends
    Listening,   // this is the first instance; others will hand over to it
    Alone,       // no link could be set up; the program runs on its own
  };

  explicit TInstanceLink(QString name, QObject* parent = nullptr);
  // Per user and settings file, so that tests and other settings do not meet.
  static QString DefaultName();

  // Hands the files to a running instance, or else becomes the one that
  // listens. Two starts at the same moment settle it through a lock file.
  Start StartOrHandOver(const QStringList& files, int timeoutMs = 3000);
  // A running instance took the files and confirmed it (false: none answered).
  bool HandOver(const QStringList& files, int timeoutMs = 3000);
  bool Listen();
  QString ServerPath() const { return server_.fullServerName(); }

 signals:
  void FilesReceived(const QStringList& files);

 private:
  void Accept();
  QString name_;
  QLocalServer server_;
};

}  // namespace kandelo
