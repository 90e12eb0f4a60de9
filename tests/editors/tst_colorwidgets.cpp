#include "app/ActionButton.h"
#include "app/MainWindow.h"
#include "doc/Color.h"
#include "doc/Document.h"
#include "doc/DynamicValue.h"
#include "doc/Properties.h"
#include "editors/ColorPresetDialog.h"
#include "editors/ColorPreviewWidget.h"
#include "editors/ColorTab.h"
#include "editors/ColorWidget.h"
#include "editors/DynamicValueInputWidget.h"
#include "editors/DynamicValueWidget.h"
#include "editors/Normal1DWidget.h"
#include "editors/PropertiesFrame.h"
#include "editors/StaticColorPreviewWidget.h"
#include "editors/StaticColorWidget.h"
#include "support/AppFixture.h"
#include "support/ChangeRecorder.h"
#include "support/ModalAnswerer.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QAbstractButton>
#include <QAction>
#include <QDoubleSpinBox>
#include <QTabWidget>
#include <QColorDialog>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QtTest>

using motifex::test::AppFixture;
using motifex::test::ChangeRecorder;
using motifex::test::ModalAnswerer;

namespace {

// The entries of a menu: submenu titles, entry texts, "-" for separators.
QStringList entryTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

QMenu* submenu(const QMenu* menu, const QString& title)
{
    for (const QAction* action : menu->actions()) {
        if (action->menu() != nullptr && action->text() == title) {
            return action->menu();
        }
    }
    return nullptr;
}

QAction* defaultEntry(const QMenu* menu)
{
    return menu->findChild<QAction*>(StaticColorWidget::defaultEntryObjectName);
}

std::shared_ptr<doc::Color> worldColorOf(AppFixture& app)
{
    return app.controller().document()->properties()->worldColor();
}

// A colour of no document that inherits the world colour, as an item's does.
std::shared_ptr<doc::Color> itemColor(AppFixture& app)
{
    auto color = std::make_shared<doc::Color>(nullptr);
    color->setParent(worldColorOf(app));
    color->setParentColor();
    return color;
}

// Colours compare by their 8-bit channels whatever model they were made in.
QString argb(const QColor& color)
{
    return color.name(QColor::HexArgb);
}

QString pixelAt(QWidget* widget, int x, int y)
{
    return argb(widget->grab().toImage().pixelColor(x, y));
}

// Answers the colour dialog: records where it started, then picks the colour (an invalid one cancels).
ModalAnswerer::Answer colorDialogAnswer(QColor* startColor, const QColor& pick)
{
    return [startColor, pick](QWidget* widget) {
        auto* dialog = qobject_cast<QColorDialog*>(widget);
        QVERIFY(dialog != nullptr);
        *startColor = dialog->currentColor();
        if (!pick.isValid()) {
            dialog->reject();
            return;
        }
        dialog->setCurrentColor(pick);
        dialog->accept();
    };
}

} // namespace

class ColorWidgetsTest : public QObject
{
    Q_OBJECT

private slots:
    void colorMenuLayout_data()
    {
        QTest::addColumn<bool>("withDefault");
        QTest::newRow("plain") << false;
        QTest::newRow("with default") << true;
    }

    void colorMenuLayout()
    {
        QFETCH(bool, withDefault);
        QObject receiver;
        std::unique_ptr<QMenu> menu(StaticColorWidget::createColorMenu(withDefault, &receiver, SLOT(deleteLater())));
        QVERIFY(menu->parent() == nullptr);
        QStringList expected{"Grays",       "Regular",      "-",           "Pastels", "Soft",
                             "Intense",     "Lurid",        "Shadow",      "Dark",    "Night",
                             "Washed Out",  "-",            "Almost White", "Almost Gray", "Almost Black"};
        if (withDefault) {
            expected << "-" << "Default";
        }
        QCOMPARE(entryTexts(menu.get()), expected);
        QCOMPARE(defaultEntry(menu.get()) != nullptr, withDefault);
        if (withDefault) {
            QVERIFY(!defaultEntry(menu.get())->data().value<QColor>().isValid());
        }
        for (const QAction* action : menu->actions()) {
            if (action->menu() != nullptr) {
                QCOMPARE(action->menu()->actions().size(), action->text() == "Grays" ? 12 : 24);
                QCOMPARE(action->icon().availableSizes(), QList<QSize>{QSize(24, 24)});
            }
        }
    }

    void colorMenuEntries_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("hue");
        QTest::newRow("black") << "Grays" << 0 << " #000000" << 0.0;
        QTest::newRow("darkest grey") << "Grays" << 1 << " #020202" << 0.0;
        QTest::newRow("middle grey") << "Grays" << 6 << " #4c4c4c" << 0.0;
        QTest::newRow("white") << "Grays" << 11 << " #ffffff" << 0.0;
        QTest::newRow("regular red") << "Regular" << 0 << " #cc2929" << 0.0;
        QTest::newRow("regular last") << "Regular" << 23 << " #cc2952" << 23.0 / 24.0;
        QTest::newRow("lurid green") << "Lurid" << 8 << " #00ff00" << 1.0 / 3.0;
        QTest::newRow("night blue") << "Night" << 16 << " #000040" << 2.0 / 3.0;
    }

    void colorMenuEntries()
    {
        QFETCH(QString, title);
        QFETCH(int, index);
        QFETCH(double, hue);
        QObject receiver;
        std::unique_ptr<QMenu> menu(StaticColorWidget::createColorMenu(false, &receiver, SLOT(deleteLater())));
        QMenu* colors = submenu(menu.get(), title);
        QVERIFY(colors != nullptr);
        const QAction* entry = colors->actions().at(index);
        QTEST(entry->text(), "text");
        const QColor color = entry->data().value<QColor>();
        QCOMPARE(QStringLiteral(" ") + color.name(), entry->text());
        QCOMPARE(color.hsvHueF(), static_cast<float>(hue));
        QCOMPARE(entry->font().family(), QStringLiteral("Menlo"));
        QCOMPARE(entry->font().pointSize(), 16);
        QCOMPARE(argb(entry->icon().pixmap(24, 24).toImage().pixelColor(12, 12)), argb(color));
    }

    void staticWidgetMenuAndSwitch()
    {
        AppFixture app;
        StaticColorWidget widget(nullptr);
        QSignalSpy changes(&widget, &StaticColorWidget::colorChanged);
        QSignalSpy switches(&widget, &StaticColorWidget::visibilityChanged);
        widget.setColor(QColor("#123456"));
        widget.setVisibility(false);
        QCOMPARE(changes.count() + switches.count(), 0);
        QCOMPARE(widget.visibilityButton()->text(), QString(QChar(0xF070)));

        QMenu* menu = widget.presetsButton()->menu();
        QVERIFY(defaultEntry(menu) == nullptr);
        submenu(menu, "Lurid")->actions().at(8)->trigger();
        QCOMPARE(changes.count(), 1);
        QCOMPARE(argb(widget.swatch()->color()), "#ff00ff00");
        widget.visibilityButton()->click();
        QCOMPARE(switches.count(), 1);
        QVERIFY(widget.isVisible());
        QCOMPARE(widget.visibilityButton()->text(), QString(QChar(0xF06E)));
    }

    void staticWidgetCustomColor_data()
    {
        QTest::addColumn<QColor>("pick");
        QTest::addColumn<QColor>("result");
        QTest::newRow("chosen") << QColor("#336699") << QColor("#336699");
        QTest::newRow("cancelled") << QColor() << QColor("#aabbcc");
    }

    void staticWidgetCustomColor()
    {
        QFETCH(QColor, pick);
        AppFixture app;
        StaticColorWidget widget(nullptr);
        widget.setColor(QColor("#aabbcc"));
        QSignalSpy changes(&widget, &StaticColorWidget::colorChanged);
        QColor startColor;
        ModalAnswerer answerer;
        answerer.answer(colorDialogAnswer(&startColor, pick));
        widget.customColorButton()->click();
        QTRY_VERIFY(answerer.isDone());
        QCOMPARE(answerer.lastRecord().title, QStringLiteral("Select Color"));
        QCOMPARE(argb(startColor), "#ffaabbcc");
        QFETCH(QColor, result);
        QCOMPARE(argb(widget.color()), argb(result));
        // Also a cancelled dialog reports, with the colour unchanged.
        QCOMPARE(changes.count(), 1);
    }

    void previewButtonsFollowTheParent()
    {
        AppFixture app;
        ColorPreviewWidget preview(nullptr);
        preview.show();
        QMenu* menu = preview.presetsButton()->menu();

        const auto world = worldColorOf(app);
        preview.setColor(world);
        QVERIFY(preview.customColorButton()->isVisible());
        QVERIFY(!preview.parentButton()->isVisible());
        QVERIFY(!defaultEntry(menu)->isVisible());
        // A colour without parent that took "Default" would give every item transparent black.
        const QVariant before = world->toData();
        defaultEntry(menu)->trigger();
        QCOMPARE(world->toData(), before);

        preview.setColor(itemColor(app));
        QVERIFY(preview.parentButton()->isVisible());
        QVERIFY(preview.parentButton()->isChecked());
        QVERIFY(defaultEntry(menu)->isVisible());

        preview.setEditable(false);
        for (ActionButton* button : {preview.presetsButton(), preview.customColorButton(), preview.parentButton(),
                                     preview.colorPresetsButton()}) {
            QVERIFY(!button->isVisible());
        }
        preview.setColor(worldColorOf(app));
        preview.setEditable(true);
        QVERIFY(!preview.parentButton()->isVisible() && !preview.presetsButton()->isVisible());
        QCOMPARE(preview.inputLabel()->objectName(), QStringLiteral("previewInputLabel"));
        QCOMPARE(preview.colorPresetsButton()->toolTip(), QStringLiteral("Load or save color presets."));
    }

    void previewMenuEntries()
    {
        AppFixture app;
        ColorPreviewWidget preview(nullptr);
        const auto color = itemColor(app);
        preview.setColor(color);
        QMenu* menu = preview.presetsButton()->menu();

        submenu(menu, "Grays")->actions().at(3)->trigger();
        QVERIFY(color->isStaticColor());
        QCOMPARE(color->staticColour().name(), QStringLiteral("#131313"));
        QTRY_COMPARE(preview.inputLabel()->text(), QStringLiteral("Hue: static\nSaturation: static\nValue: static\nAlpha: static\n"));
        QVERIFY(!preview.parentButton()->isChecked());

        defaultEntry(menu)->trigger();
        QVERIFY(color->isParentColor());
        QTRY_VERIFY(preview.parentButton()->isChecked());
        QCOMPARE(preview.inputLabel()->text(), QStringLiteral("Hue: \nSaturation: \nValue: \nAlpha: \n"));

        color->setStaticColor(Qt::red);
        QTRY_VERIFY(!preview.parentButton()->isChecked());
        preview.parentButton()->click();
        QVERIFY(color->isParentColor());
        preview.parentButton()->click(); // a second click keeps it checked
        QVERIFY(preview.parentButton()->isChecked());
    }

    void previewCustomColor_data()
    {
        QTest::addColumn<bool>("isStatic");
        QTest::addColumn<QColor>("pick");
        QTest::addColumn<QColor>("expectedStart");
        QTest::newRow("dynamic colour starts at the default") << false << QColor("#102030") << QColor("#e02060");
        QTest::newRow("static colour starts at itself") << true << QColor("#102030") << QColor("#6070e0");
        QTest::newRow("cancelled") << true << QColor() << QColor("#6070e0");
    }

    void previewCustomColor()
    {
        QFETCH(bool, isStatic);
        QFETCH(QColor, pick);
        AppFixture app;
        ColorPreviewWidget preview(nullptr);
        const auto color = isStatic ? worldColorOf(app) : itemColor(app);
        preview.setColor(color);
        const QVariant before = color->toData();
        QColor startColor;
        ModalAnswerer answerer;
        answerer.answer(colorDialogAnswer(&startColor, pick));
        preview.customColorButton()->click();
        QTRY_VERIFY(answerer.isDone());
        QFETCH(QColor, expectedStart);
        QCOMPARE(argb(startColor), argb(expectedStart));
        if (pick.isValid()) {
            QCOMPARE(argb(color->staticColour()), argb(pick));
        } else {
            QCOMPARE(color->toData(), before);
        }
    }

    void previewGridCorners()
    {
        AppFixture app;
        ColorPreviewWidget preview(nullptr);
        preview.resize(216, 160);
        auto color = std::make_shared<doc::Color>(nullptr);
        color->hue()->setInput(doc::DynamicValueInput::X);
        color->hue()->setRange({0.0, 0.5});
        color->value()->setInput(doc::DynamicValueInput::Y);
        color->value()->setRange({1.0, 0.4});
        preview.setColor(color);
        // Each corner pixel belongs to the corner cell: columns are 2 pixels wide, rows 1 or 2 high.
        const QList<std::pair<QPoint, doc::ItemStyleInput>> corners{{{8, 8}, {0, 0, 0, 0}},
                                                                    {{207, 8}, {1, 0, 1, 1}},
                                                                    {{8, 151}, {0, 1, 0, 0}},
                                                                    {{207, 151}, {1, 1, 1, 1}}};
        const QImage image = preview.grab().toImage();
        for (const auto& [pixel, input] : corners) {
            QCOMPARE(argb(image.pixelColor(pixel)), argb(color->colorForInput(input)));
        }
        QCOMPARE(argb(preview.gridColor(99, 0)), argb(color->colorForInput({1, 0, 1, 1})));
        QCOMPARE(preview.inputLabel()->text(), QStringLiteral("Hue: X→\nSaturation: static\nValue: Y↓\nAlpha: static\n"));

        // A burst of edits is shown together, once the preview has been quiet for a moment.
        color->hue()->setOffset(0.25);
        color->saturation()->setOffset(0.0);
        QCOMPARE(argb(preview.gridColor(0, 0)), argb(QColor::fromHsvF(0.0f, 0.8f, 1.0f)));
        QTRY_COMPARE(argb(preview.gridColor(0, 0)), argb(color->colorForInput({0, 0, 0, 0})));

        preview.setEnabled(false);
        QCOMPARE(pixelAt(&preview, 108, 80), argb(QColor::fromHsvF(0.0f, 0.0f, 0.1f)));
    }

    // The preview follows the world colour through an item colour, and leaves the parent it joined even
    // when the colour has been linked to another parent since.
    void previewFollowsAndLeavesTheParentItJoined()
    {
        AppFixture app;
        const auto firstParent = std::make_shared<doc::Color>(nullptr);
        const auto color = std::make_shared<doc::Color>(nullptr);
        color->setParent(firstParent);
        color->setParentColor();
        {
            ColorPreviewWidget preview(nullptr);
            preview.setColor(color);
            firstParent->setStaticColor(QColor("#00ff00"));
            QTRY_COMPARE(argb(preview.gridColor(50, 50)), "#ff00ff00");
            color->setParent(std::make_shared<doc::Color>(nullptr));
        }
        // A listener left behind on the first parent would be called after its destruction.
        firstParent->setStaticColor(QColor("#0000ff"));
        QVERIFY(color->parent() != firstParent);
    }

    void previewOpensThePresetDialog()
    {
        AppFixture app;
        ColorPreviewWidget preview(app.window());
        const auto color = worldColorOf(app);
        preview.setColor(color);
        QVERIFY(preview.colorPresetDialog() == nullptr);
        ModalAnswerer answerer;
        Qt::WindowModality modality = Qt::NonModal;
        answerer.answer([&modality](QWidget* widget) {
            modality = widget->windowModality();
            qobject_cast<QDialog*>(widget)->reject();
        });
        preview.colorPresetsButton()->click();
        QTRY_VERIFY(answerer.isDone());
        QCOMPARE(answerer.lastRecord().title, QStringLiteral("Color Presets"));
        ColorPresetDialog* dialog = preview.colorPresetDialog();
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->parent(), &preview);
        QCOMPARE(dialog->editColor(), color);
        QCOMPARE(modality, Qt::WindowModal);
    }

    void colorTabEditsTheWorldColor()
    {
        AppFixture app;
        PropertiesFrame* panel = app.window()->propertiesFrame();
        panel->tabWidget()->setCurrentWidget(panel->colorTab());
        ColorWidget* editor = panel->colorTab()->colorWidget();
        const auto world = worldColorOf(app);
        QCOMPARE(panel->colorTab()->title(), QStringLiteral("Color"));
        QCOMPARE(editor->color(), world);
        QCOMPARE(editor->preview()->color(), world);
        const QList<std::pair<QString, DynamicValueWidget::DisplayMode>> pages{
            {"Hue", DynamicValueWidget::DisplayMode::Hue},
            {"Saturation", DynamicValueWidget::DisplayMode::Level},
            {"Value", DynamicValueWidget::DisplayMode::Level},
            {"Alpha", DynamicValueWidget::DisplayMode::Level}};
        const std::array<std::shared_ptr<doc::DynamicValue>, 4> channels{world->hue(), world->saturation(), world->value(), world->alpha()};
        for (int page = 0; page < 4; ++page) {
            QCOMPARE(editor->tabWidget()->tabText(page), pages.at(page).first);
            QCOMPARE(editor->channelEditor(page)->parentWidget(), editor->tabWidget()->widget(page));
            QCOMPARE(editor->channelEditor(page)->displayMode(), pages.at(page).second);
            QCOMPARE(editor->channelEditor(page)->dynamicValue(), channels.at(std::size_t(page)));
        }
        QVERIFY(!editor->preview()->parentButton()->isVisible());
        editor->setColor(nullptr);
        QCOMPARE(editor->color(), world);

        ChangeRecorder recorder(app.controller().document());
        motifex::test::typeInto(editor->channelEditor(0)->offsetEditor()->spinBox(), "90");
        QCOMPARE(recorder.records(), QStringList{"changed properties/worldColor/hue/offset"});
        QTRY_COMPARE(argb(editor->preview()->gridColor(0, 0)), argb(world->colorForInput({})));

        // A preset loaded into the colour reaches its editors and the document.
        recorder.clear();
        doc::Color preset(nullptr);
        preset.saturation()->setInput(doc::DynamicValueInput::PolarDistance);
        preset.saturation()->setOffset(-0.5);
        world->setFromDataOrThrow(preset.toData());
        QCOMPARE(recorder.changedPaths().constLast(), QStringLiteral("properties/worldColor"));
        QCOMPARE(editor->channelEditor(1)->inputWidget()->inputValue(), doc::DynamicValueInput::PolarDistance);
        QCOMPARE(editor->channelEditor(1)->offsetEditor()->value(), geo::Normal1D(-0.5));
        QTRY_COMPARE(editor->preview()->inputLabel()->text(), QStringLiteral("Hue: static\nSaturation: distance→↓\nValue: static\nAlpha: static\n"));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(ColorWidgetsTest)
#include "tst_colorwidgets.moc"
