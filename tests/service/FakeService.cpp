#include "FakeService.h"
#include "widgets/Messages.h"

#include "store/modServiceSettings.h"

#include <QEventLoop>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTcpServer>

FakeService::FakeService(bool sink)
    : FakeService(QStringLiteral(MARIVANE_FAKE_SERVICE),
                  sink ? QStringList{QStringLiteral("--sink")} : QStringList{}) {}

FakeService::FakeService(const QString& script, const QStringList& arguments) {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(MARIVANE_PYTHON), QStringList{script} + arguments);
    if (!m_process.waitForStarted(10000))
        return;
    while (m_process.waitForReadyRead(10000) || m_process.canReadLine()) {
        if (!m_process.canReadLine())
            continue;
        const QByteArray line = m_process.readLine().trimmed();
        if (line.startsWith("PORT ")) {
            m_port = static_cast<quint16>(line.mid(5).toUInt());
            break;
        }
    }
}

FakeService::~FakeService() {
    m_process.kill();
    m_process.waitForFinished(5000);
}

QByteArray FakeService::Endpoint() const {
    return "127.0.0.1:" + QByteArray::number(m_port);
}

void FakeService::UseAsApi() const {
    qputenv("MARIVANE_API_ENDPOINT", Endpoint());
}

void FakeService::UseAsCurrentApi() const {
    const QByteArray base = "http://" + Endpoint();
    qputenv("MARIVANE_API_BASE", base);
    qputenv("MARIVANE_AUTH_BASE", base);
}

void FakeService::Configure(const QJsonObject& settings) {
    Call("POST", QStringLiteral("/_control/config"), QJsonDocument(settings).toJson());
}

void FakeService::ExpireTokens() {
    Call("POST", QStringLiteral("/_control/expire"), {});
}

QJsonObject FakeService::IssueTokens() {
    return QJsonDocument::fromJson(Call("POST", QStringLiteral("/_control/tokens"), {})).object();
}

QJsonObject FakeService::Answer(int status, const QString& body) {
    return QJsonObject{{QStringLiteral("status"), status}, {QStringLiteral("body"), body}};
}

QJsonObject FakeService::StalledAnswer(int status, const QString& body, double seconds) {
    QJsonObject answer = Answer(status, body);
    answer[QStringLiteral("mode")] = QStringLiteral("stall");
    answer[QStringLiteral("seconds")] = seconds;
    return answer;
}

void FakeService::Script(const QJsonArray& queue, const QJsonObject& fallback) {
    const QJsonObject script{{QStringLiteral("queue"), queue},
                             {QStringLiteral("default"), fallback}};
    Call("POST", QStringLiteral("/_control/script"), QJsonDocument(script).toJson());
}

QJsonArray FakeService::Requests() const {
    return QJsonDocument::fromJson(Call("GET", QStringLiteral("/_control/requests"), {})).array();
}

QList<FakeService::Field> FakeService::Fields(const QJsonObject& request) {
    QList<Field> fields;
    for (const QJsonValue& value : request.value(QStringLiteral("fields")).toArray()) {
        const QJsonObject field = value.toObject();
        fields.append(
            {field.value(QStringLiteral("name")).toString(),
             QByteArray::fromBase64(field.value(QStringLiteral("value")).toString().toLatin1()),
             field.value(QStringLiteral("filename")).toString()});
    }
    return fields;
}

QStringList FakeService::FieldNames(const QJsonObject& request) {
    QStringList names;
    for (const Field& field : Fields(request))
        names.append(field.Name);
    return names;
}

QByteArray FakeService::Call(const QByteArray& verb, const QString& path,
                             const QByteArray& body) const {
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path)));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
    QNetworkReply* reply = manager.sendCustomRequest(request, verb, body);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    const QByteArray answer = reply->readAll();
    delete reply;
    return answer;
}

quint16 ClosedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort(); // free again once the server is gone
}

void StoreSignIn(FakeService& api, int expiresInSeconds) {
    api.UseAsCurrentApi();
    const QJsonObject tokens = api.IssueTokens();
    ServiceSettings settings;
    settings.Service = ServiceKind::CurrentApi;
    settings.ConsumerKey = QStringLiteral("key");
    settings.ConsumerSecret = QStringLiteral("secret");
    settings.Tokens = {tokens.value(QStringLiteral("access_token")).toString(),
                       tokens.value(QStringLiteral("refresh_token")).toString(),
                       QDateTime::currentDateTimeUtc().addSecs(expiresInSeconds),
                       QStringLiteral("someone")};
    if (!SaveServiceChoice(settings) || !SaveServiceTokens(settings.Tokens))
        qFatal("cannot store the sign-in");
}

UploadOutcome Shown(UploadOutcome outcome) {
    if (outcome.Outcome == UploadOutcome::Result::Refused)
        ErrorBox::Show(outcome.Problem);
    return outcome;
}
