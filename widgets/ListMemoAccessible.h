#pragma once

#include "ListDocument.h"

#include <QString>

class QAccessibleInterface;
class QObject;
class TListMemo;

// Screen readers see the memo through Qt's accessibility text interface. Its text is
// a window on the document: the shown lines and the caret's line, joined by line
// breaks; offsets count UTF-16 code units within that window.
QString AccessibleText(const TListMemo& memo);
int AccessibleOffset(const TListMemo& memo, TextPos pos);
TextPos AccessiblePos(const TListMemo& memo, int offset);

// The factory that Qt asks for the accessible interface of a TListMemo.
QAccessibleInterface* ListMemoAccessibleFactory(const QString& className, QObject* object);
