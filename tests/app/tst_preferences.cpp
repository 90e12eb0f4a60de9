#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
#include "support/WidgetTestMain.h"

#include "app/MainWindow.h"
#include "app/PreferencesDialog.h"
#include "app/UpdateCheck.h"

#include <QCheckBox>
#include <QComboBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSettings>
#include <QThreadPool>
#include <QtTest>

using motifex::test::AppFixture;
using motifex::test::ModalAnswerer;

namespace {

PreferencesDialog* openPreferences(AppFixture& app)
{
    PreferencesDialog* dialog = app.window()->preferencesDialog();
    dialog->open();
    return QTest::qWaitForWindowExposed(dialog) ? dialog : nullptr;
}

} // namespace

class PreferencesTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
    }

    void storedThreadCountIsShown_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("poolSize");
        QTest::newRow("none") << QVariant() << "16 Threads" << 16;
        QTest::newRow("a choice") << QVariant(48) << "48 Threads" << 48;
        QTest::newRow("not a choice") << QVariant(20) << "16 Threads" << 20;
        QTest::newRow("beyond the choices") << QVariant(500) << "16 Threads" << 128;
    }

    void storedThreadCountIsShown()
    {
        QFETCH(QVariant, stored);
        QFETCH(QString, shown);
        QFETCH(int, poolSize);
        if (stored.isValid()) {
            QSettings().setValue("maxThreadCount", stored);
        }
        AppFixture app;
        PreferencesDialog* dialog = openPreferences(app);
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Application Preferences"));
        QCOMPARE(dialog->findChild<QComboBox*>()->currentText(), shown);
        // Showing the choice writes nothing: the pool keeps what start-up gave it.
        QCOMPARE(QThreadPool::globalInstance()->maxThreadCount(), poolSize);
        QCOMPARE(QSettings().value("maxThreadCount"), stored);
    }

    void choosingThreadCountTakesEffect()
    {
        QSettings().setValue("maxThreadCount", 20);
        AppFixture app;
        PreferencesDialog* dialog = openPreferences(app);
        QVERIFY(dialog);
        auto* threadCount = dialog->findChild<QComboBox*>();
        QStringList choices;
        for (int index = 0; index < threadCount->count(); ++index) {
            choices.append(threadCount->itemText(index));
        }
        QCOMPARE(choices, QStringList({"8 Threads", "12 Threads", "16 Threads", "24 Threads", "32 Threads",
                                       "48 Threads", "64 Threads", "96 Threads", "128 Threads"}));

        threadCount->setFocus();
        QTest::keyClick(threadCount, Qt::Key_End);
        QCOMPARE(threadCount->currentText(), QStringLiteral("128 Threads"));
        QCOMPARE(QThreadPool::globalInstance()->maxThreadCount(), 128);
        QCOMPARE(QSettings().value("maxThreadCount").toInt(), 128);

        QTest::keyClick(threadCount, Qt::Key_Home);
        QCOMPARE(QThreadPool::globalInstance()->maxThreadCount(), 8);
        QCOMPARE(QSettings().value("maxThreadCount").toInt(), 8);
    }

    void updateCheckBoxIsStoredAtOnce()
    {
        AppFixture app;
        PreferencesDialog* dialog = openPreferences(app);
        QVERIFY(dialog);
        auto* updateCheck = dialog->findChild<QCheckBox*>();
        QCOMPARE(updateCheck->text(),
                 QStringLiteral("Automatically check for updates after the application is started."));
        QVERIFY(updateCheck->isChecked());
        QTest::mouseClick(updateCheck, Qt::LeftButton);
        QCOMPARE(QSettings().value("updateCheck"), QVariant(false));
        QTest::keyClick(dialog, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(QSettings().value("updateCheck"), QVariant(false));
    }

    // Each use of the link shows a fresh body, indented and signed with the display secret.
    void linkShowsIndentedRequestData()
    {
        AppFixture app;
        PreferencesDialog* dialog = openPreferences(app);
        QVERIFY(dialog);
        auto* description = dialog->findChild<QLabel*>("updateCheckDesciption");
        QVERIFY(description->text().contains("Click <a href=\"#\">here</a> to see the data"));
        QStringList salts;
        for (int use = 0; use < 2; ++use) {
            ModalAnswerer answerer;
            answerer.clickStandardButton(QMessageBox::Ok);
            // The label reports a click on its link this way.
            emit description->linkActivated(QStringLiteral("#"));
            QTRY_VERIFY(answerer.isDone());
            const auto box = answerer.lastRecord();
            QCOMPARE(box.title, QStringLiteral("Example Request Data"));
            QVERIFY(box.text.startsWith("<pre>{\n    \"application\": \"Motifex\",\n    \"installation\": \""));
            QVERIFY(box.text.endsWith("}\n</pre>"));
            const QJsonObject sample = QJsonDocument::fromJson(box.text.mid(5, box.text.size() - 11).toUtf8()).object();
            const UpdateCheck::RequestFields fields{sample.value("time").toString(), sample.value("application").toString(),
                                                    sample.value("version").toString(),
                                                    sample.value("installation").toString(), sample.value("salt").toString()};
            QCOMPARE(fields.installation, UpdateCheck::installationHash(QSettings().value("installationId").toString()));
            QCOMPARE(sample.value("signature").toString(), UpdateCheck::signature(fields, UpdateCheck::displaySecret));
            QCOMPARE(sample.size(), 6);
            salts.append(fields.salt);
        }
        QVERIFY(salts.first() != salts.last());
    }
};

MOTIFEX_WIDGET_TEST_MAIN(PreferencesTest)
#include "tst_preferences.moc"
