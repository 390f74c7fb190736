#include "forms/UMain.h"

#include "ui_UMain.h"

#include "app/Application.h"
#include "app/Dialogs.h"
#include "core/AnsiText.h"
#include "core/Desktop.h"
#include "core/HandlerGuard.h"
#include "core/IntegerText.h"
#include "core/MakerDetails.h"
#include "core/Paths.h"
#include "forms/UAboutBox.h"
#include "forms/UGiveMoney.h"
#include "forms/UVisitePhone.h"
#include "readout/ByteReadout.h"
#include "widgets/ListMemo.h"

#include <QApplication>
#include <QLabel>
#include <QMenuBar>

#include <cstdio>

TFrmMain* FrmMain = nullptr;

TFrmMain::TFrmMain() : TForm(TBorder::Single), ui(std::make_unique<Ui::TFrmMain>()) {
    ui->setupUi(this);
    // Inside the window also on desktops with a global menu bar: Register, an item
    // without a submenu, works only there.
    menuBar()->setNativeMenuBar(false);
    SetupForm();
    ui->MemoMemoryList->SetText(QStringLiteral("--\n"));
    CreateStatusPanels();
    ConnectHandlers();
    IniDatas.emplace();
}

TFrmMain::~TFrmMain() {
    SaveSettings();
}

void TFrmMain::SaveSettings() {
    try {
        IniDatas->Save();
    } catch (const Exception& error) {
        // Never leaves the destructor. The failure is always printed; a box is shown only
        // when it loses a choice that the user made in this run.
        std::fprintf(stderr, "%s\n", ErrorBoxText(error.Message).c_str());
        if (IniDatas->ChoiceChanged()) {
            Application->ShowException(error);
        }
    }
}

void TFrmMain::CreateStatusPanels() {
    QStatusBar* bar = ui->StatusBar1;
    bar->setFixedHeight(19);
    bar->setFont(DesktopFont("QStatusBar"));
    auto* ready = new QLabel(QStringLiteral("就绪"), bar);
    ready->setObjectName(QStringLiteral("StatusPanelReady"));
    ready->setFixedWidth(50);
    auto* copyright = new QLabel(QString::fromUtf8(CopyrightNotice), bar);
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
    connect(ui->MemoMemoryList, &TListMemo::CopyRefused, this,
            Guarded(this, &TFrmMain::MemoMemoryListCopyRefused));
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

void TFrmMain::MemoMemoryListCopyRefused() {
    ShowMessageBox(QMessageBox::Warning, Application->Title,
                   QStringLiteral("选中的内容太大，无法复制到剪贴板。\n"
                                  "The selection is too large to copy to the clipboard."));
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
    ui->MnuChinese->setChecked(IniDatas->bChinese);
    ui->MnuEnglish->setChecked(!IniDatas->bChinese);
}

void TFrmMain::MnuChineseClick() {
    IniDatas->bChinese = true;
}

void TFrmMain::MnuEnglishClick() {
    IniDatas->bChinese = false;
}

void TFrmMain::MnuContentClick() {
    const std::string helpPath = ChangeFileExt(ExecutablePath(), ".chm");
    const QString path = QString::fromStdString(helpPath);
    if (FileExists(helpPath)) {
        Desktop().Open(helpPath);
        return;
    }
    // Two lines, each ending in the path ("\n" is the message box's line break, where
    // Windows writes "\r\n").
    const QString message = QStringLiteral("不能打开帮助文件") + path +
                            QStringLiteral("\nCan not Open Help File") + path;
    ShowMessageBox(QMessageBox::Warning, QStringLiteral("系统提示System Hint"), message);
}

void TFrmMain::MnuWebClick() {
    Desktop().Open(WebAddress);
}
