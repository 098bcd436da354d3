#include "engine/ReportTextMetrics.h"

#include <QTextLayout>

#include <cmath>

struct ReportTextMetrics::Entry
{
    explicit Entry(const QFont &f) : font(f), metrics(f) { }
    QFont font;
    QFontMetricsF metrics;
};

ReportTextMetrics::ReportTextMetrics() = default;
ReportTextMetrics::~ReportTextMetrics() = default;

ReportTextMetrics::Entry &ReportTextMetrics::entry(const ReportFont &font)
{
    // Consecutive labels mostly share a font: skip the hash then.
    if (m_last && font == m_lastFont)
        return *m_last;
    auto it = m_index.constFind(font);
    if (it == m_index.constEnd()) {
        m_entries.push_back(std::make_unique<Entry>(font.layoutFont()));
        it = m_index.insert(font, int(m_entries.size() - 1));
    }
    m_last = m_entries[*it].get();
    m_lastFont = font;
    return *m_last;
}

static int RoundUp(qreal value)
{
    return static_cast<int>(std::ceil(value - 1e-6));
}

int ReportTextMetrics::textWidth(const ReportFont &font, const QString &text)
{
    if (text.isEmpty())
        return 0;
    return RoundUp(entry(font).metrics.horizontalAdvance(text));
}

int ReportTextMetrics::fontHeight(const ReportFont &font)
{
    const QFontMetricsF &m = entry(font).metrics;
    return RoundUp(m.ascent() + m.descent());
}

int ReportTextMetrics::lineSpacing(const ReportFont &font)
{
    return RoundUp(entry(font).metrics.lineSpacing());
}

static QString WithoutTrailingBlanks(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    text.truncate(end);
    return text;
}

std::vector<ReportTextMetrics::Line> ReportTextMetrics::lines(const ReportFont &font, const QString &text,
                                                              int wrapWidth)
{
    std::vector<Line> out;
    Entry &e = entry(font);
    qsizetype start = 0;
    while (true) {
        const qsizetype end = text.indexOf(u'\n', start);
        QString paragraph = text.mid(start, end < 0 ? -1 : end - start);
        if (paragraph.endsWith(u'\r'))
            paragraph.chop(1);
        paragraph.replace(u'\t', u' ');
        const int width = paragraph.isEmpty() ? 0 : RoundUp(e.metrics.horizontalAdvance(paragraph));
        if (wrapWidth <= 0 || width <= wrapWidth)
            out.push_back({std::move(paragraph), width});
        else
            wrapParagraph(e, paragraph, wrapWidth, out);
        if (end < 0)
            break;
        start = end + 1;
    }
    return out;
}

void ReportTextMetrics::wrapParagraph(Entry &e, const QString &paragraph, int wrapWidth, std::vector<Line> &out)
{
    QTextLayout layout(paragraph, e.font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    while (true) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(wrapWidth);
    }
    layout.endLayout();
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        QString part = WithoutTrailingBlanks(paragraph.mid(line.textStart(), line.textLength()));
        const int width = part.isEmpty() ? 0 : RoundUp(e.metrics.horizontalAdvance(part));
        out.push_back({std::move(part), width});
    }
}
