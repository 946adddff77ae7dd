#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>

// The fake service (fake_service.py) in a child process on 127.0.0.1, with the calls a
// test needs: script the answers, read the recorded requests.
class FakeService final {
public:
    struct Field {
        QString Name;
        QByteArray Value;
        QString FileName;
    };

    explicit FakeService(bool sink = false);
    ~FakeService();
    FakeService(const FakeService&) = delete;
    FakeService& operator=(const FakeService&) = delete;

    bool Started() const { return m_port != 0; }
    quint16 Port() const { return m_port; }
    // "127.0.0.1:<port>", as MARIVANE_API_ENDPOINT takes it.
    QByteArray Endpoint() const;
    // Points the program's requests at this service.
    void UseAsApi() const;

    // queue: one answer per request, in order; then the default answer for the rest.
    void Script(const QJsonArray& queue, const QJsonObject& fallback = Answer(201, "1"));
    QJsonArray Requests() const;
    static QList<Field> Fields(const QJsonObject& request);
    static QStringList FieldNames(const QJsonObject& request);

    static QJsonObject Answer(int status, const QString& body);

private:
    QByteArray Call(const QByteArray& verb, const QString& path, const QByteArray& body) const;

    QProcess m_process;
    quint16 m_port = 0;
};

// A port on 127.0.0.1 where nothing listens.
quint16 ClosedPort();
