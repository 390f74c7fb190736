#include "UVisitePhone.h"

#include "ui_UVisitePhone.h"

#include "HandlerGuard.h"
#include "MakerDetails.h"
#include "QrPicture.h"

TFrmVisitePhone* FrmVisitePhone = nullptr;

TFrmVisitePhone::TFrmVisitePhone()
    : TForm(TBorder::Dialog), ui(std::make_unique<Ui::TFrmVisitePhone>()) {
    ui->setupUi(this);
    SetupForm();
    connect(ui->BtnClose, &QPushButton::clicked, this,
            Guarded(this, &TFrmVisitePhone::BtnCloseClick));
}

TFrmVisitePhone::~TFrmVisitePhone() = default;

void TFrmVisitePhone::showEvent(QShowEvent* event) {
    // The code is drawn when the dialog is first shown, not at start-up.
    if (ui->Img2DimsCode->pixmap().isNull()) {
        ui->Img2DimsCode->setPixmap(QPixmap::fromImage(MakeQrPicture(kWebAddress)));
    }
    TForm::showEvent(event);
}

void TFrmVisitePhone::BtnCloseClick() {
    Close();
}
