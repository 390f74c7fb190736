#pragma once

#include "forms/Form.h"

#include <memory>

class QLabel;

namespace Ui {
class TFrmGiveMoney;
}

// The support dialog: a picture, the price and the maker's payment details, with
// buttons that copy them to the clipboard.
class TFrmGiveMoney : public TForm {
    Q_OBJECT

public:
    TFrmGiveMoney();
    ~TFrmGiveMoney() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowMakerDetails();
    void ConnectHandlers();
    // Makes the caption of `label` the clipboard's whole content.
    void CopyCaption(const QLabel* label);

    void btnBtnCopyBank1Click();
    void btnBtnCopyEmailClick();
    void btnBtnCopyBank2Click();
    void BtnCopyPhoneClick();
    void BtnRegQQClick();

    std::unique_ptr<Ui::TFrmGiveMoney> ui;
    bool FirstShown = false;
};

extern TFrmGiveMoney* FrmGiveMoney;
