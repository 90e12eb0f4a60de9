#include "doc/Document.h"
#include "doc/Properties.h"
#include "editors/DialogRun.h"
#include "editors/UpdateGuard.h"
#include "support/WidgetTestMain.h"

#include <QDialog>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(doc::UpdateState)

namespace {

// One opener of a shared dialog: records the results it heard.
class Opener : public QObject
{
public:
    void open(QDialog* dialog)
    {
        DialogRun::open(dialog, this, [this](int result) { results.append(result); });
    }

    QList<int> results;
};

} // namespace

class EditorBaseTest : public QObject
{
    Q_OBJECT

private slots:
    void guards_data()
    {
        QTest::addColumn<doc::UpdateState>("stateBefore");
        QTest::addColumn<bool>("isWriteRun");
        QTest::addColumn<bool>("isRefreshRun");
        QTest::newRow("idle") << doc::UpdateState::Idle << true << true;
        QTest::newRow("document update") << doc::UpdateState::DocumentUpdate << false << true;
        QTest::newRow("editor update") << doc::UpdateState::EditorUpdate << true << false;
    }

    void guards()
    {
        QFETCH(doc::UpdateState, stateBefore);
        QFETCH(bool, isWriteRun);
        QFETCH(bool, isRefreshRun);
        auto document = std::make_shared<doc::Document>();
        *document->update() = stateBefore;

        std::optional<doc::UpdateState> stateInWrite;
        QCOMPARE(UpdateGuard::write(document.get(), [&] { stateInWrite = *document->update(); }), isWriteRun);
        QCOMPARE(stateInWrite.has_value(), isWriteRun);
        if (isWriteRun) {
            QCOMPARE(*stateInWrite, doc::UpdateState::EditorUpdate);
        }
        QCOMPARE(*document->update(), stateBefore);

        std::optional<doc::UpdateState> stateInRefresh;
        const doc::DocumentElement* element = document->properties().get();
        QCOMPARE(UpdateGuard::refresh(element, [&] { stateInRefresh = *document->update(); }), isRefreshRun);
        QCOMPARE(stateInRefresh.has_value(), isRefreshRun);
        if (isRefreshRun) {
            QCOMPARE(*stateInRefresh, doc::UpdateState::DocumentUpdate);
        }
        QCOMPARE(*document->update(), stateBefore);
    }

    void aWriteInsideARefreshIsDropped()
    {
        auto document = std::make_shared<doc::Document>();
        bool isWritten = false;
        UpdateGuard::refresh(document.get(), [&] {
            UpdateGuard::write(document.get(), [&] { isWritten = true; });
        });
        QVERIFY(!isWritten);
        QCOMPARE(*document->update(), doc::UpdateState::Idle);
    }

    void guardsWithoutDocumentRun()
    {
        bool isWritten = false;
        QVERIFY(UpdateGuard::write(static_cast<doc::DocumentElement*>(nullptr), [&] { isWritten = true; }));
        QVERIFY(isWritten);
    }

    void dialogRunReachesOnlyTheLastOpener_data()
    {
        QTest::addColumn<bool>("isSecondOpenedWhileFirstRuns");
        QTest::newRow("one after the other") << false;
        QTest::newRow("second before the first finished") << true;
    }

    void dialogRunReachesOnlyTheLastOpener()
    {
        QFETCH(bool, isSecondOpenedWhileFirstRuns);
        QWidget window;
        window.show();
        QDialog dialog(&window);
        Opener first;
        Opener second;

        first.open(&dialog);
        QVERIFY(DialogRun::isOpenFor(&dialog, &first));
        if (!isSecondOpenedWhileFirstRuns) {
            dialog.reject();
            QTRY_COMPARE(first.results, QList<int>{QDialog::Rejected});
        }
        second.open(&dialog);
        QVERIFY(!DialogRun::isOpenFor(&dialog, &first));
        QVERIFY(DialogRun::isOpenFor(&dialog, &second));
        dialog.accept();
        QTRY_COMPARE(second.results, QList<int>{QDialog::Accepted});
        QVERIFY(!DialogRun::isOpenFor(&dialog, &second));

        // A further run of the first opener hears only its own answer.
        first.open(&dialog);
        dialog.reject();
        QTRY_COMPARE(first.results.size(), isSecondOpenedWhileFirstRuns ? 1 : 2);
        QCOMPARE(first.results.last(), int(QDialog::Rejected));
        QCOMPARE(second.results, QList<int>{QDialog::Accepted});
    }

    void openingTwiceForOneOpenerAnswersOnce()
    {
        QWidget window;
        window.show();
        QDialog dialog(&window);
        Opener opener;
        opener.open(&dialog);
        opener.open(&dialog);
        dialog.accept();
        // A leaked first connection would deliver the answer twice in the same round of events.
        QTRY_COMPARE(opener.results, QList<int>{QDialog::Accepted});
    }

    void aDestroyedOpenerHearsNothing()
    {
        QWidget window;
        window.show();
        QDialog dialog(&window);
        auto opener = std::make_unique<Opener>();
        opener->open(&dialog);
        opener.reset();
        dialog.accept();
        QVERIFY(!dialog.isVisible());
    }
};

MOTIFEX_WIDGET_TEST_MAIN(EditorBaseTest)
#include "tst_editorbase.moc"
