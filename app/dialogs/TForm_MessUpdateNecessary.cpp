#include "app/dialogs/TForm_MessUpdateNecessary.h"

#include "common/Messages.h"
#include "controls/TWBitBtn.h"

#include <QLabel>
#include <QListWidget>

namespace {

constexpr int kClientWidth = 742;
constexpr int kClientHeight = 352;
constexpr int kButtonPanelHeight = 41;
constexpr int kListRowHeight = 25;

QFont pixelFont(const QFont &base, int pixels, bool bold = false)
{
    QFont f = base;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// A borderless list in the window's colour that only shows its lines.
QListWidget *makeLineList(QWidget *parent, const QString &name, const QRect &geometry, const QStringList &lines)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    list->setGeometry(geometry);
    list->setFrameShape(QFrame::NoFrame);
    list->setFont(pixelFont(parent->font(), 16));
    list->setFocusPolicy(Qt::NoFocus);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setUniformItemSizes(true);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    list->setPalette(palette);
    for (const QString &line : lines) {
        auto *item = new QListWidgetItem(line, list);
        item->setSizeHint(QSize(geometry.width(), kListRowHeight));
        item->setFlags(Qt::ItemIsEnabled);
    }
    return list;
}

} // namespace

TForm_MessUpdateNecessary::TForm_MessUpdateNecessary(const QString &serverAddress, QWidget *owner)
    : TForm_Gen_Ex(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                              | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form_MessUpdateNecessary"));
    setWindowTitle(ApplicationTitle());
    setFixedSize(kClientWidth, kClientHeight);

    auto *panelMain = new QWidget(this);
    panelMain->setObjectName(QStringLiteral("PanelMain"));
    panelMain->setGeometry(0, 0, kClientWidth, kClientHeight - kButtonPanelHeight);

    m_listBox1 = makeLineList(panelMain, QStringLiteral("ListBox1"), QRect(35, 25, 697, 112), ListBox1Lines());

    m_labFtpIp = new QLabel(QStringLiteral("ftp://") + serverAddress, panelMain);
    m_labFtpIp->setObjectName(QStringLiteral("Lab_FTP_IP"));
    m_labFtpIp->setFont(pixelFont(font(), 16, true));
    m_labFtpIp->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_labFtpIp->move(128, 146);
    m_labFtpIp->adjustSize();

    m_listBox2 = makeLineList(panelMain, QStringLiteral("ListBox2"), QRect(35, 190, 697, 89), ListBox2Lines());

    auto *panelButton = new QWidget(this);
    panelButton->setObjectName(QStringLiteral("PanelButton"));
    panelButton->setGeometry(0, kClientHeight - kButtonPanelHeight, kClientWidth, kButtonPanelHeight);

    m_buttonOk = new TWBitBtn(QStringLiteral("&Ok"), panelButton);
    m_buttonOk->setObjectName(QStringLiteral("ButtonOk"));
    m_buttonOk->SetGlyph(QStringLiteral("BUT_OK"));
    SetDefaultButton(m_buttonOk);
    m_buttonOk->resize(100, 27);
    m_buttonOk->move((kClientWidth - m_buttonOk->width()) / 2, (kButtonPanelHeight - m_buttonOk->height()) / 2);
    connect(m_buttonOk, &TWBitBtn::OnClick, this, &TForm_MessUpdateNecessary::ButtonOkClick);
    m_buttonOk->setFocus();
}

QStringList TForm_MessUpdateNecessary::ListBox1Lines()
{
    return {
        QStringLiteral("Trzeba, niestety, zaktualizować aplikację."),
        QStringLiteral("Aby pobrać nową wersję aplikacji należy:"),
        QStringLiteral("     1.  otworzyć przeglądarkę internetową,"),
        QStringLiteral("     2.  wpisać w\u00A0pole adresowe przeglądarki:"),
    };
}

QStringList TForm_MessUpdateNecessary::ListBox2Lines()
{
    return {
        QStringLiteral("     3.  kliknąć prawym przyciskiem myszy na nazwę aplikacji Domvel-E-Vadiv.exe,"),
        QStringLiteral("     4.  z\u00A0menu, które pojawi się na ekranie, wybrać: Zapisz element docelowy jako...,"),
        QStringLiteral("     5.  wskazać miejsce na komputerze, gdzie należy zapisać aplikację, sugeruje się pulpit."),
    };
}

void TForm_MessUpdateNecessary::ButtonOkClick()
{
    close();
}
