#include "app/Fonts.h"

#include <QFont>
#include <QStringList>

void InstallFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("AR PL UMing CN"),
                                                        QStringLiteral("AR PL UMing TW")});
    // Windows fills in Chinese characters with the Song-style font; so does this list.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                                QStringLiteral("AR PL UMing CN")});
}
