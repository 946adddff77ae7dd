#pragma once

#include "TestHome.h"
#include "components/Messages.h"

#include <QList>
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
