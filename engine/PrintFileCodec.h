#pragma once

#include "engine/ReportFont.h"
#include "engine/ReportPage.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

// What a print file holds.
struct PrintFileContent
{
    QString title;
    std::vector<ReportFont> fonts;
    std::vector<ReportPage> pages;
};

// The print-file format of the report engine:
//
//   header   8 bytes magic "DVPRN\r\n\x1A", u16 format version (1 or 2), u16
//            flags (0), u32 payload length, 32 bytes SHA-256 of the payload
//   payload  title, font table, pages with their rectangles, lines and texts
//
// Version 2 adds a clip box (left, width) to every text. It is written only
// when some text is clipped, so that pages without one keep the bytes (and the
// readers) of version 1; a version 2 file without a clipped text is refused.
//
// Integers are little-endian; texts are u32 byte counts followed by UTF-8.
// Reading trusts nothing: the length must match the file exactly, the
// checksum must match, every count and value is checked against fixed bounds
// and against the bytes that remain before anything is allocated, and the
// payload must be used up exactly. Every failure is a ReportEngineError.
class PrintFileCodec
{
public:
    static constexpr quint16 FirstVersion = 1;
    static constexpr quint16 FormatVersion = 2; // the newest this program reads
    static constexpr int HeaderSize = 48;
    static constexpr qint64 MaxFileSize = 256LL * 1024 * 1024;
    static constexpr int MaxPages = 100000;
    static constexpr int MaxItemsPerKind = 100000; // rectangles, lines or texts on one page
    static constexpr int MaxFonts = 4096;
    static constexpr int MaxTextBytes = 64 * 1024;
    static constexpr int MaxFamilyBytes = 256;
    static constexpr int MinPageSide = 100; // engine units: 1 mm
    static constexpr int MaxPageSide = 100000; // 1 m
    static constexpr int MaxCoordinate = 1000000; // 10 m either way
    static constexpr int MaxPenWidth = 10000;

    static QByteArray magic();

    // The whole file. Throws ReportEngineError when the content exceeds the bounds that
    // reading enforces, so that whatever is written can be read back.
    static QByteArray encode(const QString &title, const std::vector<ReportFont> &fonts,
                             const std::vector<ReportPage> &pages);
    static PrintFileContent decode(QByteArrayView file);

    // The payload alone, without header and checksum (the fuzzer reads it
    // directly; wrapPayload builds a file around it for tests).
    static QByteArray encodePayload(const QString &title, const std::vector<ReportFont> &fonts,
                                    const std::vector<ReportPage> &pages);
    static PrintFileContent decodePayload(QByteArrayView payload, quint16 version = FirstVersion);
    static QByteArray wrapPayload(const QByteArray &payload, quint16 version = FirstVersion);
    // The version the pages are written in.
    static quint16 versionFor(const std::vector<ReportPage> &pages);
};
