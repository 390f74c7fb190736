#include "Fonts.h"

#include <QFont>
#include <QStringList>

void InstallFontSubstitutes() {
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("AR PL UMing CN"),
                                                        QStringLiteral("AR PL UMing TW")});
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}
