#include "engine/PrintFileCodec.h"

#include "engine/ReportEngineError.h"

#include <QCryptographicHash>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr char kMagic[8] = {'D', 'V', 'P', 'R', 'N', '\r', '\n', '\x1A'};

// Minimal encoded sizes, to reject a count that the remaining bytes cannot hold
// before reserving room for it.
constexpr qsizetype kMinFontBytes = 4 + 4 + 1;
constexpr qsizetype kMinPageBytes = 4 * 5;
constexpr qsizetype kRectBytes = 4 * 4 + 4 + 4 + 4;
constexpr qsizetype kLineBytes = 4 * 4 + 4 + 4;
constexpr qsizetype kMinTextBytes = 4 * 4 + 2 + 1 + 4 + 4;
constexpr qsizetype kClipBytes = 4 + 4;

using Damage = ReportEngineError::Damage;

ReportEngineError NotAPrintFile()
{
    return ReportEngineError(ReportEngineError::Kind::NotAPrintFile);
}

ReportEngineError Damaged(Damage damage, const char *what = "")
{
    return ReportEngineError::damaged(damage, QString::fromLatin1(what));
}

class Writer
{
public:
    void u8(quint8 v) { m_bytes.append(char(v)); }
    void u16(quint16 v) { append(qToLittleEndian(v)); }
    void u32(quint32 v) { append(qToLittleEndian(v)); }
    void i32(qint32 v) { append(qToLittleEndian(v)); }
    void text(const QString &s)
    {
        const QByteArray utf8 = s.toUtf8();
        u32(quint32(utf8.size()));
        m_bytes.append(utf8);
    }
    QByteArray take() { return std::move(m_bytes); }

private:
    template<typename T>
    void append(T v)
    {
        m_bytes.append(reinterpret_cast<const char *>(&v), sizeof v);
    }
    QByteArray m_bytes;
};

class Reader
{
public:
    explicit Reader(QByteArrayView bytes) : m_bytes(bytes) { }

    qsizetype remaining() const { return m_bytes.size() - m_pos; }

    quint8 u8() { return quint8(*take(1)); }
    quint16 u16() { return qFromLittleEndian<quint16>(take(2)); }
    quint32 u32() { return qFromLittleEndian<quint32>(take(4)); }
    qint32 i32() { return qFromLittleEndian<qint32>(take(4)); }

    qint32 i32In(qint32 low, qint32 high, const char *what)
    {
        const qint32 v = i32();
        if (v < low || v > high)
            throw Damaged(Damage::ValueOutOfRange, what);
        return v;
    }

    // A count of items of at least minBytes each, at most max.
    int count(int max, qsizetype minBytes, const char *what)
    {
        const quint32 n = u32();
        if (n > quint32(max) || qsizetype(n) * minBytes > remaining())
            throw Damaged(Damage::ImplausibleCount, what);
        return int(n);
    }

    QString text(int maxBytes)
    {
        const quint32 size = u32();
        if (size > quint32(maxBytes) || qsizetype(size) > remaining())
            throw Damaged(Damage::BadTextLength);
        const char *data = take(qsizetype(size));
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString s = decoder.decode(QByteArrayView(data, qsizetype(size)));
        if (decoder.hasError())
            throw Damaged(Damage::NotUtf8);
        return s;
    }

private:
    const char *take(qsizetype n)
    {
        if (n < 0 || n > remaining())
            throw Damaged(Damage::Truncated);
        const char *p = m_bytes.data() + m_pos;
        m_pos += n;
        return p;
    }

    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

void CheckBounds(const std::vector<ReportFont> &fonts, const std::vector<ReportPage> &pages)
{
    const auto tooBig = [] { return ReportEngineError(ReportEngineError::Kind::PrintFileTooLarge); };
    if (fonts.size() > size_t(PrintFileCodec::MaxFonts) || pages.size() > size_t(PrintFileCodec::MaxPages))
        throw tooBig();
    for (const ReportPage &page : pages) {
        if (page.rects.size() > size_t(PrintFileCodec::MaxItemsPerKind)
            || page.lines.size() > size_t(PrintFileCodec::MaxItemsPerKind)
            || page.texts.size() > size_t(PrintFileCodec::MaxItemsPerKind))
            throw tooBig();
    }
}

QRgb ReadColor(Reader &in)
{
    return QRgb(in.u32());
}

int ReadCoordinate(Reader &in)
{
    return in.i32In(-PrintFileCodec::MaxCoordinate, PrintFileCodec::MaxCoordinate, "position");
}

int ReadExtent(Reader &in)
{
    return in.i32In(0, PrintFileCodec::MaxCoordinate, "extent");
}

int ReadPen(Reader &in)
{
    return in.i32In(0, PrintFileCodec::MaxPenWidth, "pen width");
}

} // namespace

QByteArray PrintFileCodec::magic()
{
    return QByteArray(kMagic, sizeof kMagic);
}

quint16 PrintFileCodec::versionFor(const std::vector<ReportPage> &pages)
{
    for (const ReportPage &page : pages) {
        for (const PageText &t : page.texts) {
            if (t.clipWidth > 0)
                return 2;
        }
    }
    return FirstVersion;
}

QByteArray PrintFileCodec::encodePayload(const QString &title, const std::vector<ReportFont> &fonts,
                                         const std::vector<ReportPage> &pages)
{
    CheckBounds(fonts, pages);
    // Clamp what reading would refuse, so a save never writes an unreadable file.
    const auto coordinate = [](int v) { return std::clamp(v, -MaxCoordinate, MaxCoordinate); };
    const auto extent = [](int v) { return std::clamp(v, 0, MaxCoordinate); };
    const auto pen = [](int v) { return std::clamp(v, 0, MaxPenWidth); };
    const auto text = [](const QString &s, int maxBytes) {
        QString t = s;
        while (t.toUtf8().size() > maxBytes)
            t.chop(std::max<qsizetype>(1, t.size() / 8));
        return t;
    };

    const bool clips = versionFor(pages) >= 2;
    Writer out;
    out.text(text(title, MaxTextBytes));
    out.u32(quint32(fonts.size()));
    for (const ReportFont &font : fonts) {
        out.text(text(font.family(), MaxFamilyBytes));
        out.u32(quint32(font.centiPoints()));
        out.u8(quint8((font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) | (font.underline() ? 4 : 0)));
    }
    out.u32(quint32(pages.size()));
    for (const ReportPage &page : pages) {
        out.i32(std::clamp(page.width, MinPageSide, MaxPageSide));
        out.i32(std::clamp(page.height, MinPageSide, MaxPageSide));
        out.u32(quint32(page.rects.size()));
        for (const PageRect &r : page.rects) {
            out.i32(coordinate(r.x));
            out.i32(coordinate(r.y));
            out.i32(extent(r.width));
            out.i32(extent(r.height));
            out.u32(r.fill);
            out.u32(r.penColor);
            out.i32(pen(r.penWidth));
        }
        out.u32(quint32(page.lines.size()));
        for (const PageLine &l : page.lines) {
            out.i32(coordinate(l.x1));
            out.i32(coordinate(l.y1));
            out.i32(coordinate(l.x2));
            out.i32(coordinate(l.y2));
            out.u32(l.color);
            out.i32(pen(l.penWidth));
        }
        out.u32(quint32(page.texts.size()));
        for (const PageText &t : page.texts) {
            if (t.font >= fonts.size())
                throw ReportEngineError(ReportEngineError::Kind::UnknownFont);
            out.i32(coordinate(t.x));
            out.i32(coordinate(t.y));
            out.i32(extent(t.width));
            out.i32(extent(t.height));
            out.u16(t.font);
            out.u8(quint8(t.alignment));
            out.u32(t.color);
            out.text(text(t.text, MaxTextBytes));
            if (clips) {
                // Written as read back: a text that is not cut has no box.
                const int clipWidth = extent(t.clipWidth);
                out.i32(clipWidth > 0 ? coordinate(t.clipLeft) : 0);
                out.i32(clipWidth);
            }
        }
    }
    return out.take();
}

QByteArray PrintFileCodec::wrapPayload(const QByteArray &payload, quint16 version)
{
    Writer header;
    header.u16(version);
    header.u16(0);
    header.u32(quint32(payload.size()));
    QByteArray file = magic();
    file += header.take();
    file += QCryptographicHash::hash(payload, QCryptographicHash::Sha256);
    file += payload;
    return file;
}

QByteArray PrintFileCodec::encode(const QString &title, const std::vector<ReportFont> &fonts,
                                  const std::vector<ReportPage> &pages)
{
    const QByteArray file = wrapPayload(encodePayload(title, fonts, pages), versionFor(pages));
    if (file.size() > MaxFileSize)
        throw ReportEngineError(ReportEngineError::Kind::PrintFileTooLarge);
    return file;
}

PrintFileContent PrintFileCodec::decode(QByteArrayView file)
{
    if (file.size() < HeaderSize || !file.startsWith(QByteArrayView(kMagic, sizeof kMagic)))
        throw NotAPrintFile();
    if (file.size() > MaxFileSize)
        throw Damaged(Damage::FileTooLarge);
    Reader header(file.sliced(sizeof kMagic, HeaderSize - qsizetype(sizeof kMagic)));
    const quint16 version = header.u16();
    const quint16 flags = header.u16();
    const quint32 payloadSize = header.u32();
    if (version > FormatVersion)
        throw ReportEngineError::number(ReportEngineError::Kind::NewerPrintFile, version);
    if (version < FirstVersion || flags != 0)
        throw Damaged(Damage::UnknownHeader);
    if (qsizetype(payloadSize) != file.size() - HeaderSize)
        throw Damaged(Damage::LengthMismatch);
    const QByteArrayView checksum = file.sliced(HeaderSize - 32, 32);
    const QByteArrayView payload = file.sliced(HeaderSize);
    if (QCryptographicHash::hash(payload, QCryptographicHash::Sha256) != checksum)
        throw Damaged(Damage::ChecksumMismatch);
    return decodePayload(payload, version);
}

PrintFileContent PrintFileCodec::decodePayload(QByteArrayView payload, quint16 version)
{
    const bool clips = version >= 2;
    bool anyClip = false;
    Reader in(payload);
    PrintFileContent content;
    content.title = in.text(MaxTextBytes);

    const int fontCount = in.count(MaxFonts, kMinFontBytes, "fonts");
    content.fonts.reserve(size_t(fontCount));
    for (int i = 0; i < fontCount; ++i) {
        QString family = in.text(MaxFamilyBytes);
        const qint32 centiPoints = in.i32In(ReportFont::MinCentiPoints, ReportFont::MaxCentiPoints, "font size");
        const quint8 style = in.u8();
        if (style > 7)
            throw Damaged(Damage::UnknownFontStyle);
        ReportFont font;
        font.setFamily(std::move(family)).setCentiPoints(centiPoints);
        font.setBold(style & 1).setItalic(style & 2).setUnderline(style & 4);
        content.fonts.push_back(std::move(font));
    }

    const int pageCount = in.count(MaxPages, kMinPageBytes, "pages");
    content.pages.reserve(size_t(pageCount));
    for (int p = 0; p < pageCount; ++p) {
        ReportPage page;
        page.width = in.i32In(MinPageSide, MaxPageSide, "page width");
        page.height = in.i32In(MinPageSide, MaxPageSide, "page height");

        const int rectCount = in.count(MaxItemsPerKind, kRectBytes, "rectangles");
        page.rects.reserve(size_t(rectCount));
        for (int i = 0; i < rectCount; ++i) {
            PageRect r;
            r.x = ReadCoordinate(in);
            r.y = ReadCoordinate(in);
            r.width = ReadExtent(in);
            r.height = ReadExtent(in);
            r.fill = ReadColor(in);
            r.penColor = ReadColor(in);
            r.penWidth = ReadPen(in);
            page.rects.push_back(r);
        }

        const int lineCount = in.count(MaxItemsPerKind, kLineBytes, "lines");
        page.lines.reserve(size_t(lineCount));
        for (int i = 0; i < lineCount; ++i) {
            PageLine l;
            l.x1 = ReadCoordinate(in);
            l.y1 = ReadCoordinate(in);
            l.x2 = ReadCoordinate(in);
            l.y2 = ReadCoordinate(in);
            l.color = ReadColor(in);
            l.penWidth = ReadPen(in);
            page.lines.push_back(l);
        }

        const int textCount = in.count(MaxItemsPerKind, kMinTextBytes + (clips ? kClipBytes : 0), "texts");
        page.texts.reserve(size_t(textCount));
        for (int i = 0; i < textCount; ++i) {
            PageText t;
            t.x = ReadCoordinate(in);
            t.y = ReadCoordinate(in);
            t.width = ReadExtent(in);
            t.height = ReadExtent(in);
            t.font = in.u16();
            if (t.font >= content.fonts.size())
                throw Damaged(Damage::UnknownFont);
            const quint8 alignment = in.u8();
            if (alignment > quint8(TextAlignment::Right))
                throw Damaged(Damage::UnknownAlignment);
            t.alignment = TextAlignment(alignment);
            t.color = ReadColor(in);
            t.text = in.text(MaxTextBytes);
            if (clips) {
                t.clipLeft = ReadCoordinate(in);
                t.clipWidth = in.i32In(0, MaxCoordinate, "clip width");
                if (t.clipWidth == 0 && t.clipLeft != 0)
                    throw Damaged(Damage::ValueOutOfRange, "clip width");
                anyClip = anyClip || t.clipWidth > 0;
            }
            page.texts.push_back(std::move(t));
        }
        content.pages.push_back(std::move(page));
    }
    if (in.remaining() != 0)
        throw Damaged(Damage::TrailingData);
    // Never written: the writer takes version 1 for pages without a cut text.
    if (clips && !anyClip)
        throw Damaged(Damage::UnknownHeader);
    return content;
}
