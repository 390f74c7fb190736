// Each window, built afresh, read back against its .ui file: every property the file
// sets on a widget or an action (captions, fonts, geometry, read-only, style sheets, ...),
// the Tab order and the menus.

#include "forms/UAboutBox.h"
#include "forms/UFrmRegQQ.h"
#include "forms/UGiveMoney.h"
#include "forms/UMain.h"
#include "forms/UVisitePhone.h"

#include <QAction>
#include <QFile>
#include <QFont>
#include <QMenu>
#include <QMenuBar>
#include <QMetaProperty>
#include <QRect>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// A property as the .ui file gives it: a value of one of the file's simple kinds.
struct TUiProperty {
    QString Object;
    QString Name;
    QString Kind; // string, bool, number, enum, set, rect, font
    QStringList Values;
};

// What a .ui file says of its window.
struct TUiFile {
    std::vector<TUiProperty> Properties;
    QStringList TabStops;
    // Each menu (and the menu bar) with the names of its entries in order.
    std::vector<std::pair<QString, QStringList>> Menus;
};

// The value of a property element: its kind and, for a rect or a font, its parts in order.
void ReadValue(QXmlStreamReader& xml, TUiProperty& property) {
    while (xml.readNextStartElement()) {
        property.Kind = xml.name().toString();
        if (property.Kind == QLatin1String("rect") || property.Kind == QLatin1String("font")) {
            while (xml.readNextStartElement()) {
                property.Values << xml.name().toString() + QLatin1Char('=') + xml.readElementText();
            }
        } else {
            property.Values << xml.readElementText();
        }
    }
}

TUiFile ReadUiFile(const QString& path) {
    TUiFile ui;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    QXmlStreamReader xml(&file);
    std::vector<QString> objects;
    std::vector<bool> isMenu;
    while (!xml.atEnd()) {
        xml.readNext();
        const QString tag = xml.name().toString();
        if (xml.isStartElement() &&
            (tag == QLatin1String("widget") || tag == QLatin1String("action"))) {
            const QString name = xml.attributes().value(QLatin1String("name")).toString();
            const QString type = xml.attributes().value(QLatin1String("class")).toString();
            objects.push_back(name);
            isMenu.push_back(type == QLatin1String("QMenu") || type == QLatin1String("QMenuBar"));
            if (isMenu.back()) {
                ui.Menus.push_back({name, {}});
            }
        } else if (xml.isEndElement() &&
                   (tag == QLatin1String("widget") || tag == QLatin1String("action"))) {
            objects.pop_back();
            isMenu.pop_back();
        } else if (xml.isStartElement() && tag == QLatin1String("property") && !objects.empty()) {
            TUiProperty property{
                objects.back(), xml.attributes().value(QLatin1String("name")).toString(), {}, {}};
            ReadValue(xml, property);
            ui.Properties.push_back(property);
        } else if (xml.isStartElement() && tag == QLatin1String("addaction") && isMenu.back()) {
            const QString entry = xml.attributes().value(QLatin1String("name")).toString();
            for (auto& [menu, entries] : ui.Menus) {
                if (menu == objects.back()) {
                    entries << entry;
                }
            }
        } else if (xml.isStartElement() && tag == QLatin1String("tabstop")) {
            ui.TabStops << xml.readElementText();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return ui;
}

// The property of the built object as the .ui file would write it; for an enum or a set,
// the file's value as a number.
QStringList Shown(const QObject& object, const TUiProperty& property) {
    const QVariant value = object.property(property.Name.toUtf8().constData());
    if (property.Kind == QLatin1String("rect")) {
        const QRect rect = value.toRect();
        return {QStringLiteral("x=%1").arg(rect.x()), QStringLiteral("y=%1").arg(rect.y()),
                QStringLiteral("width=%1").arg(rect.width()),
                QStringLiteral("height=%1").arg(rect.height())};
    }
    if (property.Kind == QLatin1String("font")) {
        const QFont font = value.value<QFont>();
        QStringList parts;
        for (const QString& part : property.Values) {
            const QString key = part.section(QLatin1Char('='), 0, 0);
            parts << key + QLatin1Char('=') +
                         (key == QLatin1String("family") ? font.family()
                          // The file's point sizes are pixel heights.
                          : key == QLatin1String("pointsize") ? QString::number(font.pixelSize())
                          : key == QLatin1String("bold")
                              ? QString::fromLatin1(font.bold() ? "true" : "false")
                              : part.section(QLatin1Char('='), 1));
        }
        return parts;
    }
    if (property.Kind == QLatin1String("bool")) {
        return {QString::fromLatin1(value.toBool() ? "true" : "false")};
    }
    if (property.Kind == QLatin1String("enum") || property.Kind == QLatin1String("set")) {
        // By value: the file may name a value by another of its keys (AlignLeading, AlignLeft).
        const QMetaObject* meta = object.metaObject();
        const QMetaEnum enumerator =
            meta->property(meta->indexOfProperty(property.Name.toUtf8().constData())).enumerator();
        QString keys = property.Values.value(0);
        keys.remove(QLatin1String(enumerator.scope()) + QLatin1String("::"));
        return {QString::number(enumerator.keysToValue(keys.toLatin1().constData()))};
    }
    return {value.toString()};
}

struct TUiCase {
    const char* Name;
    const char* File;
    std::function<std::unique_ptr<QWidget>()> Make;
};

class UiTableTest : public testing::TestWithParam<TUiCase> {
protected:
    void SetUp() override {
        Ui = ReadUiFile(QStringLiteral(QUORVIN_FORMS_DIR "/") + QLatin1String(GetParam().File));
        Window = GetParam().Make();
    }

    // The window or the object of that name within it.
    QObject* Object(const QString& name) const {
        return name == Window->objectName() ? Window.get() : Window->findChild<QObject*>(name);
    }

    TUiFile Ui;
    std::unique_ptr<QWidget> Window;
};

// Texts that the program fills at run time are empty in the file, and are not compared.
TEST_P(UiTableTest, EveryPropertyIsTheFiles) {
    for (const TUiProperty& property : Ui.Properties) {
        const QObject* object = Object(property.Object);
        ASSERT_NE(object, nullptr) << property.Object.toStdString();
        // Names of other widgets (a label's buddy) are the file's own business; the
        // window's frame holds its menu bar too (its client size is tested apart).
        if ((property.Kind == QLatin1String("string") && property.Values.value(0).isEmpty()) ||
            property.Kind == QLatin1String("cstring") ||
            (object == Window.get() && property.Name == QLatin1String("geometry"))) {
            continue;
        }
        const bool byValue =
            property.Kind == QLatin1String("enum") || property.Kind == QLatin1String("set");
        const QStringList shown =
            byValue ? QStringList{QString::number(object->property(property.Name.toUtf8()).toInt())}
                    : Shown(*object, property);
        EXPECT_EQ(shown.join(QLatin1Char(' ')).toStdString(),
                  (byValue ? Shown(*object, property) : property.Values)
                      .join(QLatin1Char(' '))
                      .toStdString())
            << property.Object.toStdString() << "." << property.Name.toStdString();
    }
}

TEST_P(UiTableTest, TabFollowsTheFilesOrder) {
    if (Ui.TabStops.isEmpty()) {
        return;
    }
    QWidget* first = Window->findChild<QWidget*>(Ui.TabStops.front());
    ASSERT_NE(first, nullptr);
    QStringList walked{first->objectName()};
    for (QWidget* next = first->nextInFocusChain();
         next != first && walked.size() < Ui.TabStops.size(); next = next->nextInFocusChain()) {
        if (Ui.TabStops.contains(next->objectName())) {
            walked << next->objectName();
        }
    }
    EXPECT_EQ(walked, Ui.TabStops);
}

TEST_P(UiTableTest, MenusHoldTheFilesEntriesInOrder) {
    for (const auto& [name, entries] : Ui.Menus) {
        const auto* menu = qobject_cast<QWidget*>(Object(name));
        ASSERT_NE(menu, nullptr) << name.toStdString();
        QStringList shown;
        for (const QAction* action : menu->actions()) {
            shown << (action->isSeparator()       ? QStringLiteral("separator")
                      : action->menu() != nullptr ? action->menu()->objectName()
                                                  : action->objectName());
        }
        EXPECT_EQ(shown, entries) << name.toStdString();
    }
}

template <class T> std::function<std::unique_ptr<QWidget>()> Made() {
    return [] {
        auto window = std::make_unique<T>();
        window->Build();
        return window;
    };
}

INSTANTIATE_TEST_SUITE_P(
    Windows, UiTableTest,
    testing::Values(TUiCase{"Main", "UMain.ui", Made<TFrmMain>()},
                    TUiCase{"Phone", "UVisitePhone.ui", Made<TFrmVisitePhone>()},
                    TUiCase{"About", "UAboutBox.ui", Made<TAboutBox>()},
                    TUiCase{"QQ", "UFrmRegQQ.ui", Made<TFrmRegQQ>()},
                    TUiCase{"Support", "UGiveMoney.ui", Made<TFrmGiveMoney>()}),
    [](const auto& info) { return info.param.Name; });

} // namespace
