#pragma once

// The windows name the fonts of a Windows desktop: "宋体" (a Song-style Chinese font)
// and "MS Sans Serif". Maps them to the installed fonts that stand in for them.
void InstallFontSubstitutes();
