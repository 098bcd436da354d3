#pragma once

#include <QWidget>

// The main window: "Internetowy serwis użytkownika" with the account header,
// the function buttons and the settlements panel.
class TForm_ZOKA_WSClient_Main : public QWidget
{
    Q_OBJECT

public:
    explicit TForm_ZOKA_WSClient_Main(QWidget *parent = nullptr);

    bool FirstActivation() const { return m_firstActivation; }

protected:
    bool event(QEvent *event) override;

private:
    void FormActivate();

    bool m_firstActivation = true;
};
