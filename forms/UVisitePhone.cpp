#include "forms/UVisitePhone.h"

#include "ui_UVisitePhone.h"

#include "core/MakerDetails.h"
#include "pictures/QrPicture.h"

TFrmVisitePhone* FrmVisitePhone = nullptr;

TFrmVisitePhone::TFrmVisitePhone()
    : TForm(TBorder::Dialog), ui(std::make_unique<Ui::TFrmVisitePhone>()) {
    BuildOnFirstShow([this] {
        ui->setupUi(this);
        SetupForm();
    });
}

TFrmVisitePhone::~TFrmVisitePhone() = default;

void TFrmVisitePhone::showEvent(QShowEvent* event) {
    // The code is drawn when the dialog is first shown, not at start-up.
    if (ui->Img2DimsCode->pixmap().isNull()) {
        ui->Img2DimsCode->setPixmap(QPixmap::fromImage(MakeQrPicture(WebAddress)));
    }
    TForm::showEvent(event);
}
