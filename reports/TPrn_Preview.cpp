#include "reports/TPrn_Preview.h"

#include <QPointer>

namespace {
QPointer<TPrn_Preview> gPreview;
}

TPrn_Preview::TPrn_Preview(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Prn_Preview"));
    setWindowTitle(QStringLiteral("Podgląd wydruku"));
}

void TPrn_Preview::ShowPageStore(std::shared_ptr<PageStore>)
{
    showMaximized();
}

TPrn_Preview *Prn_Preview()
{
    return gPreview;
}

void SetPrn_Preview(TPrn_Preview *preview)
{
    gPreview = preview;
}
