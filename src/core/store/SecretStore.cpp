#include "store/SecretStore.h"

#include "app/SessionBusProbe.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QTimer>
#include <qt6keychain/keychain.h>

namespace {

constexpr int kAnswerMs = 5000;
constexpr int kBusQuestionMs = 250;

// A keyring that failed once is not asked again in this run: the jobs of QtKeychain queue
// behind one that never ended, and a refused unlock should not be asked for at every load.
bool g_failed = false;

QString Service() {
    return QStringLiteral(MARIVANE_APP_ID);
}

struct Answer {
    bool ended = false;
    QKeychain::Error error = QKeychain::OtherError;
    QString text;
};

// The job deletes itself once it ends, even after the wait gave up on it.
Answer Run(QKeychain::Job* job, const QString& key) {
    Answer answer;
    QEventLoop loop;
    QObject::connect(
        job, &QKeychain::Job::finished, &loop, [&answer, &loop](QKeychain::Job* ended) {
            answer.ended = true;
            answer.error = ended->error();
            if (const auto* read = qobject_cast<const QKeychain::ReadPasswordJob*>(ended))
                answer.text = read->textData();
            loop.quit();
        });
    QTimer::singleShot(kAnswerMs, &loop, &QEventLoop::quit);
    job->setKey(key);
    job->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return answer;
}

// The bus the environment names at this call, on a connection of its own: the shared
// session connection keeps the address it read first.
bool KeyringOnBus() {
    const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
    const QString name = QStringLiteral("marivane-keyring");
    bool found = false;
    {
        const QDBusConnection bus = address.isEmpty()
                                        ? QDBusConnection::sessionBus()
                                        : QDBusConnection::connectToBus(address, name);
        if (bus.isConnected()) {
            for (const QString& keyring :
                 {QStringLiteral("org.freedesktop.secrets"), QStringLiteral("org.kde.kwalletd6"),
                  QStringLiteral("org.kde.kwalletd5")})
                found = found || bus.interface()->isServiceRegistered(keyring).value();
        }
    }
    if (!address.isEmpty())
        QDBusConnection::disconnectFromBus(name);
    return found;
}

} // namespace

namespace SecretStore {

bool Available() {
    // The jobs end in an event loop; a bus that never answers would hold the program up.
    return !g_failed && QCoreApplication::instance() && SessionBusAnswers(kBusQuestionMs) &&
           KeyringOnBus();
}

std::optional<QString> Read(const QString& key) {
    if (!Available())
        return std::nullopt;
    const Answer answer = Run(new QKeychain::ReadPasswordJob(Service()), key);
    if (answer.ended && answer.error == QKeychain::NoError)
        return answer.text;
    if (answer.ended && answer.error == QKeychain::EntryNotFound)
        return QString();
    g_failed = true;
    return std::nullopt;
}

bool Keep(const QString& key, const QString& value) {
    if (!Available())
        return false;
    QKeychain::Job* job = nullptr;
    if (value.isEmpty()) {
        job = new QKeychain::DeletePasswordJob(Service());
    } else {
        auto* write = new QKeychain::WritePasswordJob(Service());
        write->setTextData(value);
        job = write;
    }
    const Answer answer = Run(job, key);
    // Forgetting an entry that is not there may count as an error; the read back tells.
    if (!answer.ended || (!value.isEmpty() && answer.error != QKeychain::NoError)) {
        g_failed = true;
        return false;
    }
    return Read(key) == value;
}

} // namespace SecretStore
