#include "forms/UGiveMoney.h"

#include "ui_UGiveMoney.h"

#include "core/Desktop.h"
#include "core/HandlerGuard.h"
#include "core/MakerDetails.h"
#include "forms/UFrmRegQQ.h"
#include "pictures/JpegPicture.h"

TFrmGiveMoney* FrmGiveMoney = nullptr;

TFrmGiveMoney::TFrmGiveMoney() : TForm(TBorder::Dialog), ui(std::make_unique<Ui::TFrmGiveMoney>()) {
    BuildOnFirstShow([this] {
        ui->setupUi(this);
        SetupForm();
        ShowMakerDetails();
        ConnectHandlers();
    });
}

TFrmGiveMoney::~TFrmGiveMoney() = default;

void TFrmGiveMoney::ShowMakerDetails() {
    ui->lbl1->setText(QString::fromUtf8(FirstBankBranch));
    ui->lbl2->setText(QString::fromUtf8(AccountHolder));
    ui->LblBankCB->setText(QString::fromUtf8(FirstCardNumber));
    ui->LblEmail->setText(QString::fromUtf8(AlipayAccount));
    ui->lbl4->setText(QString::fromUtf8(SecondBankBranch));
    ui->lbl5->setText(QString::fromUtf8(AccountHolder));
    ui->LblBankCCB->setText(QString::fromUtf8(SecondCardNumber));
    ui->Label2->setText(QString::fromUtf8(PhoneLine));
    ui->LblPhone->setText(QString::fromUtf8(PhoneNumber));
}

void TFrmGiveMoney::ConnectHandlers() {
    connect(ui->btnBtnCopyBank1, &QPushButton::clicked, this,
            Guarded(this, &TFrmGiveMoney::btnBtnCopyBank1Click));
    connect(ui->btnBtnCopyEmail, &QPushButton::clicked, this,
            Guarded(this, &TFrmGiveMoney::btnBtnCopyEmailClick));
    connect(ui->btnBtnCopyBank2, &QPushButton::clicked, this,
            Guarded(this, &TFrmGiveMoney::btnBtnCopyBank2Click));
    connect(ui->BtnCopyPhone, &QPushButton::clicked, this,
            Guarded(this, &TFrmGiveMoney::BtnCopyPhoneClick));
    connect(ui->BtnRegQQ, &QPushButton::clicked, this,
            Guarded(this, &TFrmGiveMoney::BtnRegQQClick));
}

void TFrmGiveMoney::showEvent(QShowEvent* event) {
    // The large picture and the long notice are made once, when the dialog is first
    // shown, not at start-up: most runs never open this dialog. A picture that cannot be
    // decoded leaves the image empty.
    if (!FirstShown) {
        FirstShown = true;
        const QImage picture = LoadJpegToBox(QStringLiteral(":/support.jpg"), ui->Image1->size());
        ui->Image1->setPixmap(QPixmap::fromImage(picture));
        ui->Memo->setPlainText(QString::fromUtf8(BuyingNotice));
    }
    TForm::showEvent(event);
}

void TFrmGiveMoney::CopyCaption(const QLabel* label) {
    if (!Desktop().SetClipboardText(label->text().toStdString())) {
        throw Exception("Cannot open clipboard");
    }
}

void TFrmGiveMoney::btnBtnCopyBank1Click() {
    CopyCaption(ui->LblBankCB);
}

void TFrmGiveMoney::btnBtnCopyEmailClick() {
    CopyCaption(ui->LblEmail);
}

void TFrmGiveMoney::btnBtnCopyBank2Click() {
    CopyCaption(ui->LblBankCCB);
}

void TFrmGiveMoney::BtnCopyPhoneClick() {
    CopyCaption(ui->LblPhone);
}

void TFrmGiveMoney::BtnRegQQClick() {
    FrmRegQQ->ShowModal();
}
