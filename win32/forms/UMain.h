#pragma once

#include "settings/Uinidatas.h"
#include "win32/forms/Form.h"

class TListMemo;

// The main window: the two byte readouts, the status bar and the menu bar.
class TFrmMain : public TForm {
public:
    TFrmMain();
    // Saves the settings before the controls go.
    ~TFrmMain() override;

    TListMemo& MemoMemoryList() const;
    bool PreTranslate(MSG& message) override;

private:
    void CreateStatusPanels();
    void SaveSettings();
    void ConnectHandlers();
    bool IsOwnButton(HWND window) const;

    void Button1Click();
    void BtnGetMemoryValueClick();
    void BtnGerMemoryValueListClick();
    void MemoMemoryListCopyRefused();
    void MnuExitClick();
    void MnuSetClick();
    void MnuChineseClick();
    void MnuEnglishClick();
    void MnuContentClick();
    void MnuWebClick();
    void MnuPhoneClick();
    void MnuAboutClick();
    void MnuRegisteClick();

    // Last, so that it loads after the controls are built and saves before they go.
    TIniDatas IniDatas;
};

extern TFrmMain* FrmMain;
