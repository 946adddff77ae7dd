#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The error an outside-component call raises: a number and a readable description.
class ComponentError : public std::exception {
public:
    ComponentError(quint32 number, const QString& description);

    quint32 Number() const { return m_number; }
    const QString& Description() const { return m_description; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    quint32 m_number;
    QString m_description;
    QByteArray m_what;
};

// Raises a failed system call's error as: what "path": the system's text for the error.
[[noreturn]] void ThrowSystemError(quint32 number, const QString& what, const QString& path,
                                   int error);

// Error numbers raised by our components.
namespace ErrorNumber {
constexpr quint32 DataFolder = 0x80040001;
constexpr quint32 FileRead = 0x80040010;
constexpr quint32 FileWrite = 0x80040011;
constexpr quint32 FileExists = 0x80040012;
constexpr quint32 FileSize = 0x80040013;
constexpr quint32 PostDamaged = 0x80040014;
constexpr quint32 FileRefused = 0x80040015;
constexpr quint32 IndexRange = 0x80040020;
constexpr quint32 Xml = 0x80040030;
constexpr quint32 Settings = 0x80040040;
constexpr quint32 ServiceAddress = 0x80040050;
} // namespace ErrorNumber
