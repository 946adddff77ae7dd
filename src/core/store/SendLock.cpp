#include "store/SendLock.h"

#include "components/ComponentError.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

SendLock::~SendLock() {
    if (m_fd >= 0)
        ::close(m_fd); // closing releases the lock
}

bool SendLock::TryLock(const QString& dataFolder) {
    if (m_fd >= 0)
        return true;
    const QString path = dataFolder + QStringLiteral("/.send.lock");
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't open file"), path, errno);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return false;
        ThrowSystemError(ErrorNumber::FileWrite, QStringLiteral("Can't lock file"), path, error);
    }
    m_fd = fd;
    return true;
}

QString SendLock::HeldText() {
    return QStringLiteral("Another copy of the program is sending posts from this data folder. "
                          "Try again when it has finished.");
}
