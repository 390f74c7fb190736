#include "win32/forms/UAboutBox.h"

#include "UAboutBoxLayout.h"

#include "core/MakerDetails.h"
#include "core/WideText.h"
#include "win32/forms/Pictures.h"

TAboutBox* AboutBox = nullptr;

namespace {

constexpr int IconSide = 32;

} // namespace

TAboutBox::TAboutBox() : TForm(UAboutBoxLayout::Form, TBorder::Dialog) {}

void TAboutBox::ControlsMade() {
    SetControlText(UAboutBoxLayout::ProductName, Utf8ToWide(ProductName));
    SetControlText(UAboutBoxLayout::Copyright, Utf8ToWide(CopyrightChinese));
    SetControlText(UAboutBoxLayout::Label1, Utf8ToWide(CopyrightEnglish));
    SetControlText(UAboutBoxLayout::Comments, Utf8ToWide(NoticeChinese));
    SetControlText(UAboutBoxLayout::Label2, Utf8ToWide(NoticeEnglish));
}

void TAboutBox::BeforeShow() {
    if (!PictureShown) {
        PictureShown = true;
        HBITMAP icon = DecodePictureResource(L"ABOUT_PNG", Scale(IconSide), Scale(IconSide));
        if (icon != nullptr) {
            ShowPicture(UAboutBoxLayout::ProgramIcon, icon);
        }
    }
}
