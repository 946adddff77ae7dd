#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>

// Reads a list of byte arrays as one stream, so a request body made of shared pieces
// reaches the socket without being joined. It goes out once: after the first byte has been
// read it refuses to seek back, so the network layer cannot send a post a second time on
// its own (it re-sends a body it can rewind when a connection drops before the answer).
class BodyDevice final : public QIODevice {
public:
    explicit BodyDevice(QList<QByteArray> chunks, QObject* parent = nullptr);

    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }
    bool seek(qint64 pos) override;
    // Every byte has been handed out: the other side may hold the whole body.
    bool AllRead() const { return m_pos == m_size && m_started; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QList<QByteArray> m_chunks;
    QList<qint64> m_starts; // offset of each chunk in the stream
    qint64 m_size = 0;
    qint64 m_pos = 0;
    bool m_started = false; // a read has begun
};
