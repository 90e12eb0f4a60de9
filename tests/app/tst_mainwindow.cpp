#include "app/CanvasPreviewFrame.h"
#include "app/MainWindow.h"
#include "support/AppFixture.h"
#include "support/WidgetTestMain.h"

#include <QAction>
#include <QtTest>

using motifex::test::AppFixture;

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void startsWithNewProjectTitle()
    {
        AppFixture app;
        QVERIFY(app.isStarted());
        QCOMPARE(app.window()->windowTitle(), QStringLiteral("<new project>[*] - Motifex v2.6.0"));
    }

    void generateShowsPattern()
    {
        AppFixture app;
        QTest::keyClick(app.window(), Qt::Key_R, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(!app.window()->preview()->svgData().isEmpty(), 60000);
        QTRY_VERIFY(app.window()->generateAction()->isEnabled());
    }
};

MOTIFEX_WIDGET_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
