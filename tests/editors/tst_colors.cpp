#include "doc/Color.h"
#include "doc/ColorManager.h"
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
#include "widgets/ActionButton.h"

#include <QColorDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QInputDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTreeWidget>

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

QDir presetFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/colors"));
}

QString presetPath(const QString& identifier)
{
    return presetFolder().filePath(QStringLiteral("color_%1.json").arg(identifier));
}

QJsonObject presetFile(const QString& identifier)
{
    QFile file(presetPath(identifier));
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

void writePresetFile(const QString& identifier, const QString& name, const QVariant& data)
{
    presetFolder().mkpath(QStringLiteral("."));
    QFile file(presetPath(identifier));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(QJsonObject{{"identifier", identifier}, {"name", name}, {"data", QJsonValue::fromVariant(data)}}).toJson());
}

// The data as a preset file holds it.
QVariant throughJson(const QVariant& data)
{
    return QJsonDocument::fromVariant(data).toVariant();
}

// Colour data whose hue reads well but whose saturation names a function that does not exist.
QVariantMap brokenColorData()
{
    return {{"hue", QVariantMap{{"input", "x"}, {"offset", 0.5}}},
            {"saturation", QVariantMap{{"functions", QVariantList{QVariantMap{{"identifier", "no-such-function"}}}}}}};
}

QVariant staticColorData(const QColor& staticColor, doc::DynamicValueInput hueInput = doc::DynamicValueInput::Zero)
{
    doc::Color color(nullptr);
    color.setStaticColor(staticColor);
    color.hue()->setInput(hueInput);
    return color.toData();
}

QVariant sunsetData()
{
    return staticColorData(QColor("#ff8040"), doc::DynamicValueInput::Y);
}

QStringList listedNames(const ColorPresetDialog& dialog)
{
    QStringList names;
    for (int row = 0; row < dialog.presetList()->topLevelItemCount(); ++row) {
        names << dialog.presetList()->topLevelItem(row)->text(0);
    }
    return names;
}

void selectRow(ColorPresetDialog& dialog, const QString& name)
{
    const QList<QTreeWidgetItem*> found = dialog.presetList()->findItems(name, Qt::MatchExactly);
    QVERIFY(found.size() == 1);
    QTest::mouseClick(dialog.presetList()->viewport(), Qt::LeftButton, {},
                      dialog.presetList()->visualItemRect(found.constFirst()).center());
    QCOMPARE(dialog.presetList()->selectedItems(), found);
}

// The Load, Update, Rename and Remove buttons and the preset preview, which need a selected preset.
QList<bool> selectionControlStates(const ColorPresetDialog& dialog)
{
    return {dialog.loadButton()->isEnabled(), dialog.updateButton()->isEnabled(), dialog.renameButton()->isEnabled(),
            dialog.removeButton()->isEnabled(), dialog.presetColorPreview()->isEnabled()};
}

// Answers a name prompt: records its title and text, then types the name (a null name cancels).
ModalAnswerer::Answer namePrompt(QString* title, QString* shownText, const QString& name)
{
    return [title, shownText, name](QWidget* widget) {
        auto* input = qobject_cast<QInputDialog*>(widget);
        QVERIFY(input != nullptr);
        QCOMPARE(input->labelText(), QStringLiteral("Name:"));
        *title = input->windowTitle();
        *shownText = input->textValue();
        if (name.isNull()) {
            input->reject();
            return;
        }
        input->setTextValue(name);
        input->accept();
    };
}

} // namespace

// The colour editors and previews, the preset menus and the colour preset dialog.
class ColorsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppFixture> m_app;
    std::unique_ptr<ColorPresetDialog> m_dialog;

    doc::ColorManager& presets() { return *m_app->controller().colorManager(); }
    std::shared_ptr<doc::Color> worldColor() { return m_app->controller().document()->properties()->worldColor(); }

    // Shows the dialog without blocking the window, so that the only modal boxes are its prompts.
    void startDialog()
    {
        m_app = std::make_unique<AppFixture>();
        m_dialog = std::make_unique<ColorPresetDialog>(m_app->window());
        m_dialog->setWindowModality(Qt::NonModal);
        m_dialog->setEditColor(worldColor());
        m_dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dialog.get()));
    }

private slots:
    void init() { presetFolder().removeRecursively(); }

    void cleanup()
    {
        m_dialog.reset();
        m_app.reset();
    }

    void listAndOpeningState()
    {
        startDialog();
        for (const char* name : {"Beta", "Alpha", "Gamma"}) {
            presets().add(name, sunsetData());
        }
        m_dialog->setEditColor(worldColor());
        QCOMPARE(m_dialog->windowTitle(), QStringLiteral("Color Presets"));
        QCOMPARE(m_dialog->minimumSize(), QSize(500, 600));
        QCOMPARE(listedNames(*m_dialog), (QStringList{"Gamma", "Beta", "Alpha"}));
        QTreeWidgetItem* first = m_dialog->presetList()->topLevelItem(0);
        QCOMPARE(first->data(0, Qt::UserRole).toString(), presets().entries().back().identifier);
        QCOMPARE(first->data(0, Qt::SizeHintRole).toSize(), QSize(200, 24));
        QVERIFY(m_dialog->selectedIdentifier().isEmpty());
        QCOMPARE(selectionControlStates(*m_dialog), QList<bool>(5, false));
        QVERIFY(m_dialog->newButton()->isEnabled() && m_dialog->closeButton()->isEnabled());
        QVERIFY(!m_dialog->editColorPreview()->parentButton()->isVisible());
        QCOMPARE((QStringList{m_dialog->loadButton()->toolTip(), m_dialog->newButton()->toolTip(),
                              m_dialog->updateButton()->toolTip(), m_dialog->renameButton()->toolTip(),
                              m_dialog->removeButton()->toolTip()}),
                 (QStringList{"Load the selected preset and replace the edited color.",
                              "Create a new preset from the edited color.", "Update the selected preset with the edited color.",
                              "Rename the selected preset.", "Remove the selected preset."}));

        selectRow(*m_dialog, "Beta");
        QCOMPARE(selectionControlStates(*m_dialog), QList<bool>(5, true));
        // Return in the list closes the dialog.
        QVERIFY(m_dialog->closeButton()->isDefault());
        QCOMPARE(m_dialog->presetColor()->toData(), throughJson(sunsetData()));
        QCOMPARE(m_dialog->presetColor()->parent(), worldColor()->parent());

        // Every opening starts without selection.
        m_dialog->setEditColor(worldColor());
        QVERIFY(m_dialog->selectedIdentifier().isEmpty());
        QCOMPARE(selectionControlStates(*m_dialog), QList<bool>(5, false));
        QVERIFY(m_dialog->presetColor()->isStaticColor());
        QCOMPARE(m_dialog->presetColor()->staticColour(), QColor(Qt::gray).toHsv());
    }

    void newPreset_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("named") << "Sunset";
        QTest::newRow("empty name") << "";
        QTest::newRow("cancelled") << QString();
    }

    void newPreset()
    {
        QFETCH(QString, name);
        startDialog();
        worldColor()->setFromDataOrThrow(sunsetData());
        QString title;
        QString shownText = "not shown";
        ModalAnswerer answerer;
        answerer.answer(namePrompt(&title, &shownText, name));
        m_dialog->newButton()->click();
        QTRY_VERIFY(answerer.isDone());
        QCOMPARE(title, QStringLiteral("Enter a New Name for the Preset"));
        QCOMPARE(shownText, QString());

        const bool isAdded = !name.isEmpty();
        QCOMPARE(m_dialog->isVisible(), !isAdded);
        QCOMPARE(presets().entries().size(), isAdded ? 1u : 0u);
        if (isAdded) {
            const QString identifier = presets().entries().front().identifier;
            QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
            QCOMPARE(presetFile(identifier).value("name").toString(), name);
            QCOMPARE(presetFile(identifier).value("data").toVariant(), throughJson(worldColor()->toData()));
        }
        QCOMPARE(presetFolder().entryList(QDir::Files).size(), isAdded ? 1 : 0);
    }

    void renameUpdateRemoveRoundTrip()
    {
        startDialog();
        const QString identifier = presets().add("Alpha", sunsetData());
        presets().add("Beta", sunsetData());
        m_dialog->refreshList();
        selectRow(*m_dialog, "Alpha");

        QString title;
        QString shownText;
        ModalAnswerer answerer;
        // Unchanged, empty and cancelled answers keep the name; each reloads the list and keeps the selection.
        for (const QString& answer : {QStringLiteral("Alpha"), QString(""), QString(), QStringLiteral("Zeta")}) {
            answerer.answer(namePrompt(&title, &shownText, answer));
            m_dialog->renameButton()->click();
            QTRY_VERIFY(answerer.isDone());
            QCOMPARE(title, QStringLiteral("Enter the New Name for this Preset"));
            QCOMPARE(m_dialog->selectedIdentifier(), identifier);
        }
        QCOMPARE(shownText, QStringLiteral("Alpha"));
        QCOMPARE(listedNames(*m_dialog), (QStringList{"Zeta", "Beta"}));
        QCOMPARE(presetFile(identifier).value("name").toString(), QStringLiteral("Zeta"));
        QVERIFY(m_dialog->isVisible());

        worldColor()->hue()->setInput(doc::DynamicValueInput::PolarAngle);
        m_dialog->updateButton()->click();
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(presetFile(identifier).value("data").toVariant(), throughJson(worldColor()->toData()));

        // What the files hold is what the next start lists.
        doc::ColorManager reloaded;
        reloaded.load();
        QCOMPARE(reloaded.name(identifier), QStringLiteral("Zeta"));
        QCOMPARE(reloaded.data(identifier), throughJson(worldColor()->toData()));

        m_dialog->setEditColor(worldColor());
        m_dialog->show();
        selectRow(*m_dialog, "Zeta");
        m_dialog->removeButton()->click();
        QVERIFY(m_dialog->isVisible());
        QCOMPARE(listedNames(*m_dialog), QStringList{"Beta"});
        QVERIFY(presetFile(identifier).isEmpty());
        QVERIFY(m_dialog->selectedIdentifier().isEmpty());
        QCOMPARE(selectionControlStates(*m_dialog), QList<bool>(5, false));
    }

    // Load closes the dialog; a preset that cannot be read leaves the edited colour untouched.
    void load_data()
    {
        QTest::addColumn<bool>("isBroken");
        QTest::addColumn<QVariant>("preset");
        QTest::newRow("readable") << false << sunsetData();
        QTest::newRow("broken") << true << QVariant(brokenColorData());
        // Saved from an item colour whose hue follows its parent: the world colour has no parent to follow.
        QTest::newRow("inherited hue") << false << staticColorData(QColor("#ff8040"), doc::DynamicValueInput::Parent);
    }

    void load()
    {
        QFETCH(bool, isBroken);
        QFETCH(QVariant, preset);
        writePresetFile("preset", "Preset", preset);
        startDialog();
        const QVariant before = worldColor()->toData();
        QVariantMap expected = throughJson(preset).toMap();
        if (QTest::currentDataTag() == QByteArray("inherited hue")) {
            expected.insert(QStringLiteral("hue"), throughJson(before.toMap().value(QStringLiteral("hue"))));
        }
        if (isBroken) {
            QTest::ignoreMessage(QtDebugMsg, "Failed to deserialize color preset");
        }
        selectRow(*m_dialog, "Preset");
        // The preset preview shows a broken preset as static grey.
        QCOMPARE(m_dialog->presetColor()->toData(), isBroken ? staticColorData(Qt::gray) : throughJson(preset));
        ChangeRecorder recorder(m_app->controller().document());
        if (isBroken) {
            QTest::ignoreMessage(QtDebugMsg, "Failed to deserialize color preset");
        }
        m_dialog->loadButton()->click();
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(throughJson(worldColor()->toData()), isBroken ? throughJson(before) : QVariant(expected));
        // A load reaches the document, so the project counts as changed and the preview refreshes.
        QCOMPARE(recorder.records().isEmpty() ? QString() : recorder.records().constLast(),
                 isBroken ? "" : "changed properties/worldColor");
    }

    void colorMenuLayout()
    {
        for (const bool withDefault : {false, true}) {
            const auto menu = colorMenu(withDefault);
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

    }
};

MOTIFEX_WIDGET_TEST_MAIN(ColorsTest)
#include "tst_colors.moc"
