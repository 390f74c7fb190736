#pragma once

#include "Form.h"
#include "Uinidatas.h"

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

    // The byte of a memory position as a signed 8-bit value; the list readout asks
    // for one line at a time.
    int8_t ReadMemoryByte(int32_t position) const;

private:
    void CreateStatusPanels();
    void ConnectHandlers();

    void Button1Click();
    void BtnGetMemoryValueClick();
    void BtnGerMemoryValueListClick();
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
