#include "win32/forms/UFrmRegQQ.h"

#include "UFrmRegQQLayout.h"

#include "win32/forms/Pictures.h"

TFrmRegQQ* FrmRegQQ = nullptr;

TFrmRegQQ::TFrmRegQQ() : TForm(UFrmRegQQLayout::Form, TBorder::Dialog) {}

void TFrmRegQQ::BeforeShow() {
    // Decoded once, when the dialog is first shown, at the size of its box.
    if (!PictureShown) {
        PictureShown = true;
        const TControlEntry& box = Layout.Controls[UFrmRegQQLayout::Image1];
        HBITMAP picture = DecodePictureResource(L"QQPAY_PNG", Scale(box.Width), Scale(box.Height));
        if (picture != nullptr) {
            ShowPicture(UFrmRegQQLayout::Image1, picture);
        }
    }
}
