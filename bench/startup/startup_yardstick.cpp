#include "app/Fonts.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

// The yardstick of the start-up benchmark: the least a Chinese window of the main
// window's size must do. One label in the Song-style font, which needs the same CJK
// font file as the program, found through the same font substitutes.
int main(int argc, char** argv) {
    QApplication application(argc, argv);
    InstallFontSubstitutes();
    QWidget window;
    window.resize(715, 249);
    QLabel label(QStringLiteral("内存位置：得到内存的内容的值，8位数字"), &window);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    label.setFont(font);
    label.move(8, 32);
    window.show();
    return QApplication::exec();
}
