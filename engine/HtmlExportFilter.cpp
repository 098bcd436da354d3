#include "engine/HtmlExportFilter.h"

#include "engine/PageStore.h"
#include "engine/ReportUnits.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString Mm(int units)
{
    return QString::number(ReportUnits::ToMillimetres(units), 'f', 2) + u"mm"_s;
}

QString CssColor(QRgb rgba)
{
    const QColor color = QColor::fromRgba(rgba);
    if (color.alpha() == 255)
        return color.name(QColor::HexRgb);
    return QStringLiteral("rgba(%1,%2,%3,%4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(QString::number(color.alphaF(), 'f', 3));
}

// A family name fit to stand quoted in a style sheet, or empty.
QString CssFamily(const QString &family)
{
    for (const QChar c : family) {
        if (!(c.isLetterOrNumber() || c == u' ' || c == u'-' || c == u'_'))
            return QString();
    }
    return family.trimmed();
}

QString FontRule(int index, const ReportFont &font)
{
    QString families;
    const QString printable = CssFamily(font.printableFamily());
    const QString designed = CssFamily(font.family());
    if (!printable.isEmpty())
        families += u'\'' + printable + u"',"_s;
    if (!designed.isEmpty() && designed != printable)
        families += u'\'' + designed + u"',"_s;
    const bool mono = font.printableFamily().contains(u"Mono", Qt::CaseInsensitive);
    families += mono ? u"monospace"_s : u"sans-serif"_s;
    QString rule
        = QStringLiteral(".f%1{font-family:%2;font-size:%3").arg(index).arg(families, Mm(font.layoutPixelSize()));
    if (font.bold())
        rule += u";font-weight:bold";
    if (font.italic())
        rule += u";font-style:italic";
    if (font.underline())
        rule += u";text-decoration:underline";
    rule += u"}\n";
    return rule;
}

void AppendGraphics(QString &out, const ReportPage &page)
{
    if (page.rects.empty() && page.lines.empty())
        return;
    out += QStringLiteral("<svg class=\"g\" width=\"%1\" height=\"%2\" viewBox=\"0 0 %3 %4\">")
               .arg(Mm(page.width), Mm(page.height))
               .arg(page.width)
               .arg(page.height);
    for (const PageRect &r : page.rects) {
        out += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"")
                   .arg(r.x)
                   .arg(r.y)
                   .arg(r.width)
                   .arg(r.height)
                   .arg(qAlpha(r.fill) ? CssColor(r.fill) : u"none"_s);
        if (r.penWidth > 0)
            out += QStringLiteral(" stroke=\"%1\" stroke-width=\"%2\"").arg(CssColor(r.penColor)).arg(r.penWidth);
        out += u"/>";
    }
    for (const PageLine &l : page.lines) {
        out += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" stroke=\"%5\" stroke-width=\"%6\"/>")
                   .arg(l.x1)
                   .arg(l.y1)
                   .arg(l.x2)
                   .arg(l.y2)
                   .arg(CssColor(l.color))
                   .arg(l.penWidth > 0 ? QString::number(l.penWidth) : u"1\" vector-effect=\"non-scaling-stroke"_s);
    }
    out += u"</svg>\n";
}

void AppendText(QString &out, const ReportPage &page, const PageText &t)
{
    // Anchor each text at the edge its alignment keeps, so a browser font of a
    // slightly different width still lines up amounts at their right edge.
    QString position;
    switch (t.alignment) {
    case TextAlignment::Left: position = QStringLiteral("left:%1").arg(Mm(t.x)); break;
    case TextAlignment::Right: position = QStringLiteral("right:%1").arg(Mm(page.width - t.x - t.width)); break;
    case TextAlignment::Center:
        position = QStringLiteral("left:%1;transform:translateX(-50%)").arg(Mm(t.x + t.width / 2));
        break;
    }
    out += QStringLiteral("<div class=\"t f%1\" style=\"%2;top:%3;color:%4\">")
               .arg(t.font)
               .arg(position, Mm(t.y), CssColor(t.color));
    out += ExportFilter::printableText(t.text).toHtmlEscaped();
    out += u"</div>\n";
}

} // namespace

QString HtmlExportFilter::documentHtml(const PageStore &pages)
{
    QString out;
    out += u"<!DOCTYPE html>\n<html lang=\"pl\">\n<head>\n<meta charset=\"utf-8\">\n<title>";
    out += printableText(pages.title()).toHtmlEscaped();
    out += u"</title>\n<style>\n"
           u"body{margin:0;padding:8mm 0;background:#808080}\n"
           u".p{position:relative;margin:0 auto 8mm;background:#fff;overflow:hidden;page-break-after:always}\n"
           u".g{position:absolute;left:0;top:0}\n"
           u".t{position:absolute;white-space:pre;line-height:1.15}\n"
           u"@media print{body{padding:0;background:none}.p{margin:0}}\n";
    for (size_t i = 0; i < pages.fonts().size(); ++i)
        out += FontRule(int(i), pages.fonts()[i]);
    out += u"</style>\n</head>\n<body>\n";
    for (const ReportPage &page : pages.pages()) {
        out += QStringLiteral("<div class=\"p\" style=\"width:%1;height:%2\">\n").arg(Mm(page.width), Mm(page.height));
        AppendGraphics(out, page);
        for (const PageText &t : page.texts)
            AppendText(out, page, t);
        out += u"</div>\n";
    }
    out += u"</body>\n</html>\n";
    return out;
}

void HtmlExportFilter::exportPages(const PageStore &pages)
{
    writeFile(documentHtml(pages).toUtf8());
}
