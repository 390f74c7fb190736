#include "win32/forms/UVisitePhone.h"

#include "UVisitePhoneLayout.h"

TFrmVisitePhone* FrmVisitePhone = nullptr;

TFrmVisitePhone::TFrmVisitePhone() : TForm(UVisitePhoneLayout::Form, TBorder::Dialog) {
    OnClick(UVisitePhoneLayout::BtnClose, [this] { BtnCloseClick(); });
}

void TFrmVisitePhone::ControlsMade() {
    // The QR code is made at build time from the web address, as a bitmap resource.
    auto* code = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), L"QRCODE", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (code != nullptr) {
        ShowPicture(UVisitePhoneLayout::Img2DimsCode, code);
    }
}

void TFrmVisitePhone::BtnCloseClick() {
    Close();
}
