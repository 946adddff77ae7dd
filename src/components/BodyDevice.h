#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QList>

// Reads a list of byte arrays as one stream, so a request body made of shared pieces
// reaches the socket without being joined. Seekable, so a resend starts over cleanly.
class BodyDevice final : public QIODevice {
public:
    explicit BodyDevice(QList<QByteArray> chunks, QObject* parent = nullptr);

    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }
    bool seek(qint64 pos) override;

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QList<QByteArray> m_chunks;
    QList<qint64> m_starts; // offset of each chunk in the stream
    qint64 m_size = 0;
    qint64 m_pos = 0;
};
