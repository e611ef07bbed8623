#include "ui/instance_link.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QLockFile>
#include <memory>
#include <unistd.h>

#include "platform/settings_store.h"

namespace kandelo {

namespace {

// The request: a header line, one absolute path per line, an empty line.
// The answer: "OK". Paths are UTF-8; a path with a line break is not handed over.
constexpr char kHeader[] = "KANDELO-FILES 1";
constexpr char kAnswer[] = "OK";

bool ReadLine(QLocalSocket& s, QByteArray& line, int timeoutMs) {
  while (!s.canReadLine()) {
    if (s.state() != QLocalSocket::ConnectedState && s.bytesAvailable() == 0) return false;
    if (!s.waitForReadyRead(timeoutMs)) return false;
  }
  line = s.readLine();
  line.chop(1);
  return true;
}

}  // namespace

TInstanceLink::TInstanceLink(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)), server_(this) {
  connect(&server_, &QLocalServer::newConnection, this, &TInstanceLink::Accept);
}

QString TInstanceLink::DefaultName() {
  const QByteArray settings = QByteArray::fromStdString(platform::settingsFilePath());
  const QByteArray hash = QCryptographicHash::hash(settings, QCryptographicHash::Sha1).toHex().left(16);
  return QDir::tempPath() + QStringLiteral("/kandelo-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

bool TInstanceLink::HandOver(const QStringList& files, int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(name_);
  if (!socket.waitForConnected(timeoutMs)) return false;
  QByteArray request = QByteArray(kHeader) + '\n';
  for (const QString& f : files)
    if (!f.contains(QLatin1Char('\n'))) request += f.toUtf8() + '\n';
  request += '\n';
  socket.write(request);
  if (!socket.waitForBytesWritten(timeoutMs)) return false;
  QByteArray answer;
  return ReadLine(socket, answer, timeoutMs) && answer == kAnswer;
}

bool TInstanceLink::Listen() {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  if (server_.listen(name_)) return true;
  // A socket left behind by an instance that ended without closing it: no
  // one answered on it (the caller asked first), so it is taken over.
  if (server_.serverError() == QAbstractSocket::AddressInUseError && QLocalServer::removeServer(name_))
    return server_.listen(name_);
  return false;
}

TInstanceLink::Start TInstanceLink::StartOrHandOver(const QStringList& files, int timeoutMs) {
  QLockFile lock(name_ + QStringLiteral(".lock"));
  lock.setStaleLockTime(10000);
  const bool locked = lock.tryLock(timeoutMs);
  if (HandOver(files, timeoutMs)) return Start::HandedOver;
  if (!locked) return Start::Alone;
  return Listen() ? Start::Listening : Start::Alone;
}

void TInstanceLink::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    // Requests are small and come at once; each is read when it is complete.
    auto files = std::make_shared<QStringList>();
    auto started = std::make_shared<bool>(false);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, files, started] {
      while (socket->canReadLine()) {
        QByteArray line = socket->readLine();
        line.chop(1);
        if (!*started) {
          if (line != kHeader) {
            socket->abort();
            return;
          }
          *started = true;
        } else if (line.isEmpty()) {
          socket->write(QByteArray(kAnswer) + '\n');
          socket->flush();
          // The receiver may open a box with an event loop of its own, in
          // which the second start hangs up and its socket is freed: the files
          // go out once this handler has returned, never from inside it.
          QMetaObject::invokeMethod(
              this, [this, received = *files] { emit FilesReceived(received); }, Qt::QueuedConnection);
          files->clear();
          *started = false;
          return;
        } else {
          *files << QString::fromUtf8(line);
        }
      }
    });
  }
}

}  // namespace kandelo
