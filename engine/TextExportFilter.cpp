#include "engine/TextExportFilter.h"

#include "engine/PageStore.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int kColumnWidth = 180; // engine units
constexpr int kSameLine = 120;
constexpr int kLineStep = 423;

int Column(double position)
{
    return int(std::floor(position / kColumnWidth + 0.5));
}

} // namespace

QString TextExportFilter::pageText(const ReportPage &page, int originX)
{
    std::vector<const PageText *> texts;
    texts.reserve(page.texts.size());
    for (const PageText &t : page.texts)
        texts.push_back(&t);
    if (texts.empty())
        return QString();
    std::sort(texts.begin(), texts.end(),
              [](const PageText *a, const PageText *b) { return a->y != b->y ? a->y < b->y : a->x < b->x; });
    const int originColumn = Column(originX);

    QString out;
    size_t i = 0;
    int previousRowY = texts.front()->y;
    while (i < texts.size()) {
        const int rowY = texts[i]->y;
        size_t end = i;
        while (end < texts.size() && texts[end]->y - rowY <= kSameLine)
            ++end;
        std::sort(texts.begin() + qsizetype(i), texts.begin() + qsizetype(end),
                  [](const PageText *a, const PageText *b) { return a->x < b->x; });

        if (i > 0) {
            const int blanks = int(std::lround(double(rowY - previousRowY) / kLineStep)) - 1;
            for (int b = 0; b < blanks; ++b)
                out += u'\n';
        }
        QString line;
        for (size_t k = i; k < end; ++k) {
            const PageText &t = *texts[k];
            const QString text = printableText(t.text);
            const int length = int(text.size());
            int column = 0;
            switch (t.alignment) {
            case TextAlignment::Left: column = Column(t.x); break;
            case TextAlignment::Right: column = Column(t.x + t.width) - length; break;
            case TextAlignment::Center: column = Column(t.x + t.width / 2.0) - length / 2; break;
            }
            column = std::max(column - originColumn, 0);
            // Never overwrite: a text that would collide moves right.
            if (!line.isEmpty())
                column = std::max(column, int(line.size()) + 1);
            line += QString(column - line.size(), u' ');
            line += text;
        }
        out += line;
        out += u'\n';
        previousRowY = rowY;
        i = end;
    }
    return out;
}

QString TextExportFilter::documentText(const PageStore &pages)
{
    int originX = std::numeric_limits<int>::max();
    for (const ReportPage &page : pages.pages()) {
        for (const PageText &t : page.texts)
            originX = std::min(originX, t.x);
    }
    QString out;
    for (int p = 0; p < pages.pageCount(); ++p) {
        if (p > 0)
            out += u'\f';
        out += pageText(pages.page(p), originX);
    }
    return out;
}

void TextExportFilter::exportPages(const PageStore &pages)
{
    writeFile(documentText(pages).toUtf8());
}
