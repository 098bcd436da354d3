#pragma once

#include "forms/TForm_Gen_Ex.h"

class QLabel;
class QListWidget;
class TWBitBtn;

// The notice that this client version is no longer accepted by the service and
// how to fetch the new one from the cooperative's server. Shown modally by the
// version check; the program ends when it closes.
class TForm_MessUpdateNecessary : public TForm_Gen_Ex
{
    Q_OBJECT

public:
    // `serverAddress`: the service address the program was started with (host,
    // optionally with ":" and a port); the download address is "ftp://" + it.
    TForm_MessUpdateNecessary(const QString &serverAddress, QWidget *owner = nullptr);

    // The fixed lines above and below the download address.
    static QStringList ListBox1Lines();
    static QStringList ListBox2Lines();

    QListWidget *ListBox1() const { return m_listBox1; }
    QListWidget *ListBox2() const { return m_listBox2; }
    QLabel *Lab_FTP_IP() const { return m_labFtpIp; }
    TWBitBtn *ButtonOk() const { return m_buttonOk; }

private:
    void ButtonOkClick();

    QListWidget *m_listBox1 = nullptr;
    QLabel *m_labFtpIp = nullptr;
    QListWidget *m_listBox2 = nullptr;
    TWBitBtn *m_buttonOk = nullptr;
};
