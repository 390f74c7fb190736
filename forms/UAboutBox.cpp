#include "forms/UAboutBox.h"

#include "ui_UAboutBox.h"

#include "core/MakerDetails.h"

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox() : TForm(TBorder::Dialog), ui(std::make_unique<Ui::TAboutBox>()) {
    BuildOnFirstShow([this] {
        ui->setupUi(this);
        SetupForm();
        ShowMakerDetails();
    });
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::ShowMakerDetails() {
    ui->ProgramIcon->setPixmap(QPixmap(QStringLiteral(":/about.png")));
    ui->ProductName->setText(QString::fromUtf8(ProductName));
    ui->Copyright->setText(QString::fromUtf8(CopyrightChinese));
    ui->Label1->setText(QString::fromUtf8(CopyrightEnglish));
    ui->Comments->setText(QString::fromUtf8(NoticeChinese));
    ui->Label2->setText(QString::fromUtf8(NoticeEnglish));
}
