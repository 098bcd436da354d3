#include "views/SessionStrip.h"

#include "account/BalanceRules.h"
#include "forms/ProgramColours.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

QLabel *StripLabel(QWidget *parent, const QString &name, int pixelSize, bool bold)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    QFont f = label->font();
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    label->setFont(f);
    return label;
}

void SetTextColour(QLabel *label, const QColor &colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

} // namespace

SessionStrip::SessionStrip(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"PanelStanKonta"_s);
    setFixedHeight(40);
    setBackgroundRole(QPalette::Window);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    // The first line: the date, the sum and the session's time left; the
    // second, across the whole width: the categories.
    auto *lines = new QVBoxLayout(this);
    lines->setContentsMargins(10, 2, 10, 2);
    lines->setSpacing(0);
    auto *top = new QHBoxLayout;
    top->setSpacing(10);
    m_labStan = StripLabel(this, u"Lab_Stan"_s, 13, false);
    m_labSuma = StripLabel(this, u"Lab_Suma"_s, 14, true);
    m_labSesja = StripLabel(this, u"Lab_Sesja"_s, 13, false);
    m_labSesja->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    top->addWidget(m_labStan);
    top->addWidget(m_labSuma);
    top->addStretch(1);
    top->addWidget(m_labSesja);
    lines->addLayout(top);
    m_labKategorie = StripLabel(this, u"Lab_Kategorie"_s, 11, false);
    lines->addWidget(m_labKategorie);
}

void SessionStrip::ShowSummary(const std::optional<BalanceSummary> &summary)
{
    if (!summary) {
        m_labStan->clear();
        m_labSuma->clear();
        m_labKategorie->clear();
        return;
    }
    m_labStan->setText(summary->DateText() + u':');
    m_labSuma->setText(summary->TotalText());
    SetTextColour(m_labSuma, summary->TotalKind() == BalanceSummary::Kind::Owing ? kColourRed : kColourGreen);
    QStringList parts;
    for (const BalanceSummary::Category &c : summary->Categories)
        parts.append(BalanceSummary::CategoryText(c));
    m_labKategorie->setText(parts.join(u"  ·  "_s));
}

void SessionStrip::ShowCountdown(const SessionCountdown::View &view)
{
    m_labSesja->setText(view.Text);
    SetTextColour(m_labSesja, view.Stage == SessionCountdown::Phase::Running ? QColor(Qt::black) : kColourRed);
}

SessionNotice::SessionNotice(QWidget *parent) : QFrame(parent)
{
    setObjectName(u"PanelSesjaUwaga"_s);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0xFF, 0xF4, 0xC2));
    setPalette(p);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 6);
    m_label = new QLabel(this);
    m_label->setObjectName(u"Lab_SesjaUwaga"_s);
    m_label->setWordWrap(true);
    QFont bold = m_label->font();
    bold.setBold(true);
    m_label->setFont(bold);
    layout->addWidget(m_label);
    auto *buttons = new QHBoxLayout;
    m_renew = new QPushButton(u"Odnów sesję"_s, this);
    m_renew->setObjectName(u"ButtonOdnowSesje"_s);
    m_later = new QPushButton(u"Później"_s, this);
    m_later->setObjectName(u"ButtonPozniej"_s);
    // Taking the focus would move it away from the tables' keys.
    for (QPushButton *b : {m_renew, m_later}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
    }
    buttons->addStretch(1);
    buttons->addWidget(m_renew);
    buttons->addWidget(m_later);
    layout->addLayout(buttons);
    connect(m_renew, &QPushButton::clicked, this, &SessionNotice::RenewRequested);
    connect(m_later, &QPushButton::clicked, this, [this] {
        hide();
        Q_EMIT Dismissed();
    });
    setFixedWidth(360);
    parent->installEventFilter(this);
    hide();
}

void SessionNotice::ShowView(const SessionCountdown::View &view)
{
    if (!view.NoticeVisible) {
        hide();
        return;
    }
    m_label->setText(view.Stage == SessionCountdown::Phase::Expired
                         ? view.Text
                         : view.Text + u". Odnów sesję, aby dalej przeglądać dane."_s);
    adjustSize();
    Place();
    if (!isVisible()) {
        show();
        raise();
    }
}

void SessionNotice::Place()
{
    if (QWidget *p = parentWidget())
        move(p->width() - width() - 12, p->height() - height() - 12);
}

bool SessionNotice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        Place();
    return QFrame::eventFilter(watched, event);
}
