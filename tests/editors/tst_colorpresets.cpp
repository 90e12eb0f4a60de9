#include "app/ActionButton.h"
#include "doc/Color.h"
#include "doc/ColorManager.h"
#include "doc/DynamicValue.h"
#include "editors/ColorPresetDialog.h"
#include "editors/ColorPreviewWidget.h"
#include "support/EditorTesting.h"
#include "support/ModalAnswerer.h"

#include <QDir>
#include <QInputDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QStandardPaths>
#include <QTreeWidget>

using namespace motifex::test;

namespace {

QDir presetFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/colors"));
}

QJsonObject presetFile(const QString& identifier)
{
    QFile file(presetFolder().filePath(QStringLiteral("color_%1.json").arg(identifier)));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object();
}

void writePresetFile(const QString& identifier, const QString& name, const QVariant& data)
{
    presetFolder().mkpath(QStringLiteral("."));
    QFile file(presetFolder().filePath(QStringLiteral("color_%1.json").arg(identifier)));
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QJsonObject object{{"identifier", identifier}, {"name", name}, {"data", QJsonValue::fromVariant(data)}};
    file.write(QJsonDocument(object).toJson());
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

QVariant sunsetData()
{
    doc::Color color(nullptr);
    color.setStaticColor(QColor("#ff8040"));
    color.hue()->setInput(doc::DynamicValueInput::Y);
    return color.toData();
}

QVariant grayData()
{
    doc::Color color(nullptr);
    color.setStaticColor(QColor(Qt::gray));
    return color.toData();
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

class ColorPresetsTest : public QObject
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
        QCOMPARE(m_dialog->loadButton()->toolTip(), QStringLiteral("Load the selected preset and replace the edited color."));
        QCOMPARE(m_dialog->newButton()->toolTip(), QStringLiteral("Create a new preset from the edited color."));
        QCOMPARE(m_dialog->updateButton()->toolTip(), QStringLiteral("Update the selected preset with the edited color."));
        QCOMPARE(m_dialog->renameButton()->toolTip(), QStringLiteral("Rename the selected preset."));
        QCOMPARE(m_dialog->removeButton()->toolTip(), QStringLiteral("Remove the selected preset."));

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
        QTest::newRow("readable") << false;
        QTest::newRow("broken") << true;
    }

    void load()
    {
        QFETCH(bool, isBroken);
        writePresetFile("preset", "Preset", isBroken ? QVariant(brokenColorData()) : sunsetData());
        startDialog();
        const QVariant before = worldColor()->toData();
        if (isBroken) {
            QTest::ignoreMessage(QtDebugMsg, "Failed to deserialize color preset");
        }
        selectRow(*m_dialog, "Preset");
        // The preset preview shows a broken preset as static grey.
        QCOMPARE(m_dialog->presetColor()->toData(), isBroken ? grayData() : throughJson(sunsetData()));
        ChangeRecorder recorder(m_app->controller().document());
        if (isBroken) {
            QTest::ignoreMessage(QtDebugMsg, "Failed to deserialize color preset");
        }
        m_dialog->loadButton()->click();
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(worldColor()->toData(), isBroken ? before : throughJson(sunsetData()));
        // A load reaches the document, so the project counts as changed and the preview refreshes.
        QCOMPARE(recorder.records().isEmpty() ? QString() : recorder.records().constLast(),
                 isBroken ? "" : "changed properties/worldColor");
    }
};

MOTIFEX_WIDGET_TEST_MAIN(ColorPresetsTest)
#include "tst_colorpresets.moc"
