#pragma once

#include "forms/Form.h"

#include <memory>

namespace Ui {
class TFrmRegQQ;
}

// The dialog with the picture for paying with QQ.
class TFrmRegQQ : public TForm {
    Q_OBJECT

public:
    TFrmRegQQ();
    ~TFrmRegQQ() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::unique_ptr<Ui::TFrmRegQQ> ui;
};

extern TFrmRegQQ* FrmRegQQ;
