#include "views/TFrame_InfoRozrZasob.h"

#include "service/TU_WEBServiceData.h"

#include <QTabWidget>
#include <QVBoxLayout>

TSettlementsYear TSettlementsYear::FromStore(const TU_WEBServiceData &)
{
    return {};
}

TFrame_InfoRozrZasob::TFrame_InfoRozrZasob(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Frame_InfoRozrZasob1"));
    auto *layout = new QVBoxLayout(this);
    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("PageControl1"));
    layout->addWidget(tabs);
}

TFrame_InfoRozrZasob::~TFrame_InfoRozrZasob() = default;

void TFrame_InfoRozrZasob::ShowSettlements(const TSettlementsYear &) {}
void TFrame_InfoRozrZasob::SelectNextMonth() {}
void TFrame_InfoRozrZasob::SelectPreviousMonth() {}
void TFrame_InfoRozrZasob::SelectFirstMonth() {}
void TFrame_InfoRozrZasob::SelectLastMonth() {}
void TFrame_InfoRozrZasob::OpenSelectedMonth() {}
void TFrame_InfoRozrZasob::DestroyReports() {}

QWidget *TFrame_InfoRozrZasob::PageControl1() const
{
    return findChild<QTabWidget *>(QStringLiteral("PageControl1"));
}
