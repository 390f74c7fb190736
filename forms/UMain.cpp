#include "UMain.h"

#include "ui_UMain.h"

#include "AnsiText.h"
#include "ByteReadout.h"
#include "Dialogs.h"
#include "HandlerGuard.h"
#include "IntegerText.h"
#include "MakerDetails.h"

#include <QApplication>
#include <QLabel>

TFrmMain* FrmMain = nullptr;

TFrmMain::TFrmMain() : TForm(TBorder::Single), ui(std::make_unique<Ui::TFrmMain>()) {
    ui->setupUi(this);
    SetupForm();
    CreateStatusPanels();
    ConnectHandlers();
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::CreateStatusPanels() {
    QStatusBar* bar = ui->StatusBar1;
    bar->setFixedHeight(19);
    bar->setFont(QApplication::font("QStatusBar"));
    auto* ready = new QLabel(QStringLiteral("就绪"), bar);
    ready->setObjectName(QStringLiteral("StatusPanelReady"));
    ready->setFixedWidth(50);
    auto* copyright = new QLabel(QString::fromUtf8(kCopyrightNotice), bar);
    copyright->setObjectName(QStringLiteral("StatusPanelCopyright"));
    bar->addWidget(ready);
    bar->addWidget(copyright, 1);
}

void TFrmMain::ConnectHandlers() {
    connect(ui->Button1, &QPushButton::clicked, this, Guarded(this, &TFrmMain::Button1Click));
    connect(ui->BtnGetMemoryValue, &QPushButton::clicked, this,
            Guarded(this, &TFrmMain::BtnGetMemoryValueClick));
    connect(ui->BtnGerMemoryValueList, &QPushButton::clicked, this,
            Guarded(this, &TFrmMain::BtnGerMemoryValueListClick));
}

int8_t TFrmMain::ReadMemoryByte(int32_t position) const {
    return static_cast<int8_t>(ByteOfPosition(position));
}

void TFrmMain::Button1Click() {
    ShowPlainMessage(QStringLiteral("OK!"));
}

void TFrmMain::BtnGetMemoryValueClick() {
    const int32_t position = StrToInt(ui->EditMemoryAddress->text().toStdString());
    const std::string shown = ShownOneByteText(OneByteText(position), CurrentAnsiCodePage());
    ui->EditShowValue->setText(QString::fromStdString(shown));
}

void TFrmMain::BtnGerMemoryValueListClick() {
    const int32_t count = StrToInt(ui->EditMemoryCounter->text().toStdString());
    std::string text;
    for (int32_t position = 0; position < count; ++position) {
        text += ListLine(ReadMemoryByte(position));
        text += '\n';
    }
    ui->MemoMemoryList->setPlainText(QString::fromStdString(text));
}
