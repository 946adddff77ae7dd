#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>

MessageRecorder::MessageRecorder() {
    m_previous = Messages::SetHandler([this](const MessageRequest& request) {
        m_shown.append(request);
        if (!m_answers.isEmpty())
            return m_answers.takeFirst();
        switch (request.buttons) {
        case MsgButtons::OkCancel:
        case MsgButtons::Ok:
            return MsgResult::Ok;
        case MsgButtons::AbortRetryIgnore:
            return MsgResult::Abort;
        case MsgButtons::YesNoCancel:
            return MsgResult::Yes;
        }
        return MsgResult::Ok;
    });
}

MessageRecorder::~MessageRecorder() {
    Messages::SetHandler(m_previous);
}

QStringList MessageRecorder::Texts() const {
    QStringList texts;
    for (const MessageRequest& request : m_shown)
        texts.append(request.text);
    return texts;
}

void WriteFile(const QString& path, const QByteArray& data) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        qFatal("cannot write test file %s", qPrintable(path));
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray RandomBytes(qsizetype size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    for (char& c : bytes)
        c = static_cast<char>(generator.bounded(256));
    return bytes;
}

void MissingControl(const QObject& window, const char* name, const char* className) {
    qFatal("%s has no %s named %s", window.metaObject()->className(), className, name);
}

QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return environment;
}
