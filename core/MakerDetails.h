#pragma once

// The maker's details that the program shows. Every value here is a placeholder:
// a maker who ships the program sets the real ones in this one place.

// The maker's web page: Help > Web opens it, the phone dialog shows it as a QR code.
inline constexpr const char* WebAddress = "https://quorvin.example.org/";

// The second panel of the main window's status bar.
inline constexpr const char* CopyrightNotice = "版权所有 Copyright (C) 2023 Quorvin 作者 Authors";

// The about box.
inline constexpr const char* ProductName = "Quorvin 字节读数 Byte Readout";
inline constexpr const char* CopyrightChinese = "版权所有 (C) 2023 Quorvin 作者";
inline constexpr const char* CopyrightEnglish = "Copyright (C) 2023 The Quorvin Authors";
inline constexpr const char* NoticeChinese = "本软件可以自由复制和分发，但不得修改或出售。";
inline constexpr const char* NoticeEnglish =
    "This program may be copied and given away freely, but not changed or sold.";

// The support dialog: where to pay. Fictitious: zeros where real numbers would stand.
inline constexpr const char* FirstBankBranch = "中国建设银行 示例市 示例路支行";
inline constexpr const char* SecondBankBranch = "中国工商银行 示例市 示例街支行";
inline constexpr const char* AccountHolder = "户名 Holder：示例作者";
inline constexpr const char* FirstCardNumber = "0000 0000 0000 0000 001";
inline constexpr const char* SecondCardNumber = "0000 0000 0000 0000 002";
inline constexpr const char* AlipayAccount = "pay@example.org";
inline constexpr const char* PhoneLine = "话费充值 Phone top-up：";
inline constexpr const char* PhoneNumber = "000 0000 0000";
inline constexpr const char* BuyingNotice =
    "付款后，请把付款凭证和你的电子邮件地址发给作者，作者会回信确认。\n"
    "After paying, send the receipt and your e-mail address to the author, who will write "
    "back to confirm.";
