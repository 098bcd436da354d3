#pragma once

#include <QString>

#include <exception>

// The one error the report engine throws: what went wrong (a kind) and its
// particulars, with a technical English what(). The engine words nothing for
// the user; the program that uses it turns the kind into its own message.
// Errors thrown by the report's own event handlers pass through the engine
// unchanged and are never wrapped in this.
class ReportEngineError : public std::exception
{
public:
    enum class Kind {
        Busy, // a run is in progress
        ChildBandAdded, // a child band added with addBand; name
        DuplicateBand, // a second band of one kind; name
        UnknownLabel, // name, band
        UnknownShape, // name, band
        UnusablePageSetup, // margins leave no printable area
        TooManyRows, // number: the limit
        TooManyPages, // number: the limit
        TooManyFonts,
        NoPages, // printing an empty store
        EmptyPageRange, // number: the store's page count
        PrintNotStarted, // the device refused to start
        PrintInterrupted, // number: the page the device refused
        PrintNotFinished, // the device refused to finish
        NoPrinter, // the system has no printer
        PrinterUnavailable, // name: the printer
        StillGeneratingSave, // saving pages still being generated
        StillGeneratingExport,
        FileNotWritten, // fileName, reason
        FileNotOpened, // fileName, reason
        FileNotRead, // fileName, reason
        FileTooLarge, // fileName
        NotAPrintFile,
        DamagedPrintFile, // damage: what is wrong
        NewerPrintFile, // number: the file's format version
        PrintFileTooLarge, // the pages do not fit the print-file format
        UnknownFont, // a text names a font the store does not hold
        NoSuchPage, // number: the page index asked for
    };

    // What is damaged in a print file that does not read.
    enum class Damage {
        FileTooLarge,
        UnknownHeader,
        LengthMismatch,
        ChecksumMismatch,
        Truncated,
        ValueOutOfRange, // name: the field
        ImplausibleCount, // name: the items
        BadTextLength,
        NotUtf8,
        UnknownFontStyle,
        UnknownFont,
        UnknownAlignment,
        TrailingData,
    };

    // Particulars; each kind uses those its comment names.
    struct Details
    {
        QString name;
        QString band;
        QString fileName;
        QString reason; // the system's reason (QFileDevice::errorString)
        qint64 number = 0;
        Damage damage = Damage::Truncated;
    };

    explicit ReportEngineError(Kind kind);
    ReportEngineError(Kind kind, Details details);

    Kind kind() const noexcept { return m_kind; }
    const Details &details() const noexcept { return m_details; }
    const char *what() const noexcept override { return m_what.constData(); }

    // Shorthands for the kinds with particulars.
    static ReportEngineError file(Kind kind, const QString &fileName, const QString &reason = {});
    static ReportEngineError damaged(Damage damage, const QString &name = {});
    static ReportEngineError number(Kind kind, qint64 number);
    static ReportEngineError named(Kind kind, const QString &name, const QString &band = {});

private:
    Kind m_kind;
    Details m_details;
    QByteArray m_what;
};
