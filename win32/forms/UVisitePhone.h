#pragma once

#include "win32/forms/Form.h"

// The QR code of the maker's web page, for opening it on a phone.
class TFrmVisitePhone : public TForm {
public:
    TFrmVisitePhone();

protected:
    void ControlsMade() override;

private:
    void BtnCloseClick();
};

extern TFrmVisitePhone* FrmVisitePhone;
