#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Reads an HTTP/1.1 answer as its bytes arrive: the status and headers, then the body by
// whichever framing the answer uses (length, chunks, or the end of the connection). Interim
// (1xx) answers are passed over. Whatever the other side sends, only a bounded head and
// bounded chunk lines are held.
class HTTPAnswerReader final {
public:
    enum class State { Head, Body, Done, Failed };

    // Returns the body bytes that `bytes` completes, decoded from any chunks.
    QByteArray Feed(const QByteArray& bytes);
    // The connection ended: a body that runs to the end is whole; any other is cut short.
    void EndOfStream();

    State Current() const { return m_state; }
    bool HeadRead() const { return m_status > 0; }
    int Status() const { return m_status; }
    const QList<QPair<QByteArray, QByteArray>>& Headers() const { return m_headers; }
    // The announced body length; -1 when the answer does not say.
    qint64 Length() const { return m_length; }
    // Why the answer could not be read, when Failed.
    const QString& Problem() const { return m_problem; }

private:
    enum class Framing { Length, Chunked, ToEnd };
    enum class ChunkStep { Size, Data, DataEnd, Trailer };

    void ReadHead();
    qsizetype HeadEnd();
    bool TakeHead(const QList<QByteArray>& lines);
    bool ChooseFraming();
    QByteArray ReadBody();
    // Up to m_left bytes of what is pending, counted off m_left.
    QByteArray TakeCounted();
    QByteArray ReadChunks();
    void Fail(const QString& problem);
    QByteArray TakeLine(bool& whole);

    State m_state = State::Head;
    QByteArray m_pending;
    int m_status = 0;
    QList<QPair<QByteArray, QByteArray>> m_headers;
    Framing m_framing = Framing::ToEnd;
    qint64 m_length = -1;
    qint64 m_left = 0; // of the body, or of the current chunk
    ChunkStep m_chunkStep = ChunkStep::Size;
    qsizetype m_headScan = 0;     // where the next unread line of the head starts
    qsizetype m_trailerBytes = 0; // of the chunk lines read since the last size line
    QString m_problem;
};
