#include "forms/UFrmRegQQ.h"

#include "ui_UFrmRegQQ.h"

TFrmRegQQ* FrmRegQQ = nullptr;

TFrmRegQQ::TFrmRegQQ() : TForm(TBorder::Dialog), ui(std::make_unique<Ui::TFrmRegQQ>()) {
    BuildOnFirstShow([this] {
        ui->setupUi(this);
        SetupForm();
    });
}

TFrmRegQQ::~TFrmRegQQ() = default;

void TFrmRegQQ::showEvent(QShowEvent* event) {
    // The picture is decoded when the dialog is first shown, not at start-up: most runs
    // never open this dialog.
    if (ui->Image1->pixmap().isNull()) {
        ui->Image1->setPixmap(QPixmap(QStringLiteral(":/qqpay.png")));
    }
    TForm::showEvent(event);
}
