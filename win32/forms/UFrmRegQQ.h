#pragma once

#include "win32/forms/Form.h"

// The picture for paying with QQ.
class TFrmRegQQ : public TForm {
public:
    TFrmRegQQ();

protected:
    void BeforeShow() override;

private:
    bool PictureShown = false;
};

extern TFrmRegQQ* FrmRegQQ;
