#pragma once

#include "win32/forms/Form.h"

// The about box: an icon, the product name, the version, copyright lines and the
// redistribution notice.
class TAboutBox : public TForm {
public:
    TAboutBox();

protected:
    void ControlsMade() override;
    void BeforeShow() override;

private:
    bool PictureShown = false;
};

extern TAboutBox* AboutBox;
