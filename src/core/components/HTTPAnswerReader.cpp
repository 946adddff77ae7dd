#include "components/HTTPAnswerReader.h"

#include <algorithm>

namespace {

constexpr qsizetype kMaxHeadBytes = 64 * 1024;
// A chunk's size line, one trailer line, or all trailers together.
constexpr qsizetype kMaxLineBytes = 8 * 1024;
constexpr int kMaxLengthDigits = 15;
constexpr int kNoContent = 204;
constexpr int kNotModified = 304;

QString Text(const char* text) {
    return QString::fromLatin1(text);
}

// "HTTP/1.x NNN reason": the status, or 0 when the line is no status line.
int StatusOf(const QByteArray& line) {
    if (line.size() < 12 || !line.startsWith("HTTP/1.") || line.at(8) != ' ' ||
        (line.size() > 12 && line.at(12) != ' '))
        return 0;
    bool ok = false;
    const int status = line.mid(9, 3).toInt(&ok);
    return ok && status >= 100 && status <= 599 ? status : 0;
}

// Digits only, in the given base: QByteArray's own reading also takes signs and blanks.
qint64 NumberOf(const QByteArray& text, int base) {
    if (text.isEmpty() || text.size() > kMaxLengthDigits)
        return -1;
    for (const char c : text) {
        const bool digit = (c >= '0' && c <= '9') ||
                           (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
        if (!digit)
            return -1;
    }
    return text.toLongLong(nullptr, base);
}

} // namespace

QByteArray HTTPAnswerReader::Feed(const QByteArray& bytes) {
    if (m_state == State::Done || m_state == State::Failed)
        return {};
    m_pending += bytes;
    if (m_state == State::Head)
        ReadHead();
    return m_state == State::Body ? ReadBody() : QByteArray();
}

void HTTPAnswerReader::EndOfStream() {
    if (m_state == State::Body && m_framing == Framing::ToEnd)
        m_state = State::Done;
    else if (m_state != State::Done && m_state != State::Failed)
        Fail(Text("The connection ended before the whole answer came."));
}

QByteArray HTTPAnswerReader::TakeLine(bool& whole) {
    const qsizetype end = m_pending.indexOf('\n');
    whole = end >= 0;
    if (!whole)
        return {};
    QByteArray line = m_pending.left(end);
    m_pending.remove(0, end + 1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

void HTTPAnswerReader::ReadHead() {
    while (m_state == State::Head) {
        // Blank lines before a status line are passed over.
        while (m_headScan == 0 && (m_pending.startsWith('\n') || m_pending.startsWith("\r\n")))
            m_pending.remove(0, m_pending.startsWith('\n') ? 1 : 2);
        const qsizetype end = HeadEnd();
        if (end < 0 ? m_pending.size() > kMaxHeadBytes : end > kMaxHeadBytes) {
            Fail(Text("The answer's head is far too long."));
            return;
        }
        if (end < 0)
            return;
        m_headScan = 0;
        QList<QByteArray> lines;
        bool whole = true;
        for (QByteArray line = TakeLine(whole); !line.isEmpty(); line = TakeLine(whole))
            lines.append(line);
        if (!TakeHead(lines))
            return;
    }
}

qsizetype HTTPAnswerReader::HeadEnd() {
    // Lines already looked at are not looked at again, however slowly the head comes.
    for (;;) {
        const qsizetype end = m_pending.indexOf('\n', m_headScan);
        if (end < 0)
            return -1;
        const qsizetype length =
            end - m_headScan - (end > m_headScan && m_pending.at(end - 1) == '\r');
        const bool blank = length == 0 && m_headScan > 0;
        m_headScan = end + 1;
        if (blank)
            return m_headScan;
    }
}

bool HTTPAnswerReader::TakeHead(const QList<QByteArray>& lines) {
    const int status = StatusOf(lines.value(0));
    if (status == 0) {
        Fail(Text("The answer is not HTTP."));
        return false;
    }
    QList<QPair<QByteArray, QByteArray>> headers;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        if ((line.startsWith(' ') || line.startsWith('\t')) && !headers.isEmpty()) {
            headers.last().second += ' ' + line.trimmed(); // a folded line continues its header
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = line.left(std::max<qsizetype>(colon, 0));
        if (colon <= 0 || name.contains(' ') || name.contains('\t'))
            continue; // not a header; passed over, as browsers do
        headers.append({name, line.mid(colon + 1).trimmed()});
    }
    if (status < 200)
        return true; // an interim answer; the real one follows
    m_status = status;
    m_headers = headers;
    return ChooseFraming();
}

bool HTTPAnswerReader::ChooseFraming() {
    QByteArray codings;
    QList<QByteArray> lengths;
    for (const auto& [name, value] : m_headers) {
        if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0)
            codings += (codings.isEmpty() ? "" : ",") + value;
        else if (name.compare("Content-Length", Qt::CaseInsensitive) == 0)
            lengths += value.split(',');
    }
    m_state = State::Body;
    if (m_status == kNoContent || m_status == kNotModified) {
        m_length = 0;
        m_state = State::Done;
    } else if (!codings.isEmpty()) {
        // Only chunks are undone here; any other coding runs to the end of the connection.
        const QList<QByteArray> list = codings.split(',');
        const bool chunked =
            list.constLast().trimmed().compare("chunked", Qt::CaseInsensitive) == 0;
        m_framing = chunked ? Framing::Chunked : Framing::ToEnd;
    } else if (!lengths.isEmpty()) {
        const qint64 length = NumberOf(lengths.constFirst().trimmed(), 10);
        for (const QByteArray& other : lengths) {
            if (length < 0 || NumberOf(other.trimmed(), 10) != length) {
                Fail(Text("The answer's length is not readable."));
                return false;
            }
        }
        m_framing = Framing::Length;
        m_length = length;
        m_left = length;
        if (length == 0)
            m_state = State::Done;
    }
    return true;
}

QByteArray HTTPAnswerReader::ReadBody() {
    if (m_framing == Framing::Chunked)
        return ReadChunks();
    QByteArray block;
    if (m_framing == Framing::ToEnd) {
        block.swap(m_pending);
        return block;
    }
    block = TakeCounted();
    if (m_left == 0)
        m_state = State::Done;
    return block;
}

QByteArray HTTPAnswerReader::TakeCounted() {
    const qsizetype take = static_cast<qsizetype>(std::min<qint64>(m_left, m_pending.size()));
    QByteArray bytes = m_pending.left(take);
    m_pending.remove(0, take);
    m_left -= take;
    return bytes;
}

QByteArray HTTPAnswerReader::ReadChunks() {
    QByteArray block;
    while (m_state == State::Body) {
        if (m_chunkStep == ChunkStep::Data) {
            if (m_pending.isEmpty())
                break;
            block += TakeCounted();
            if (m_left == 0)
                m_chunkStep = ChunkStep::DataEnd;
            continue;
        }
        bool whole = false;
        const QByteArray line = TakeLine(whole);
        m_trailerBytes += line.size();
        if (!whole ? m_pending.size() > kMaxLineBytes : m_trailerBytes > kMaxLineBytes) {
            Fail(Text("A chunk of the answer is not readable."));
            break;
        }
        if (!whole)
            break;
        if (m_chunkStep == ChunkStep::DataEnd) {
            if (!line.isEmpty()) {
                Fail(Text("A chunk of the answer is not readable."));
                break;
            }
            m_chunkStep = ChunkStep::Size;
        } else if (m_chunkStep == ChunkStep::Size) {
            const qsizetype extension = line.indexOf(';');
            m_left = NumberOf(line.left(extension < 0 ? line.size() : extension).trimmed(), 16);
            if (m_left < 0) {
                Fail(Text("A chunk of the answer is not readable."));
                break;
            }
            m_chunkStep = m_left == 0 ? ChunkStep::Trailer : ChunkStep::Data;
            m_trailerBytes = 0;
        } else if (line.isEmpty()) {
            m_state = State::Done; // the blank line after the last chunk's trailers
        }
    }
    return block;
}

void HTTPAnswerReader::Fail(const QString& problem) {
    m_state = State::Failed;
    m_problem = problem;
    m_pending.clear();
}
