#pragma once

// The maker's details that the program shows. Every value here is a placeholder:
// a maker who ships the program sets the real ones in this one place.

// The second panel of the main window's status bar.
inline constexpr const char* kCopyrightNotice = "版权所有 Copyright (C) 2023 Quorvin 作者 Authors";
