#include "app/ActionButton.h"
#include "doc/Color.h"
#include "doc/DynamicValue.h"
#include "editors/ColorPresetDialog.h"
#include "editors/ColorPreviewWidget.h"
#include "editors/ColorTab.h"
#include "editors/ColorWidget.h"
#include "editors/DynamicValueInputWidget.h"
#include "editors/DynamicValueWidget.h"
#include "editors/Normal1DWidget.h"
#include "editors/StaticColorPreviewWidget.h"
#include "editors/StaticColorWidget.h"
#include "support/EditorTesting.h"
#include "support/ModalAnswerer.h"

#include <QColorDialog>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>

using namespace motifex::test;

namespace {

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

// A colour of no document that inherits the world colour, as an item's does.
std::shared_ptr<doc::Color> itemColor(AppFixture& app)
{
    auto color = std::make_shared<doc::Color>(nullptr);
    color->setParent(propertiesOf(app)->worldColor());
    color->setParentColor();
    return color;
}

std::unique_ptr<QMenu> colorMenu(bool withDefault)
{
    static QObject receiver;
    return std::unique_ptr<QMenu>(StaticColorWidget::createColorMenu(withDefault, &receiver, SLOT(deleteLater())));
}

const QString staticLabel = QStringLiteral("Hue: static\nSaturation: static\nValue: static\nAlpha: static\n");

} // namespace

class ColorWidgetsTest : public QObject
{
    Q_OBJECT

private slots:
    void colorMenuLayout()
    {
        for (const bool withDefault : {false, true}) {
            const auto menu = colorMenu(withDefault);
            QVERIFY(menu->parent() == nullptr);
            QStringList expected{"Grays",   "Regular", "-",     "Pastels",    "Soft", "Intense",      "Lurid",      "Shadow",
                                 "Dark",    "Night",   "Washed Out", "-",     "Almost White", "Almost Gray", "Almost Black"};
            if (withDefault) {
                expected << "-" << "Default";
            }
            QCOMPARE(actionTexts(menu->actions()), expected);
            QCOMPARE(defaultEntry(menu.get()) != nullptr, withDefault);
            for (const QAction* action : menu->actions()) {
                if (action->menu() != nullptr) {
                    QCOMPARE(action->menu()->actions().size(), action->text() == "Grays" ? 12 : 24);
                    QCOMPARE(action->icon().availableSizes(), QList<QSize>{QSize(24, 24)});
                }
            }
        }
        QVERIFY(!defaultEntry(colorMenu(true).get())->data().value<QColor>().isValid());
    }

    void colorMenuEntries_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<float>("hue");
        QTest::newRow("black") << "Grays" << 0 << " #000000" << 0.0f;
        QTest::newRow("darkest grey") << "Grays" << 1 << " #020202" << 0.0f;
        QTest::newRow("middle grey") << "Grays" << 6 << " #4c4c4c" << 0.0f;
        QTest::newRow("white") << "Grays" << 11 << " #ffffff" << 0.0f;
        QTest::newRow("regular red") << "Regular" << 0 << " #cc2929" << 0.0f;
        QTest::newRow("regular last") << "Regular" << 23 << " #cc2952" << 23.0f / 24.0f;
        QTest::newRow("lurid green") << "Lurid" << 8 << " #00ff00" << 1.0f / 3.0f;
        QTest::newRow("night blue") << "Night" << 16 << " #000040" << 2.0f / 3.0f;
    }

    void colorMenuEntries()
    {
        QFETCH(QString, title);
        QFETCH(int, index);
        const auto menu = colorMenu(false);
        const QAction* entry = submenu(menu.get(), title)->actions().at(index);
        QTEST(entry->text(), "text");
        const QColor color = entry->data().value<QColor>();
        QCOMPARE(QStringLiteral(" ") + color.name(), entry->text());
        QTEST(color.hsvHueF(), "hue");
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
        QVERIFY(defaultEntry(widget.presetsButton()->menu()) == nullptr);
        submenu(widget.presetsButton()->menu(), "Lurid")->actions().at(8)->trigger();
        QCOMPARE(changes.count(), 1);
        QCOMPARE(argb(widget.swatch()->color()), "#ff00ff00");
        widget.visibilityButton()->click();
        QCOMPARE(switches.count(), 1);
        QVERIFY(widget.isVisible());
        QCOMPARE(widget.visibilityButton()->text(), QString(QChar(0xF06E)));
    }

    // The colour dialog starts at the static colour shown, else at #e02060; a cancelled dialog changes
    // nothing, but the static widget reports it all the same.
    void customColor_data()
    {
        QTest::addColumn<bool>("isPreview");
        QTest::addColumn<bool>("isStatic");
        QTest::addColumn<QColor>("pick");
        QTest::addColumn<QString>("start");
        QTest::newRow("static widget") << false << true << QColor("#336699") << "#ff6070e0";
        QTest::newRow("static widget, cancelled") << false << true << QColor() << "#ff6070e0";
        QTest::newRow("preview of a dynamic colour") << true << false << QColor("#102030") << "#ffe02060";
        QTest::newRow("preview of a static colour") << true << true << QColor("#102030") << "#ff6070e0";
        QTest::newRow("preview, cancelled") << true << true << QColor() << "#ff6070e0";
    }

    void customColor()
    {
        QFETCH(bool, isPreview);
        QFETCH(bool, isStatic);
        QFETCH(QColor, pick);
        AppFixture app;
        const auto color = isStatic ? propertiesOf(app)->worldColor() : itemColor(app);
        const QVariant before = color->toData();
        ColorPreviewWidget preview(nullptr);
        preview.setColor(color);
        StaticColorWidget widget(nullptr);
        widget.setColor(color->staticColour());
        QSignalSpy changes(&widget, &StaticColorWidget::colorChanged);
        QColor startColor;
        ModalAnswerer answerer;
        answerer.answer([&startColor, pick](QWidget* modal) {
            auto* dialog = qobject_cast<QColorDialog*>(modal);
            startColor = dialog->currentColor();
            if (pick.isValid()) {
                dialog->setCurrentColor(pick);
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
        (isPreview ? preview.customColorButton() : widget.customColorButton())->click();
        QTRY_VERIFY(answerer.isDone());
        QCOMPARE(answerer.lastRecord().title, QStringLiteral("Select Color"));
        QTEST(argb(startColor), "start");
        const QColor shown = isPreview ? color->staticColour() : widget.color();
        if (pick.isValid()) {
            QCOMPARE(argb(shown), argb(pick));
        } else {
            QCOMPARE(color->toData(), before);
            QCOMPARE(argb(widget.color()), "#ff6070e0");
        }
        QCOMPARE(changes.count(), isPreview ? 0 : 1);
    }

    void previewButtonsFollowTheParent()
    {
        AppFixture app;
        ColorPreviewWidget preview(nullptr);
        preview.show();
        QMenu* menu = preview.presetsButton()->menu();
        const auto world = propertiesOf(app)->worldColor();
        preview.setColor(world);
        QVERIFY(preview.customColorButton()->isVisible());
        QVERIFY(!preview.parentButton()->isVisible() && !defaultEntry(menu)->isVisible());
        // A colour without parent that took "Default" would give every item transparent black.
        const QVariant before = world->toData();
        defaultEntry(menu)->trigger();
        QCOMPARE(world->toData(), before);

        const auto color = itemColor(app);
        preview.setColor(color);
        QVERIFY(preview.parentButton()->isVisible() && preview.parentButton()->isChecked());
        QVERIFY(defaultEntry(menu)->isVisible());
        submenu(menu, "Grays")->actions().at(3)->trigger();
        QCOMPARE(color->staticColour().name(), QStringLiteral("#131313"));
        QTRY_COMPARE(preview.inputLabel()->text(), staticLabel);
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

        preview.setEditable(false);
        preview.setEditable(true);
        for (ActionButton* button : {preview.presetsButton(), preview.customColorButton(), preview.parentButton(),
                                     preview.colorPresetsButton()}) {
            QVERIFY(!button->isVisible());
        }
        QCOMPARE(preview.inputLabel()->objectName(), QStringLiteral("previewInputLabel"));
        QCOMPARE(preview.colorPresetsButton()->toolTip(), QStringLiteral("Load or save color presets."));
    }

    void previewGrid()
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
        const QList<std::pair<QPoint, doc::ItemStyleInput>> corners{
            {{8, 8}, {0, 0, 0, 0}}, {{207, 8}, {1, 0, 1, 1}}, {{8, 151}, {0, 1, 0, 0}}, {{207, 151}, {1, 1, 1, 1}}};
        const QImage image = preview.grab().toImage();
        for (const auto& [pixel, input] : corners) {
            QCOMPARE(argb(image.pixelColor(pixel)), argb(color->colorForInput(input)));
        }
        QCOMPARE(preview.inputLabel()->text(), QStringLiteral("Hue: X→\nSaturation: static\nValue: Y↓\nAlpha: static\n"));

        // A burst of edits is shown together, once the preview has been quiet for a moment.
        color->hue()->setOffset(0.25);
        color->saturation()->setOffset(0.0);
        QCOMPARE(argb(preview.gridColor(0, 0)), argb(QColor::fromHsvF(0.0f, 0.8f, 1.0f)));
        QTRY_COMPARE(argb(preview.gridColor(0, 0)), argb(color->colorForInput({0, 0, 0, 0})));
        preview.setEnabled(false);
        QCOMPARE(argb(preview.grab().toImage().pixelColor(108, 80)), argb(QColor::fromHsvF(0.0f, 0.0f, 0.1f)));
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
        firstParent->setStaticColor(QColor("#0000ff")); // a listener left behind would be called here
    }

    void previewOpensThePresetDialog()
    {
        AppFixture app;
        ColorPreviewWidget preview(app.window());
        preview.setColor(propertiesOf(app)->worldColor());
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
        QCOMPARE(preview.colorPresetDialog()->parent(), &preview);
        QCOMPARE(preview.colorPresetDialog()->editColor(), propertiesOf(app)->worldColor());
        QCOMPARE(modality, Qt::WindowModal);
    }

    void colorTabEditsTheWorldColor()
    {
        AppFixture app;
        ColorTab* tab = showTab(app, &PropertiesFrame::colorTab);
        ColorWidget* editor = tab->colorWidget();
        const auto world = propertiesOf(app)->worldColor();
        QCOMPARE(editor->preview()->color(), world);
        const std::array<std::shared_ptr<doc::DynamicValue>, 4> channels{world->hue(), world->saturation(), world->value(),
                                                                         world->alpha()};
        const QStringList pages{"Hue", "Saturation", "Value", "Alpha"};
        for (int page = 0; page < 4; ++page) {
            QCOMPARE(editor->tabWidget()->tabText(page), pages.at(page));
            QVERIFY(editor->tabWidget()->widget(page)->isAncestorOf(editor->channelEditor(page)));
            QCOMPARE(editor->channelEditor(page)->displayMode(),
                     page == 0 ? DynamicValueWidget::DisplayMode::Hue : DynamicValueWidget::DisplayMode::Level);
            QCOMPARE(editor->channelEditor(page)->dynamicValue(), channels.at(std::size_t(page)));
        }
        QVERIFY(!editor->preview()->parentButton()->isVisible());
        editor->setColor(nullptr);
        QCOMPARE(editor->color(), world);

        ChangeRecorder recorder(documentOf(app));
        typeInto(editor->channelEditor(0)->offsetEditor()->spinBox(), "90");
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
        QTRY_COMPARE(editor->preview()->inputLabel()->text(),
                     QStringLiteral("Hue: static\nSaturation: distance→↓\nValue: static\nAlpha: static\n"));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(ColorWidgetsTest)
#include "tst_colorwidgets.moc"
