#pragma once

// Screen readers see a TListMemo through Qt's accessibility text interface (see
// TAccessibleText). Called once at start-up, before any memo is shown.
void InstallListMemoAccessibility();
