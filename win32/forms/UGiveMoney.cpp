#include "win32/forms/UGiveMoney.h"

#include "UGiveMoneyLayout.h"

#include "core/Desktop.h"
#include "core/Exception.h"
#include "core/MakerDetails.h"
#include "core/WideText.h"
#include "win32/forms/Pictures.h"
#include "win32/forms/UFrmRegQQ.h"

TFrmGiveMoney* FrmGiveMoney = nullptr;

namespace {

constexpr COLORREF Navy = RGB(0, 0, 128);
constexpr COLORREF Silver = RGB(192, 192, 192);

} // namespace

TFrmGiveMoney::TFrmGiveMoney() : TForm(UGiveMoneyLayout::Form, TBorder::Dialog) {
    SetControlColours(UGiveMoneyLayout::Memo, Navy, Silver);
    OnClick(UGiveMoneyLayout::btnBtnCopyBank1, [this] { btnBtnCopyBank1Click(); });
    OnClick(UGiveMoneyLayout::btnBtnCopyEmail, [this] { btnBtnCopyEmailClick(); });
    OnClick(UGiveMoneyLayout::btnBtnCopyBank2, [this] { btnBtnCopyBank2Click(); });
    OnClick(UGiveMoneyLayout::BtnCopyPhone, [this] { BtnCopyPhoneClick(); });
    OnClick(UGiveMoneyLayout::BtnRegQQ, [this] { BtnRegQQClick(); });
}

void TFrmGiveMoney::ControlsMade() {
    ShowMakerDetails();
}

void TFrmGiveMoney::ShowMakerDetails() {
    SetControlText(UGiveMoneyLayout::lbl1, Utf8ToWide(FirstBankBranch));
    SetControlText(UGiveMoneyLayout::lbl2, Utf8ToWide(AccountHolder));
    SetControlText(UGiveMoneyLayout::LblBankCB, Utf8ToWide(FirstCardNumber));
    SetControlText(UGiveMoneyLayout::LblEmail, Utf8ToWide(AlipayAccount));
    SetControlText(UGiveMoneyLayout::lbl4, Utf8ToWide(SecondBankBranch));
    SetControlText(UGiveMoneyLayout::lbl5, Utf8ToWide(AccountHolder));
    SetControlText(UGiveMoneyLayout::LblBankCCB, Utf8ToWide(SecondCardNumber));
    SetControlText(UGiveMoneyLayout::Label2, Utf8ToWide(PhoneLine));
    SetControlText(UGiveMoneyLayout::LblPhone, Utf8ToWide(PhoneNumber));
    SetControlText(UGiveMoneyLayout::Memo, Utf8ToWide(BuyingNotice));
}

void TFrmGiveMoney::BeforeShow() {
    // The large JPEG is decoded once, when the dialog is first shown, at its box's size.
    if (!PictureShown) {
        PictureShown = true;
        const TControlEntry& box = Layout.Controls[UGiveMoneyLayout::Image1];
        HBITMAP picture =
            DecodePictureResource(L"SUPPORT_JPG", Scale(box.Width), Scale(box.Height));
        if (picture != nullptr) {
            ShowPicture(UGiveMoneyLayout::Image1, picture);
        }
    }
}

void TFrmGiveMoney::CopyCaption(int label) {
    if (!Desktop().SetClipboardText(WideToUtf8(ControlText(label)))) {
        throw Exception("Cannot open clipboard");
    }
}

void TFrmGiveMoney::btnBtnCopyBank1Click() {
    CopyCaption(UGiveMoneyLayout::LblBankCB);
}

void TFrmGiveMoney::btnBtnCopyEmailClick() {
    CopyCaption(UGiveMoneyLayout::LblEmail);
}

void TFrmGiveMoney::btnBtnCopyBank2Click() {
    CopyCaption(UGiveMoneyLayout::LblBankCCB);
}

void TFrmGiveMoney::BtnCopyPhoneClick() {
    CopyCaption(UGiveMoneyLayout::LblPhone);
}

void TFrmGiveMoney::BtnRegQQClick() {
    FrmRegQQ->ShowModal();
}
