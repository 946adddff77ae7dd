#pragma once

#include "TestHome.h"
#include "widgets/Messages.h"

#include <QList>
#include <QObject>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

// Records every message box and answers questions from a queue (default: the first button).
class MessageRecorder final {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void Answer(MsgResult result) { m_answers.append(result); }
    const QList<MessageRequest>& Shown() const { return m_shown; }
    QStringList Texts() const;
    void Clear() { m_shown.clear(); }

private:
    QList<MessageRequest> m_shown;
    QList<MsgResult> m_answers;
    Messages::Handler m_previous;
};

// Writes a file whole; fails the test run on error.
void WriteFile(const QString& path, const QByteArray& data);
QByteArray ReadFile(const QString& path);
// Repeatable random bytes, for picture contents.
QByteArray RandomBytes(qsizetype size, quint32 seed);

// A window's control by its object name; a missing one, or one of another class, ends the
// test run.
[[noreturn]] void MissingControl(const QObject& window, const char* name, const char* className);
template <typename T> T* Control(const QObject& window, const char* name) {
    T* control = window.findChild<T*>(QLatin1String(name));
    if (!control)
        MissingControl(window, name, T::staticMetaObject.className());
    return control;
}

// The test's environment without a display, and a platform that would need one, so a child
// that opens a display fails.
QProcessEnvironment WithoutDisplay();
