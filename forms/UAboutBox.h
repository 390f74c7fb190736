#pragma once

#include "forms/Form.h"

#include <memory>

namespace Ui {
class TAboutBox;
}

// The about box: product, version, copyright and redistribution notice.
class TAboutBox : public TForm {
    Q_OBJECT

public:
    TAboutBox();
    ~TAboutBox() override;

private:
    void ShowMakerDetails();

    std::unique_ptr<Ui::TAboutBox> ui;
};

extern TAboutBox* AboutBox;
