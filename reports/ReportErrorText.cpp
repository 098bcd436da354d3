#include "reports/ReportErrorText.h"

#include "common/Errors.h"
#include "engine/ReportEngineError.h"

#include <QHash>

using namespace Qt::Literals::StringLiterals;

namespace {

using Kind = ReportEngineError::Kind;
using Damage = ReportEngineError::Damage;

// The engine names fields and items of a print file in English.
QString PrintFilePart(const QString &name)
{
    static const QHash<QString, QString> kParts = {
        {u"position"_s, u"położenie"_s},
        {u"extent"_s, u"rozmiar"_s},
        {u"pen width"_s, u"grubość linii"_s},
        {u"font size"_s, u"rozmiar czcionki"_s},
        {u"page width"_s, u"szerokość strony"_s},
        {u"page height"_s, u"wysokość strony"_s},
        {u"clip width"_s, u"szerokość pola"_s},
        {u"fonts"_s, u"czcionki"_s},
        {u"pages"_s, u"strony"_s},
        {u"rectangles"_s, u"prostokąty"_s},
        {u"lines"_s, u"linie"_s},
        {u"texts"_s, u"teksty"_s},
    };
    return kParts.value(name, name);
}

QString DamageText(const ReportEngineError::Details &d)
{
    switch (d.damage) {
    case Damage::FileTooLarge: return u"plik jest zbyt duży"_s;
    case Damage::UnknownHeader: return u"nieznany nagłówek"_s;
    case Damage::LengthMismatch: return u"długość pliku nie zgadza się z nagłówkiem"_s;
    case Damage::ChecksumMismatch: return u"suma kontrolna nie zgadza się"_s;
    case Damage::Truncated: return u"plik jest niekompletny"_s;
    case Damage::ValueOutOfRange: return u"wartość spoza zakresu (%1)"_s.arg(PrintFilePart(d.name));
    case Damage::ImplausibleCount: return u"nieprawdopodobna liczba elementów (%1)"_s.arg(PrintFilePart(d.name));
    case Damage::BadTextLength: return u"nieprawidłowa długość tekstu"_s;
    case Damage::NotUtf8: return u"tekst nie jest zapisany w UTF-8"_s;
    case Damage::UnknownFontStyle: return u"nieznany styl czcionki"_s;
    case Damage::UnknownFont: return u"odwołanie do nieznanej czcionki"_s;
    case Damage::UnknownAlignment: return u"nieznane wyrównanie tekstu"_s;
    case Damage::TrailingData: return u"nadmiarowe dane na końcu pliku"_s;
    }
    return {};
}

} // namespace

QString ReportErrorText(const ReportEngineError &error)
{
    const ReportEngineError::Details &d = error.details();
    switch (error.kind()) {
    case Kind::Busy: return u"Raport jest właśnie przygotowywany; spróbuj ponownie po jego zakończeniu."_s;
    case Kind::ChildBandAdded: return u"Sekcję podrzędną „%1” dodaje się do jej sekcji nadrzędnej."_s.arg(d.name);
    case Kind::DuplicateBand: return u"Raport ma już sekcję tego rodzaju co „%1”."_s.arg(d.name);
    case Kind::UnknownLabel: return u"Raport nie ma pola „%1” w sekcji „%2”."_s.arg(d.name, d.band);
    case Kind::UnknownShape: return u"Raport nie ma linii „%1” w sekcji „%2”."_s.arg(d.name, d.band);
    case Kind::UnusablePageSetup: return u"Ustawienia strony raportu nie zostawiają miejsca na wydruk."_s;
    case Kind::TooManyRows: return u"Raport przekroczył %1 wierszy; wydruk przerwano."_s.arg(d.number);
    case Kind::TooManyPages: return u"Raport przekroczył %1 stron; wydruk przerwano."_s.arg(d.number);
    case Kind::TooManyFonts: return u"Raport używa zbyt wielu czcionek."_s;
    case Kind::NoPages: return u"Wydruk nie ma żadnej strony."_s;
    case Kind::EmptyPageRange: return u"Wybrany zakres stron jest pusty (wydruk ma %1 str.)."_s.arg(d.number);
    case Kind::PrintNotStarted: return u"Nie można rozpocząć wydruku."_s;
    case Kind::PrintInterrupted: return u"Wydruk przerwano przy stronie %1."_s.arg(d.number);
    case Kind::PrintNotFinished: return u"Nie można zakończyć wydruku."_s;
    case Kind::NoPrinter: return u"W systemie nie ma drukarki, na której można wydrukować raport."_s;
    case Kind::PrinterUnavailable: return u"Drukarka „%1” jest niedostępna."_s.arg(d.name);
    case Kind::StillGeneratingSave: return u"Wydruk jest jeszcze przygotowywany; można go zapisać po zakończeniu."_s;
    case Kind::StillGeneratingExport:
        return u"Wydruk jest jeszcze przygotowywany; można go wyeksportować po zakończeniu."_s;
    case Kind::FileNotWritten: return u"Nie można zapisać pliku „%1”: %2."_s.arg(d.fileName, d.reason);
    case Kind::FileNotOpened: return u"Nie można otworzyć pliku „%1”: %2."_s.arg(d.fileName, d.reason);
    case Kind::FileNotRead: return u"Nie można odczytać pliku „%1”: %2."_s.arg(d.fileName, d.reason);
    case Kind::FileTooLarge: return u"Plik „%1” jest zbyt duży, by był plikiem wydruku."_s.arg(d.fileName);
    case Kind::NotAPrintFile: return u"Plik nie jest plikiem wydruku tego programu."_s;
    case Kind::DamagedPrintFile: return u"Plik wydruku jest uszkodzony: %1."_s.arg(DamageText(d));
    case Kind::NewerPrintFile: return u"Plik wydruku zapisała nowsza wersja programu (format %1)."_s.arg(d.number);
    case Kind::PrintFileTooLarge: return u"Wydruk jest zbyt duży, by zapisać go w pliku."_s;
    case Kind::UnknownFont: return u"Wydruk odwołuje się do nieznanej czcionki."_s;
    case Kind::NoSuchPage: return u"Wydruk nie ma strony %1."_s.arg(d.number + 1);
    }
    return QString::fromUtf8(error.what());
}

std::exception_ptr WordedReportError(std::exception_ptr error)
{
    if (!error)
        return error;
    try {
        std::rethrow_exception(error);
    } catch (const ReportEngineError &e) {
        return std::make_exception_ptr(AppError(ReportErrorText(e)));
    } catch (...) {
        return error;
    }
}
