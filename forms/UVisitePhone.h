#pragma once

#include "forms/Form.h"

#include <memory>

namespace Ui {
class TFrmVisitePhone;
}

// The dialog with a QR code that opens the maker's web page on a phone.
class TFrmVisitePhone : public TForm {
    Q_OBJECT

public:
    TFrmVisitePhone();
    ~TFrmVisitePhone() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TFrmVisitePhone> ui;
};

extern TFrmVisitePhone* FrmVisitePhone;
