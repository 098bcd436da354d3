#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class TFrame_InfoCzynszTabela;
class TPrn_NalCzynszDtl;
class TU_WEBServiceData;
class TU_WEBServiceDokData;
class TU_WEBServiceSession;
class TWBitBtn;

// The charge detail window "Szczegóły naliczenia obciążenia": the document's
// text, dates and charged period above its component table, with print,
// preview and close. It opens at an anchor just below the clicked document
// row, or above that row when it would run past the bottom of the screen.
class TForm_NalCzynszDtl : public QDialog
{
    Q_OBJECT

public:
    // Builds, fills, sizes and places the window without showing it. An
    // error while loading the components (IndexError) leaves it unbuilt.
    TForm_NalCzynszDtl(int anchorX, int anchorY, int rowHeight, const TU_WEBServiceDokData &details,
                       const TU_WEBServiceData &yearData, const TU_WEBServiceSession &session);
    ~TForm_NalCzynszDtl() override;

    // Creates the window, shows it modally and destroys it when it closes.
    static void Open(int anchorX, int anchorY, int rowHeight, const TU_WEBServiceDokData &details,
                     const TU_WEBServiceData &yearData, const TU_WEBServiceSession &session);

    void ButtonCloseClick();
    void ButtonPrintClick();
    void ButtonPreviewClick();

    TFrame_InfoCzynszTabela *Frame_InfoCzynszTabela1() const { return m_table; }
    TPrn_NalCzynszDtl *Report() const { return m_report.get(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    TFrame_InfoCzynszTabela *m_table = nullptr;
    TWBitBtn *m_buttonClose = nullptr;
    std::unique_ptr<TPrn_NalCzynszDtl> m_report;
};
