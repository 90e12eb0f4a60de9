// The main window on the user's screen: its first size and place, its minimum size with every tab, and
// the status line at the first size of a large screen. CTest also runs this program on large and
// laptop-sized X screens.
#include "app/CanvasPreviewFrame.h"
#include "app/MainWindow.h"
#include "app/StatusFrame.h"
#include "doc/Document.h"
#include "editors/PropertiesFrame.h"
#include "editors/PropertyTab.h"
#include "generator/GeneratorManager.h"
#include "support/AppFixture.h"
#include "support/RunDocuments.h"
#include "support/WidgetTestMain.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QTabWidget>
#include <QtTest>

#include <atomic>

using motifex::test::AppFixture;

namespace {

// What a desktop leaves for windows on a laptop's 1366 × 768 screen, less a title bar.
constexpr int laptopWindowHeight = 700;
constexpr int laptopScreenWidth = 1366;

StatusFrame* statusOf(AppFixture& app)
{
    return app.window()->preview()->status();
}

QLabel* statusLabel(AppFixture& app)
{
    return statusOf(app)->findChild<QLabel*>(QStringLiteral("statusLabel"));
}

QLabel* statisticLabel(AppFixture& app)
{
    return statusOf(app)->findChild<QLabel*>(QStringLiteral("statisticLabel"));
}

void settleLayouts()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// The window as it first opens on a 1600 × 1000 screen, wherever the test runs.
void showAsOnALargeScreen(AppFixture& app)
{
    app.window()->resize(MainWindow::firstGeometry(QRect(0, 0, 1600, 1000), app.window()->minimumSize()).size());
    settleLayouts();
}

QScrollArea* pageOf(PropertyTab* tab)
{
    return qobject_cast<QScrollArea*>(tab->parentWidget()->parentWidget());
}

QRect globalRect(QWidget* widget)
{
    return {widget->mapToGlobal(QPoint(0, 0)), widget->size()};
}

QPushButton* generateButton(AppFixture& app)
{
    for (QPushButton* button : app.window()->findChildren<QPushButton*>()) {
        if (button->text() == QLatin1String("Generate Pattern")) {
            return button;
        }
    }
    return nullptr;
}

// A steady clock the test sets by hand; worker threads read it while a run throttles its progress.
struct HandClock {
    std::shared_ptr<std::atomic<qint64>> now = std::make_shared<std::atomic<qint64>>(0);

    void install(StatusFrame* status)
    {
        status->setClock([now = now] { return now->load(); });
    }
    void set(qint64 milliseconds) { now->store(milliseconds); }
};

} // namespace

class WindowSizeTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void firstGeometry_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QRect>("first");
        const QSize minimum(857, 477);
        QTest::newRow("large") << QRect(0, 0, 1600, 1000) << minimum << QRect(200, 125, 1200, 750);
        QTest::newRow("large under a panel") << QRect(0, 32, 1600, 968) << minimum << QRect(200, 153, 1200, 726);
        QTest::newRow("laptop") << QRect(0, 0, 1366, 768) << minimum << QRect(171, 96, 1024, 576);
        QTest::newRow("laptop under a panel") << QRect(0, 27, 1366, 741) << minimum << QRect(171, 120, 1024, 555);
        QTest::newRow("second screen") << QRect(1600, -200, 2560, 1440) << minimum << QRect(1920, -20, 1920, 1080);
        // The minimum wins; a window wider than the area keeps its left edge on it.
        QTest::newRow("tiny") << QRect(0, 0, 800, 600) << minimum << QRect(0, 61, 857, 477);
        QTest::newRow("tiny on the right") << QRect(1600, 0, 640, 480) << minimum << QRect(1600, 1, 857, 477);
    }

    void firstGeometry()
    {
        QFETCH(QRect, available);
        QFETCH(QSize, minimum);
        QFETCH(QRect, first);
        QCOMPARE(MainWindow::firstGeometry(available, minimum), first);
    }

    void windowOpensAtTheFirstGeometry_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::newRow("nothing stored") << QVariant();
        QTest::newRow("unreadable") << QVariant(QByteArray("not a window geometry"));
    }

    // On the screen this runs on: the window at its first geometry, and where the screen can hold the
    // window's minimum, "Generate Pattern" and the status line on the screen.
    void windowOpensAtTheFirstGeometry()
    {
        QFETCH(QVariant, stored);
        if (stored.isValid()) {
            QSettings().setValue(QStringLiteral("mainwindow.geometry"), stored);
        }
        AppFixture app;
        MainWindow* window = app.window();
        settleLayouts();
        const QRect available = window->screen()->availableGeometry();
        const QRect first = MainWindow::firstGeometry(available, window->minimumSize());
        QCOMPARE(window->size(), first.size());
        QCOMPARE(window->pos(), first.topLeft());
        if (available.width() >= window->minimumWidth() && available.height() >= window->minimumHeight()) {
            QVERIFY(available.contains(window->frameGeometry()));
            QVERIFY(available.contains(globalRect(generateButton(app))));
            QVERIFY(available.contains(globalRect(statusOf(app))));
        }
    }

    // The tab's contents scroll instead of raising the window's minimum; each tab stays whole and
    // reachable at the smallest window, and on a tall window no tab scrolls.
    void minimumSizeWithEveryTab()
    {
        AppFixture app;
        MainWindow* window = app.window();
        PropertiesFrame* panel = window->propertiesFrame();
        for (int index = 0; index < panel->tabWidget()->count(); ++index) {
            PropertyTab* tab = panel->tab(index);
            panel->showTab(tab);
            settleLayouts();
            QVERIFY2(window->minimumHeight() <= laptopWindowHeight, qPrintable(tab->title()));
            QVERIFY2(window->minimumWidth() <= laptopScreenWidth, qPrintable(tab->title()));

            window->resize(window->minimumSize());
            settleLayouts();
            QScrollArea* page = pageOf(tab);
            QVERIFY(page != nullptr);
            QVERIFY(tab->width() >= tab->minimumSizeHint().width());
            QVERIFY(tab->height() >= tab->minimumSizeHint().height());
            QCOMPARE(page->verticalScrollBar()->maximum(), tab->height() - page->viewport()->height());

            window->resize(1200, 1000);
            settleLayouts();
            QTRY_VERIFY2(!page->verticalScrollBar()->isVisible(), qPrintable(tab->title()));
            QCOMPARE(tab->size(), page->viewport()->size());
        }
    }

    void progressTextsShowWholeOnOneLine_data()
    {
        QTest::addColumn<QString>("task");
        QTest::addColumn<int>("perMille");
        QTest::addColumn<qint64>("elapsed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("preparing") << "Preparing Points" << 194 << qint64(123)
                                   << "Preparing Points... (19.4%) Elapsed time: 00.123";
        QTest::newRow("placing") << "Placing Items" << 1000 << qint64(62345)
                                 << "Placing Items... (100.0%) Elapsed time: 01:02.345";
    }

    void progressTextsShowWholeOnOneLine()
    {
        QFETCH(QString, task);
        QFETCH(int, perMille);
        QFETCH(qint64, elapsed);
        QFETCH(QString, shown);
        AppFixture app;
        showAsOnALargeScreen(app);
        HandClock clock;
        clock.install(statusOf(app));
        statusOf(app)->startWork();
        statusOf(app)->onTaskStarted(task);
        clock.set(elapsed);
        statusOf(app)->onProgress(perMille);
        settleLayouts();
        QCOMPARE(statusLabel(app)->text(), shown);
        QCOMPARE(statusLabel(app)->toolTip(), QString());
        statusOf(app)->endWork(Generator::RunStatus::Cancelled);
    }

    void finishedRunShowsBesideItsStatistic()
    {
        AppFixture app;
        showAsOnALargeScreen(app);
        HandClock clock;
        clock.install(statusOf(app));
        app.window()->onGenerate();
        clock.set(1135);
        QVERIFY(app.waitForRunEnd());
        settleLayouts();
        QCOMPARE(statusLabel(app)->text(), QStringLiteral("Work done in 01.135"));
        QVERIFY(statisticLabel(app)->isVisible());
        QVERIFY(statisticLabel(app)->text().endsWith(QLatin1String("mm")));
        QVERIFY(statusLabel(app)->geometry().right() < statisticLabel(app)->geometry().left());
        QCOMPARE(statisticLabel(app)->width(), statisticLabel(app)->sizeHint().width());
    }

    // The reason and its advice stay readable; the earlier run's statistic steps aside while it stands.
    void refusedRunShowsItsWholeReason()
    {
        AppFixture app;
        showAsOnALargeScreen(app);
        QVERIFY(app.generate());
        motifex::test::makeRefusedDocument(app.document());
        QVERIFY(app.generate());
        settleLayouts();
        const QString reason = GeneratorManager::instance()->get(QStringLiteral("pointgrid"))->runMessage();
        QVERIFY(reason.endsWith(QLatin1String("Choose a coarser precision or a smaller canvas.")));
        const QString shown = statusLabel(app)->text();
        QVERIFY(shown.count(QLatin1Char('\n')) <= 1);
        QCOMPARE(QString(shown).replace(QLatin1Char('\n'), QLatin1Char(' ')), reason);
        QCOMPARE(statusLabel(app)->toolTip(), QString());
        QVERIFY(!statisticLabel(app)->isVisible());

        // The next run brings the statistic back.
        app.document()->resetToDefault();
        QVERIFY(app.generate());
        QVERIFY(statisticLabel(app)->isVisible());
    }

    // Made narrower, the line first wraps a text to its second line; only then is it shortened.
    void narrowWindowWrapsBeforeShortening()
    {
        AppFixture app;
        showAsOnALargeScreen(app);
        const QString text = QStringLiteral("Placing Items... (100.0%) Elapsed time: 01:02.345");
        HandClock clock;
        clock.install(statusOf(app));
        statusOf(app)->startWork();
        statusOf(app)->onTaskStarted(QStringLiteral("Placing Items"));
        clock.set(62345);
        statusOf(app)->onProgress(1000);
        QLabel* label = statusLabel(app);
        const int textWidth = label->fontMetrics().horizontalAdvance(text);
        // Two thirds of the text's width: too narrow for one line, wide enough for two.
        app.window()->resize(app.window()->width() - (label->width() - textWidth * 2 / 3), app.window()->height());
        settleLayouts();
        QVERIFY(label->width() < textWidth);
        QCOMPARE(label->text().count(QLatin1Char('\n')), 1);
        QCOMPARE(QString(label->text()).replace(QLatin1Char('\n'), QLatin1Char(' ')), text);
        QCOMPARE(label->toolTip(), QString());

        app.window()->resize(app.window()->minimumSize());
        settleLayouts();
        QCOMPARE(label->toolTip(), text);
        QCOMPARE(statusOf(app)->statusText(), text);
        statusOf(app)->endWork(Generator::RunStatus::Cancelled);
    }
};

MOTIFEX_WIDGET_TEST_MAIN(WindowSizeTest)
#include "tst_windowsize.moc"
