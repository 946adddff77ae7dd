#pragma once

#include "service/modUpload.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QString>

// The fake service (fake_service.py), or the fake of the current API (fake_api.py), in a
// child process on 127.0.0.1, with the calls a test needs: script the answers, read the
// recorded requests.
class FakeService final {
public:
    struct Field {
        QString Name;
        QByteArray Value;
        QString FileName;
    };

    explicit FakeService(bool sink = false);
    // Another fake of the same make, such as MARIVANE_FAKE_API.
    explicit FakeService(const QString& script, const QStringList& arguments = {});
    ~FakeService();
    FakeService(const FakeService&) = delete;
    FakeService& operator=(const FakeService&) = delete;

    bool Started() const { return m_port != 0; }
    quint16 Port() const { return m_port; }
    // "127.0.0.1:<port>", as MARIVANE_API_ENDPOINT takes it.
    QByteArray Endpoint() const;
    // Points the program's requests at this service.
    void UseAsApi() const;

    // The current API's and its sign-in pages' address (MARIVANE_API_BASE, MARIVANE_AUTH_BASE).
    void UseAsCurrentApi() const;
    // The fake current API's settings: client_id, client_secret, expires_in, name, blogs,
    // bad_state.
    void Configure(const QJsonObject& settings);
    // Makes every access token issued so far a refused one.
    void ExpireTokens();
    // A new valid access and refresh token, as a sign-in would have given.
    QJsonObject IssueTokens();

    // queue: one answer per request, in order; then the default answer for the rest.
    void Script(const QJsonArray& queue, const QJsonObject& fallback = Answer(201, "1"));
    QJsonArray Requests() const;
    static QList<Field> Fields(const QJsonObject& request);
    static QStringList FieldNames(const QJsonObject& request);

    static QJsonObject Answer(int status, const QString& body);
    // The same answer, given only after the service has held the whole request a while.
    static QJsonObject StalledAnswer(int status, const QString& body, double seconds);

private:
    QByteArray Call(const QByteArray& verb, const QString& path, const QByteArray& body) const;

    QProcess m_process;
    quint16 m_port = 0;
};

// Chooses the current API and stores a sign-in to the fake current API, as the
// connection settings would after "Sign in"; the token runs out after expiresInSeconds.
void StoreSignIn(FakeService& api, int expiresInSeconds = 3600);

// A port on 127.0.0.1 where nothing listens.
quint16 ClosedPort();

// What the send window does with an upload's outcome: a refusal is shown.
UploadOutcome Shown(UploadOutcome outcome);
