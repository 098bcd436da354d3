// The floor of the client's start-up: a plain Qt Widgets program that does
// what the client must do before its login dialog shows, and nothing else.
// It trusts one CA file (adding it to the default configuration ends Qt's
// on-demand reading of the system store, so the system's authorities are not
// consulted; the client also checks against its added authority first),
// makes one HTTPS POST (a version check, the request as the client writes it)
// and then paints a dialog with two line edits, ending once the dialog has
// been painted. Like the client, it says so on standard output, for the
// measuring program's clock.
//   bench_floor_dialog HOST:PORT CA_FILE
#include <QApplication>
#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>

#include <cstdio>

namespace {

const char kVersionCheck[]
    = R"(<?xml version="1.0" encoding="UTF-8"?>)"
      R"(<SOAP-ENV:Envelope xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/" )"
      R"(xmlns:xsd="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" )"
      R"(xmlns:SOAP-ENC="http://schemas.xmlsoap.org/soap/encoding/">)"
      R"(<SOAP-ENV:Body SOAP-ENV:encodingStyle="http://schemas.xmlsoap.org/soap/encoding/">)"
      R"(<NS1:ZOKA_WS_InitialCheck xmlns:NS1="urn:ZOKA_E_BOK-IZOKA_E_BOK">)"
      R"(<aVersion xsi:type="xsd:string">1.3.0.0</aVersion>)"
      R"(</NS1:ZOKA_WS_InitialCheck></SOAP-ENV:Body></SOAP-ENV:Envelope>)";

class FloorDialog : public QDialog
{
public:
    FloorDialog()
    {
        auto *form = new QFormLayout(this);
        form->addRow(QStringLiteral("Identyfikator użytkownika:"), new QLineEdit(this));
        auto *password = new QLineEdit(this);
        password->setEchoMode(QLineEdit::Password);
        form->addRow(QStringLiteral("Hasło:"), password);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QDialog::paintEvent(event);
        if (!m_painted) {
            m_painted = true;
            std::fputs("dialog painted\n", stdout);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
    }

private:
    bool m_painted = false;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_floor_dialog HOST:PORT CA_FILE\n");
        return 2;
    }
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.addCaCertificates(QSslCertificate::fromPath(QString::fromLocal8Bit(argv[2])));
    QNetworkRequest request(QUrl(QStringLiteral("https://%1/cgi-bin/ZOKA_Webservice_Server.exe/soap/IZOKA_E_BOK")
                                     .arg(QString::fromLocal8Bit(argv[1]))));
    request.setSslConfiguration(tls);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("text/xml; charset=utf-8"));
    request.setRawHeader("SOAPAction", "\"urn:ZOKA_E_BOK-IZOKA_E_BOK#ZOKA_WS_InitialCheck\"");

    QNetworkAccessManager network;
    FloorDialog dialog;
    int status = 1;
    QNetworkReply *reply = network.post(request, QByteArray(kVersionCheck));
    QObject::connect(reply, &QNetworkReply::finished, &app, [&] {
        if (reply->error() != QNetworkReply::NoError) {
            std::fprintf(stderr, "version check failed: %s\n", qPrintable(reply->errorString()));
            app.exit(1);
            return;
        }
        status = 0;
        dialog.show();
    });
    const int loop = app.exec();
    return loop != 0 ? loop : status;
}
