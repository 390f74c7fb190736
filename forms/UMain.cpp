#include "UMain.h"

#include "ui_UMain.h"

#include "AnsiText.h"
#include "ByteReadout.h"
#include "Desktop.h"
#include "Dialogs.h"
#include "HandlerGuard.h"
#include "IntegerText.h"
#include "MakerDetails.h"
#include "Paths.h"
#include "UAboutBox.h"
#include "UGiveMoney.h"
#include "UVisitePhone.h"

#include <QApplication>
#include <QLabel>

TFrmMain* FrmMain = nullptr;

TFrmMain::TFrmMain() : TForm(TBorder::Single), ui(std::make_unique<Ui::TFrmMain>()) {
    ui->setupUi(this);
    SetupForm();
    ui->MemoMemoryList->SetByteSource(
        [this](int32_t position) { return ReadMemoryByte(position); });
    ui->MemoMemoryList->SetText(QStringLiteral("--\n"));
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
    connect(ui->MnuExit, &QAction::triggered, this, Guarded(this, &TFrmMain::MnuExitClick));
    connect(ui->MnuSet, &QMenu::aboutToShow, this, Guarded(this, &TFrmMain::MnuSetClick));
    connect(ui->MnuChinese, &QAction::triggered, this, Guarded(this, &TFrmMain::MnuChineseClick));
    connect(ui->MnuEnglish, &QAction::triggered, this, Guarded(this, &TFrmMain::MnuEnglishClick));
    connect(ui->MnuContent, &QAction::triggered, this, Guarded(this, &TFrmMain::MnuContentClick));
    connect(ui->MnuWeb, &QAction::triggered, this, Guarded(this, &TFrmMain::MnuWebClick));
    connect(ui->MnuPhone, &QAction::triggered, this, Guarded(this, &TFrmMain::MnuPhoneClick));
    connect(ui->MnuAbout, &QAction::triggered, this, Guarded(this, &TFrmMain::MnuAboutClick));
    connect(ui->MnuRegiste, &QAction::triggered, this, Guarded(this, &TFrmMain::MnuRegisteClick));
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
    // Lines 0..N-1, each the list line of its position, then the empty last line. The
    // list makes its lines as they are shown, so any count is instant.
    const int32_t count = StrToInt(ui->EditMemoryCounter->text().toStdString());
    ui->MemoMemoryList->SetGeneratedLines(count);
}

void TFrmMain::MnuPhoneClick() {
    FrmVisitePhone->ShowModal();
}

void TFrmMain::MnuAboutClick() {
    AboutBox->ShowModal();
}

void TFrmMain::MnuRegisteClick() {
    FrmGiveMoney->ShowModal();
    ShowPlainMessage(QStringLiteral("OK!"));
}

void TFrmMain::MnuExitClick() {
    Close();
}

void TFrmMain::MnuSetClick() {
    ui->MnuChinese->setChecked(IniDatas.bChinese);
    ui->MnuEnglish->setChecked(!IniDatas.bChinese);
}

void TFrmMain::MnuChineseClick() {
    IniDatas.bChinese = true;
}

void TFrmMain::MnuEnglishClick() {
    IniDatas.bChinese = false;
}

void TFrmMain::MnuContentClick() {
    const std::string helpPath = ChangeFileExt(ExecutablePath(), ".chm");
    const QString path = QString::fromStdString(helpPath);
    if (FileExists(helpPath)) {
        Desktop().Open(path);
        return;
    }
    // Two lines, each ending in the path ("\n" is the message box's line break, where
    // Windows writes "\r\n").
    const QString message = QStringLiteral("不能打开帮助文件") + path +
                            QStringLiteral("\nCan not Open Help File") + path;
    ShowMessageBox(QMessageBox::Warning, QStringLiteral("系统提示System Hint"), message);
}

void TFrmMain::MnuWebClick() {
    Desktop().Open(QString::fromUtf8(kWebAddress));
}
