#pragma once

#include <QByteArray>
#include <QList>

#include <utility>

// Splits the bytes of one connection into HTTP/1.x requests, one after
// another (pipelined requests included), and refuses what could be read in
// two ways: a Content-Length together with Transfer-Encoding, a repeated or
// invalid Content-Length, a header line without a colon or folded onto the
// line before. Sizes are bounded while the bytes arrive: the head (request
// line and header fields) and the number of fields, and the body.
//
// It holds no socket: the connection appends what it read and takes the
// requests out, so it decides itself when to read (back-pressure).
class HttpRequestReader
{
public:
    struct Limits
    {
        qint64 maxBodyBytes = 1024 * 1024;
        qsizetype maxHeadBytes = 32 * 1024;
        int maxFields = 100;
    };

    struct Request
    {
        QByteArray method;
        QByteArray target;
        int minorVersion = 1; // HTTP/1.0 or HTTP/1.1
        QList<std::pair<QByteArray, QByteArray>> fields; // names in lower case
        QByteArray body;

        // The first value of the field (name in lower case); empty when absent.
        QByteArray value(const QByteArray &name) const;
        // The path of the target, without a query.
        QByteArray Path() const;
        // HTTP/1.1 unless "Connection: close"; HTTP/1.0 only with "keep-alive".
        bool KeepAlive() const;
    };

    enum class Result { NeedMore, Complete, Refused };

    HttpRequestReader();
    explicit HttpRequestReader(Limits limits);

    void Append(const QByteArray &bytes);
    // Bytes the reader may still take before it must refuse (its own bound
    // on what it holds); the connection reads no more than this.
    qint64 Room() const;
    qint64 Buffered() const { return m_buffer.size() - m_start; }

    // The next complete request into `request`; NeedMore when its bytes are
    // not all there yet; Refused (with RefusalStatus) for a request that must
    // not be read, after which the reader takes nothing more.
    Result Next(Request &request);
    int RefusalStatus() const { return m_refusal; }

    // True while bytes of a request that is not complete yet are held (blank
    // lines between requests do not count).
    bool HasPartialRequest() const;
    // True once, when the head of a request asking "Expect: 100-continue" has
    // been read and its body has not.
    bool TakeContinue();

private:
    enum class State { Head, Body, ChunkSize, ChunkData, ChunkEnd, Trailer, Refused };

    Result refuse(int status);
    Result readHead();
    void skipBlankLines();
    // The next line from m_start (without its CR LF); false when incomplete.
    bool takeLine(QByteArray &line, qsizetype limit, int statusWhenLonger);

    Limits m_limits;
    QByteArray m_buffer;
    qsizetype m_start = 0; // bytes before it are consumed
    qsizetype m_scanned = 0; // the head's end was searched for up to here
    State m_state = State::Head;
    Request m_request;
    qint64 m_remaining = 0; // body or chunk bytes still to come
    qsizetype m_trailerBytes = 0;
    bool m_continue = false;
    int m_refusal = 0;
};
