#pragma once

#include "win32/forms/Form.h"

#include <string>

// The support dialog: a picture, the price and the maker's payment details, four of
// them with a button that copies them to the clipboard.
class TFrmGiveMoney : public TForm {
public:
    TFrmGiveMoney();

protected:
    void ControlsMade() override;
    void BeforeShow() override;

private:
    void ShowMakerDetails();
    void CopyCaption(int label);

    void btnBtnCopyBank1Click();
    void btnBtnCopyEmailClick();
    void btnBtnCopyBank2Click();
    void BtnCopyPhoneClick();
    void BtnRegQQClick();

    bool PictureShown = false;
};

extern TFrmGiveMoney* FrmGiveMoney;
