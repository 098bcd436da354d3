// libFuzzer target over the print-file loader. Each input is tried twice: as a
// whole file (header, checksum, payload) and as a bare payload wrapped in a
// correct header of either version, so mutations get past the checksum. Whatever loads must save
// again to the same bytes and must export and paint without fault.
//
//   CC=clang CXX=clang++ cmake -S . -B build-asan -G Ninja -DDOMVEL_FUZZ=ON -DDOMVEL_SANITIZE=ON
//   ninja -C build-asan fuzz_printfile
//   mkdir -p /tmp/corpus
//   build-asan/fuzz/engine/fuzz_printfile -max_total_time=60 -max_len=65536 /tmp/corpus fuzz/engine/corpus

#include "engine/HtmlExportFilter.h"
#include "engine/PagePainter.h"
#include "engine/PageStore.h"
#include "engine/PrintFile.h"
#include "engine/PrintFileCodec.h"
#include "engine/ReportEngineError.h"
#include "engine/TextExportFilter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <cstdlib>

namespace {

void Exercise(const QByteArray &file)
{
    PageStore store;
    try {
        PrintFile::loadBytes(store, file);
    } catch (const ReportEngineError &) {
        return;
    }
    if (PrintFile::toBytes(store) != file)
        std::abort();
    (void)TextExportFilter::documentText(store);
    (void)HtmlExportFilter::documentHtml(store);
    if (store.pageCount() > 0) {
        const ReportPage &page = store.page(0);
        if (page.texts.size() + page.lines.size() + page.rects.size() <= 2000) {
            QImage image(105, 149, QImage::Format_RGB32);
            QPainter painter(&image);
            painter.setTransform(PagePainter::pageTransform(12.7, 12.7));
            PagePainter(store).paintPage(0, painter);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Exercise(bytes);
    Exercise(PrintFileCodec::wrapPayload(bytes));
    Exercise(PrintFileCodec::wrapPayload(bytes, PrintFileCodec::FormatVersion));
    return 0;
}
