#pragma once

#include "forms/Form.h"
#include "settings/Uinidatas.h"

#include <cstdint>
#include <memory>

namespace Ui {
class TFrmMain;
}

// The main window: the two byte readouts and the menu bar.
class TFrmMain : public TForm {
    Q_OBJECT

public:
    TFrmMain();
    ~TFrmMain() override;

private:
    // Writes the settings file; a failure is reported, never raised.
    void SaveSettings();
    void CreateStatusPanels();
    void ConnectHandlers();

    void Button1Click();
    void BtnGetMemoryValueClick();
    void BtnGerMemoryValueListClick();
    void MemoMemoryListCopyRefused();
    void MnuPhoneClick();
    void MnuAboutClick();
    void MnuRegisteClick();
    void MnuExitClick();
    void MnuSetClick();
    void MnuChineseClick();
    void MnuEnglishClick();
    void MnuContentClick();
    void MnuWebClick();

    std::unique_ptr<Ui::TFrmMain> ui;
    // Last, so that it loads after the controls are built and saves before they go.
    TIniDatas IniDatas;
};

extern TFrmMain* FrmMain;
