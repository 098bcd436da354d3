#include "engine/ReportEngineError.h"

namespace {

using Kind = ReportEngineError::Kind;
using Damage = ReportEngineError::Damage;

QString DamageText(const ReportEngineError::Details &d)
{
    switch (d.damage) {
    case Damage::FileTooLarge: return QStringLiteral("file too large");
    case Damage::UnknownHeader: return QStringLiteral("unknown header");
    case Damage::LengthMismatch: return QStringLiteral("length does not match the header");
    case Damage::ChecksumMismatch: return QStringLiteral("checksum mismatch");
    case Damage::Truncated: return QStringLiteral("truncated");
    case Damage::ValueOutOfRange: return QStringLiteral("value out of range (%1)").arg(d.name);
    case Damage::ImplausibleCount: return QStringLiteral("implausible count (%1)").arg(d.name);
    case Damage::BadTextLength: return QStringLiteral("bad text length");
    case Damage::NotUtf8: return QStringLiteral("text is not UTF-8");
    case Damage::UnknownFontStyle: return QStringLiteral("unknown font style");
    case Damage::UnknownFont: return QStringLiteral("reference to an unknown font");
    case Damage::UnknownAlignment: return QStringLiteral("unknown text alignment");
    case Damage::TrailingData: return QStringLiteral("trailing data");
    }
    return QStringLiteral("damaged");
}

QString TechnicalText(Kind kind, const ReportEngineError::Details &d)
{
    switch (kind) {
    case Kind::Busy: return QStringLiteral("report run in progress");
    case Kind::ChildBandAdded: return QStringLiteral("child band '%1' added without its parent").arg(d.name);
    case Kind::DuplicateBand: return QStringLiteral("report already has a band of the kind of '%1'").arg(d.name);
    case Kind::UnknownLabel: return QStringLiteral("no label '%1' in band '%2'").arg(d.name, d.band);
    case Kind::UnknownShape: return QStringLiteral("no shape '%1' in band '%2'").arg(d.name, d.band);
    case Kind::UnusablePageSetup: return QStringLiteral("page setup leaves no printable area");
    case Kind::TooManyRows: return QStringLiteral("report exceeded %1 rows").arg(d.number);
    case Kind::TooManyPages: return QStringLiteral("report exceeded %1 pages").arg(d.number);
    case Kind::TooManyFonts: return QStringLiteral("too many fonts");
    case Kind::NoPages: return QStringLiteral("no pages to print");
    case Kind::EmptyPageRange: return QStringLiteral("empty page range (%1 pages)").arg(d.number);
    case Kind::PrintNotStarted: return QStringLiteral("print device did not start");
    case Kind::PrintInterrupted: return QStringLiteral("print device refused page %1").arg(d.number);
    case Kind::PrintNotFinished: return QStringLiteral("print device did not finish");
    case Kind::NoPrinter: return QStringLiteral("no printer");
    case Kind::PrinterUnavailable: return QStringLiteral("printer '%1' unavailable").arg(d.name);
    case Kind::StillGeneratingSave: return QStringLiteral("pages still generating; not saved");
    case Kind::StillGeneratingExport: return QStringLiteral("pages still generating; not exported");
    case Kind::FileNotWritten: return QStringLiteral("cannot write '%1': %2").arg(d.fileName, d.reason);
    case Kind::FileNotOpened: return QStringLiteral("cannot open '%1': %2").arg(d.fileName, d.reason);
    case Kind::FileNotRead: return QStringLiteral("cannot read '%1': %2").arg(d.fileName, d.reason);
    case Kind::FileTooLarge: return QStringLiteral("'%1' too large for a print file").arg(d.fileName);
    case Kind::NotAPrintFile: return QStringLiteral("not a print file");
    case Kind::DamagedPrintFile: return QStringLiteral("damaged print file: %1").arg(DamageText(d));
    case Kind::NewerPrintFile: return QStringLiteral("print file of newer format %1").arg(d.number);
    case Kind::PrintFileTooLarge: return QStringLiteral("pages too large for a print file");
    case Kind::UnknownFont: return QStringLiteral("text refers to an unknown font");
    case Kind::NoSuchPage: return QStringLiteral("no page %1 in the store").arg(d.number);
    }
    return QStringLiteral("report engine error");
}

} // namespace

ReportEngineError::ReportEngineError(Kind kind) : ReportEngineError(kind, Details())
{
}

ReportEngineError::ReportEngineError(Kind kind, Details details)
    : m_kind(kind), m_details(std::move(details)), m_what(TechnicalText(m_kind, m_details).toUtf8())
{
}

ReportEngineError ReportEngineError::file(Kind kind, const QString &fileName, const QString &reason)
{
    Details d;
    d.fileName = fileName;
    d.reason = reason;
    return ReportEngineError(kind, std::move(d));
}

ReportEngineError ReportEngineError::damaged(Damage damage, const QString &name)
{
    Details d;
    d.damage = damage;
    d.name = name;
    return ReportEngineError(Kind::DamagedPrintFile, std::move(d));
}

ReportEngineError ReportEngineError::number(Kind kind, qint64 number)
{
    Details d;
    d.number = number;
    return ReportEngineError(kind, std::move(d));
}

ReportEngineError ReportEngineError::named(Kind kind, const QString &name, const QString &band)
{
    Details d;
    d.name = name;
    d.band = band;
    return ReportEngineError(kind, std::move(d));
}
