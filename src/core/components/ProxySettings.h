#pragma once

#include <QNetworkProxy>
#include <QString>

// The proxy every request of the program goes through, kept in the settings store.
class ProxySettings final {
public:
    enum class Kind { None = 0, Http = 1, Socks5 = 2 };

    Kind Type = Kind::None;
    QString Host;
    quint16 Port = 0;
    QString User;
    QString Password;

    // False when the stored values could not be read; the fields then keep their defaults.
    bool Load();
    // Raises ComponentError when the settings could not be written.
    void Write() const;
    // As Write, with false instead of the error.
    bool Save() const;
    // What QNetworkAccessManager takes; "no proxy" is a direct connection, never the
    // system's proxy, so requests go exactly where the settings say.
    QNetworkProxy ToNetworkProxy() const;
};
