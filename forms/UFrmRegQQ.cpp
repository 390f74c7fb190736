#include "forms/UFrmRegQQ.h"

#include "ui_UFrmRegQQ.h"

TFrmRegQQ* FrmRegQQ = nullptr;

TFrmRegQQ::TFrmRegQQ() : TForm(TBorder::Dialog), ui(std::make_unique<Ui::TFrmRegQQ>()) {
    ui->setupUi(this);
    SetupForm();
    ui->Image1->setPixmap(QPixmap(QStringLiteral(":/qqpay.png")));
}

TFrmRegQQ::~TFrmRegQQ() = default;
