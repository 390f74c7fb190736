#pragma once

#include "forms/Form.h"
#include "settings/Uinidatas.h"

#include <cstdint>
#include <memory>
#include <optional>

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
    // Built last, once the controls stand, so that it loads after them; saved before they
    // go.
    std::optional<TIniDatas> IniDatas;
};

extern TFrmMain* FrmMain;
