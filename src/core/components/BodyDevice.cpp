#include "components/BodyDevice.h"

#include <algorithm>
#include <cstring>

BodyDevice::BodyDevice(QList<QByteArray> chunks, QObject* parent)
    : QIODevice(parent), m_chunks(std::move(chunks)) {
    for (const QByteArray& chunk : m_chunks) {
        m_starts.append(m_size);
        m_size += chunk.size();
    }
}

bool BodyDevice::seek(qint64 pos) {
    if (pos < 0 || pos > m_size || (m_started && pos != m_pos))
        return false;
    m_pos = pos;
    return QIODevice::seek(pos);
}

qint64 BodyDevice::readData(char* data, qint64 maxSize) {
    m_started = true;
    qint64 pos = m_pos;
    qint64 done = 0;
    // The chunk that holds pos: the last one starting at or before it.
    auto it = std::upper_bound(m_starts.cbegin(), m_starts.cend(), pos);
    qsizetype index = std::distance(m_starts.cbegin(), it) - 1;
    while (done < maxSize && index >= 0 && index < m_chunks.size()) {
        const QByteArray& chunk = m_chunks.at(index);
        const qint64 offset = pos - m_starts.at(index);
        const qint64 take = std::min(maxSize - done, chunk.size() - offset);
        if (take > 0) {
            std::memcpy(data + done, chunk.constData() + offset, static_cast<size_t>(take));
            done += take;
            pos += take;
        }
        ++index;
    }
    m_pos = pos;
    return done;
}
