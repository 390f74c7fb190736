#pragma once

#include <windows.h>

// The dialogs' pictures, compiled in as resources and decoded with the Windows Imaging
// Component: a JPEG or PNG resource (RCDATA) scaled to `width` x `height` pixels, as a
// 32-bit bitmap; null when it cannot be decoded.
HBITMAP DecodePictureResource(const wchar_t* name, int width, int height);
