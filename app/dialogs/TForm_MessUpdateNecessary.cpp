#include "app/dialogs/TForm_MessUpdateNecessary.h"

#include "common/Messages.h"
#include "controls/TWBitBtn.h"

#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kClientWidth = 742;
constexpr int kClientHeight = 352;
constexpr int kButtonPanelHeight = 41;
constexpr int kListRowHeight = 25;
constexpr int kListLeft = 35;
constexpr int kAddressLeft = 128;

QFont pixelFont(const QFont &base, int pixels, bool bold = false)
{
    QFont f = base;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The width the lines need in `font`, with the list's item margins.
int linesWidth(const QFont &font, const QStringList &lines)
{
    const QFontMetrics metrics(font);
    int widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest + 12;
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
    list->setTextElideMode(Qt::ElideNone);
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
    : TForm_Gen_Ex(owner,
                   Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                       | Qt::WindowCloseButtonHint)
{
    setObjectName(u"Form_MessUpdateNecessary"_s);
    setWindowTitle(ApplicationTitle());

    // The design's size, wider where the system's fonts need more room, so that
    // no line and no part of the address is cut off.
    const QFont listFont = pixelFont(font(), 16);
    const QFont addressFont = pixelFont(font(), 16, true);
    const QString address = u"ftp://"_s + serverAddress;
    const int listWidth = std::max(697, linesWidth(listFont, ListBox1Lines() + ListBox2Lines()));
    const int clientWidth = std::max({kClientWidth, kListLeft + listWidth + 10,
                                      kAddressLeft + QFontMetrics(addressFont).horizontalAdvance(address) + 20});
    setFixedSize(clientWidth, kClientHeight);

    auto *panelMain = new QWidget(this);
    panelMain->setObjectName(u"PanelMain"_s);
    panelMain->setGeometry(0, 0, clientWidth, kClientHeight - kButtonPanelHeight);

    m_listBox1 = makeLineList(panelMain, u"ListBox1"_s, QRect(kListLeft, 25, listWidth, 112), ListBox1Lines());

    m_labFtpIp = new QLabel(address, panelMain);
    m_labFtpIp->setObjectName(u"Lab_FTP_IP"_s);
    m_labFtpIp->setFont(addressFont);
    m_labFtpIp->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_labFtpIp->move(kAddressLeft, 146);
    m_labFtpIp->adjustSize();

    m_listBox2 = makeLineList(panelMain, u"ListBox2"_s, QRect(kListLeft, 190, listWidth, 89), ListBox2Lines());

    auto *panelButton = new QWidget(this);
    panelButton->setObjectName(u"PanelButton"_s);
    panelButton->setGeometry(0, kClientHeight - kButtonPanelHeight, clientWidth, kButtonPanelHeight);

    m_buttonOk = new TWBitBtn(u"&Ok"_s, panelButton);
    m_buttonOk->setObjectName(u"ButtonOk"_s);
    m_buttonOk->SetGlyph(u"BUT_OK"_s);
    SetDefaultButton(m_buttonOk);
    m_buttonOk->resize(100, 27);
    m_buttonOk->move((clientWidth - m_buttonOk->width()) / 2, (kButtonPanelHeight - m_buttonOk->height()) / 2);
    connect(m_buttonOk, &TWBitBtn::OnClick, this, &TForm_MessUpdateNecessary::ButtonOkClick);
    m_buttonOk->setFocus();
}

QStringList TForm_MessUpdateNecessary::ListBox1Lines()
{
    return {
        u"Trzeba, niestety, zaktualizować aplikację."_s,
        u"Aby pobrać nową wersję aplikacji należy:"_s,
        u"     1.  otworzyć przeglądarkę internetową,"_s,
        u"     2.  wpisać w\u00A0pole adresowe przeglądarki:"_s,
    };
}

QStringList TForm_MessUpdateNecessary::ListBox2Lines()
{
    return {
        u"     3.  kliknąć prawym przyciskiem myszy na nazwę aplikacji Domvel-E-Vadiv.exe,"_s,
        u"     4.  z\u00A0menu, które pojawi się na ekranie, wybrać: Zapisz element docelowy jako...,"_s,
        u"     5.  wskazać miejsce na komputerze, gdzie należy zapisać aplikację, sugeruje się pulpit."_s,
    };
}

void TForm_MessUpdateNecessary::ButtonOkClick()
{
    close();
}
