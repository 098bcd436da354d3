#include "server/HttpRequestReader.h"

#include <algorithm>

namespace {

// Room for chunk-size lines and a request's trailing bytes beyond the head
// and body bounds.
constexpr qint64 kFramingAllowance = 64 * 1024;
constexpr qsizetype kMaxChunkSizeLine = 1024;
// A Content-Length of more digits is not a length this server can take.
constexpr qsizetype kMaxLengthDigits = 15;

bool isTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isTokenChar);
}

bool isDigits(QByteArrayView text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The comma-separated options of a Connection field, in lower case.
bool hasConnectionOption(const HttpRequestReader::Request &request, QByteArrayView option)
{
    for (const auto &[name, value] : request.fields) {
        if (name != "connection")
            continue;
        for (const QByteArray &part : value.split(',')) {
            if (part.trimmed().toLower() == option)
                return true;
        }
    }
    return false;
}

} // namespace

QByteArray HttpRequestReader::Request::value(const QByteArray &name) const
{
    for (const auto &[fieldName, fieldValue] : fields) {
        if (fieldName == name)
            return fieldValue;
    }
    return {};
}

QByteArray HttpRequestReader::Request::Path() const
{
    const qsizetype query = target.indexOf('?');
    return query < 0 ? target : target.left(query);
}

bool HttpRequestReader::Request::KeepAlive() const
{
    if (minorVersion == 0)
        return hasConnectionOption(*this, "keep-alive");
    return !hasConnectionOption(*this, "close");
}

HttpRequestReader::HttpRequestReader() = default;

HttpRequestReader::HttpRequestReader(Limits limits) : m_limits(limits)
{
}

void HttpRequestReader::Append(const QByteArray &bytes)
{
    if (m_state == State::Refused)
        return;
    // Consumed bytes go before the buffer would grow.
    if (m_start > 0 && (m_start >= 64 * 1024 || m_start * 2 >= m_buffer.size())) {
        m_buffer.remove(0, m_start);
        m_scanned = std::max<qsizetype>(0, m_scanned - m_start);
        m_start = 0;
    }
    m_buffer += bytes;
}

qint64 HttpRequestReader::Room() const
{
    if (m_state == State::Refused)
        return 0;
    return std::max<qint64>(0, m_limits.maxHeadBytes + m_limits.maxBodyBytes + kFramingAllowance - Buffered());
}

bool HttpRequestReader::HasPartialRequest() const
{
    if (m_state == State::Refused)
        return false;
    if (m_state != State::Head)
        return true;
    for (qsizetype i = m_start; i < m_buffer.size(); ++i) {
        if (m_buffer[i] != '\r' && m_buffer[i] != '\n')
            return true;
    }
    return false;
}

bool HttpRequestReader::TakeContinue()
{
    return std::exchange(m_continue, false);
}

HttpRequestReader::Result HttpRequestReader::refuse(int status)
{
    m_state = State::Refused;
    m_refusal = status;
    m_buffer.clear();
    m_start = m_scanned = 0;
    m_request = {};
    return Result::Refused;
}

void HttpRequestReader::skipBlankLines()
{
    // Blank lines before a request line are allowed (some clients end a
    // body with an extra CR LF).
    while (m_start < m_buffer.size() && (m_buffer[m_start] == '\r' || m_buffer[m_start] == '\n'))
        ++m_start;
    m_scanned = std::max(m_scanned, m_start);
}

bool HttpRequestReader::takeLine(QByteArray &line, qsizetype limit, int statusWhenLonger)
{
    const qsizetype end = m_buffer.indexOf('\n', m_start);
    if (end < 0) {
        if (Buffered() > limit)
            refuse(statusWhenLonger);
        return false;
    }
    if (end - m_start > limit) {
        refuse(statusWhenLonger);
        return false;
    }
    line = m_buffer.mid(m_start, end - m_start);
    if (line.endsWith('\r'))
        line.chop(1);
    m_start = end + 1;
    return true;
}

HttpRequestReader::Result HttpRequestReader::readHead()
{
    // The end of the head: an empty line. Searching resumes where it
    // stopped, so a head trickling in byte by byte is not searched again.
    const qsizetype from = std::max(m_start, m_scanned - 3);
    const qsizetype crlf = m_buffer.indexOf("\r\n\r\n", from);
    const qsizetype lf = m_buffer.indexOf("\n\n", from);
    qsizetype end = -1;
    if (crlf >= 0 && (lf < 0 || crlf + 2 <= lf))
        end = crlf + 4;
    else if (lf >= 0)
        end = lf + 2;
    if (end < 0) {
        m_scanned = m_buffer.size();
        return Buffered() > m_limits.maxHeadBytes ? refuse(431) : Result::NeedMore;
    }
    if (end - m_start > m_limits.maxHeadBytes)
        return refuse(431);

    QList<QByteArray> lines = m_buffer.mid(m_start, end - m_start).split('\n');
    m_start = end;
    m_scanned = end;
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.isEmpty())
        return refuse(400);

    m_request = {};
    const QList<QByteArray> parts = lines.first().split(' ');
    if (parts.size() != 3 || !isToken(parts[0]) || parts[1].isEmpty())
        return refuse(400);
    const QByteArray &version = parts[2];
    if (version == "HTTP/1.1")
        m_request.minorVersion = 1;
    else if (version == "HTTP/1.0")
        m_request.minorVersion = 0;
    else if (version.size() == 8 && version.startsWith("HTTP/") && version[6] == '.')
        return refuse(505);
    else
        return refuse(400);
    m_request.method = parts[0];
    m_request.target = parts[1];

    if (lines.size() - 1 > m_limits.maxFields)
        return refuse(431);
    int lengths = 0;
    bool transferCoding = false;
    QByteArray codings;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        // A line folded onto the one before, or without a colon, is read
        // differently by different parsers: refused.
        if (line.isEmpty() || line.startsWith(' ') || line.startsWith('\t'))
            return refuse(400);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(QByteArrayView(line).first(colon)))
            return refuse(400);
        const QByteArray name = line.left(colon).toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length")
            ++lengths;
        if (name == "transfer-encoding") {
            transferCoding = true;
            codings += (codings.isEmpty() ? "" : ",") + value.toLower();
        }
        m_request.fields.append({name, value});
    }

    qint64 length = 0;
    if (lengths > 1 || (lengths == 1 && transferCoding))
        return refuse(400);
    if (lengths == 1) {
        const QByteArray text = m_request.value("content-length");
        if (!isDigits(text) || text.size() > kMaxLengthDigits)
            return refuse(400);
        length = text.toLongLong();
        if (length > m_limits.maxBodyBytes)
            return refuse(413);
    }
    if (transferCoding) {
        if (m_request.minorVersion == 0)
            return refuse(400);
        if (codings != "chunked")
            return refuse(501);
    }
    const bool body = transferCoding || length > 0;
    m_continue = body && m_request.value("expect").toLower() == "100-continue";
    if (transferCoding) {
        m_state = State::ChunkSize;
    } else if (length > 0) {
        m_state = State::Body;
        m_remaining = length;
        // The body is taken out whole, without copies, when it ends the
        // buffer; room for it is made once.
        m_buffer.remove(0, m_start);
        m_start = m_scanned = 0;
        m_buffer.reserve(length);
    }
    return body ? Result::NeedMore : Result::Complete;
}

HttpRequestReader::Result HttpRequestReader::Next(Request &request)
{
    for (;;) {
        switch (m_state) {
        case State::Refused: return Result::Refused;
        case State::Head: {
            skipBlankLines();
            if (Buffered() == 0)
                return Result::NeedMore;
            const Result head = readHead();
            if (head == Result::Complete)
                break;
            if (head == Result::Refused || m_state == State::Head)
                return head;
            continue; // a body follows
        }
        case State::Body: {
            if (Buffered() < m_remaining)
                return Result::NeedMore;
            if (m_start == 0 && m_buffer.size() == m_remaining) {
                m_request.body = std::move(m_buffer);
                m_buffer = QByteArray();
            } else {
                m_request.body = m_buffer.mid(m_start, m_remaining);
                m_start += m_remaining;
            }
            m_remaining = 0;
            break;
        }
        case State::ChunkSize: {
            QByteArray line;
            if (!takeLine(line, kMaxChunkSizeLine, 400))
                return m_state == State::Refused ? Result::Refused : Result::NeedMore;
            const qsizetype extension = line.indexOf(';');
            const QByteArray size = (extension < 0 ? line : line.left(extension)).trimmed();
            bool ok = false;
            const qint64 bytes = size.size() <= kMaxLengthDigits ? size.toLongLong(&ok, 16) : 0;
            if (!ok || bytes < 0)
                return refuse(400);
            if (m_request.body.size() + bytes > m_limits.maxBodyBytes)
                return refuse(413);
            m_remaining = bytes;
            m_state = bytes == 0 ? State::Trailer : State::ChunkData;
            m_trailerBytes = 0;
            continue;
        }
        case State::ChunkData: {
            const qint64 take = std::min<qint64>(Buffered(), m_remaining);
            m_request.body += QByteArrayView(m_buffer).sliced(m_start, take);
            m_start += take;
            m_remaining -= take;
            if (m_remaining > 0)
                return Result::NeedMore;
            m_state = State::ChunkEnd;
            continue;
        }
        case State::ChunkEnd: {
            QByteArray line;
            if (!takeLine(line, 2, 400))
                return m_state == State::Refused ? Result::Refused : Result::NeedMore;
            if (!line.isEmpty())
                return refuse(400);
            m_state = State::ChunkSize;
            continue;
        }
        case State::Trailer: {
            QByteArray line;
            if (!takeLine(line, m_limits.maxHeadBytes, 431))
                return m_state == State::Refused ? Result::Refused : Result::NeedMore;
            if (!line.isEmpty()) {
                m_trailerBytes += line.size();
                if (m_trailerBytes > m_limits.maxHeadBytes)
                    return refuse(431);
                continue;
            }
            break;
        }
        }
        // A whole request.
        request = std::move(m_request);
        m_request = {};
        m_state = State::Head;
        m_scanned = m_start;
        m_continue = false;
        return Result::Complete;
    }
}
