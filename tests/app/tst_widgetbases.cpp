#include "app/ActionButton.h"
#include "app/DocumentEditor.h"
#include "app/FramedControl.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "support/AppFixture.h"
#include "support/WidgetTestMain.h"

#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QtTest>

using motifex::test::AppFixture;

namespace {

// Counts its paints and can paint its panel in a given colour.
class CountingControl : public FramedControl
{
public:
    explicit CountingControl(QWidget* parent = nullptr)
        : FramedControl(parent)
    {
    }

    int paintCount = 0;
    QColor background;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paintCount;
        if (!background.isValid()) {
            FramedControl::paintEvent(event);
            return;
        }
        QPainter painter(this);
        paintPanel(&painter, background);
    }
};

class RecordingEditor : public DocumentEditor
{
public:
    QStringList calls;
    std::shared_ptr<doc::Document> editedDocument() const { return document(); }

    void onDocumentPropertyChanged(const QString& path, const doc::DocumentElement* /*element*/) override
    {
        calls.append(QStringLiteral("changed ") + path);
    }
    void onDocumentElementReset() override { calls.append(QStringLiteral("reset")); }
};

QPalette appearance(bool isDark)
{
    QPalette palette = QApplication::style()->standardPalette();
    if (isDark) {
        palette.setColor(QPalette::Window, QColor(40, 40, 40));
        palette.setColor(QPalette::WindowText, QColor(230, 230, 230));
        palette.setColor(QPalette::Base, QColor(30, 30, 30));
        palette.setColor(QPalette::Text, QColor(230, 230, 230));
    }
    return palette;
}

QColor grey(float value)
{
    return QColor::fromHsvF(0, 0, value, 1);
}

} // namespace

class WidgetBasesTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        // An application style sheet (left by a started controller) keeps QApplication::setPalette from
        // reaching the widgets; these tests are about the widgets' own reaction.
        qApp->setStyleSheet(QString());
        QApplication::setPalette(appearance(false));
    }

    void documentEditorListensForItsWholeLife()
    {
        AppFixture app;
        const auto document = app.controller().document();
        auto editor = std::make_unique<RecordingEditor>();
        QCOMPARE(editor->editedDocument(), document);
        document->properties()->setCanvasMargin(geo::Length(3000000));
        QCOMPARE(editor->calls, QStringList{QStringLiteral("changed properties/canvasMargin")});
        document->resetToDefault();
        QCOMPARE(editor->calls.last(), QStringLiteral("reset"));
        editor.reset();
        // A removed listener is never called again (ASan would catch a dangling one).
        document->properties()->setCanvasMargin(geo::Length(4000000));
    }

    void actionButtonShowsItsGlyphs()
    {
        ActionButton plain(0xf067, nullptr);
        QCOMPARE(plain.minimumSize(), QSize(24, 24));
        QCOMPARE(plain.maximumSize(), QSize(24, 24));
        QCOMPARE(plain.text(), QString(QChar(0xf067)));
        QCOMPARE(plain.font().family(), QStringLiteral("Font Awesome 6 Pro"));
        QVERIFY(!plain.isCheckable());

        ActionButton checkable(0xf070, 0xf06e, nullptr);
        checkable.show();
        QCOMPARE(checkable.text(), QString(QChar(0xf070)));
        QTest::mouseClick(&checkable, Qt::LeftButton);
        QVERIFY(checkable.isChecked());
        QCOMPARE(checkable.text(), QString(QChar(0xf06e)));
        QTest::mouseClick(&checkable, Qt::LeftButton);
        QCOMPARE(checkable.text(), QString(QChar(0xf070)));
    }

    void lineColoursFollowTheAppearance()
    {
        QApplication::setPalette(appearance(false));
        // Inside a window, as every framed control of the program is.
        QWidget window;
        CountingControl control(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(control.primaryLineColor(), grey(0.4f));
        QCOMPARE(control.secondaryLineColor(), grey(0.6f));

        const int paintsBefore = control.paintCount;
        QApplication::setPalette(appearance(true));
        // Widgets hear of a new application palette through the event loop.
        QTRY_COMPARE(control.primaryLineColor(), grey(0.6f));
        QCOMPARE(control.secondaryLineColor(), grey(0.4f));
        QTRY_VERIFY(control.paintCount > paintsBefore);

        QApplication::setPalette(appearance(false));
        QTRY_COMPARE(control.primaryLineColor(), grey(0.4f));
        QCOMPARE(control.secondaryLineColor(), grey(0.6f));
    }

    void disablingRecomputesAndRepaints()
    {
        QWidget window;
        CountingControl control(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A dark text colour only in the disabled group: the colours are computed for the new state.
        QPalette palette = appearance(true);
        palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(20, 20, 20));
        control.setPalette(palette);
        QCOMPARE(control.primaryLineColor(), grey(0.6f));
        const int paintsBefore = control.paintCount;
        control.setEnabled(false);
        QCOMPARE(control.primaryLineColor(), grey(0.4f));
        QTRY_VERIFY(control.paintCount > paintsBefore);
    }

    void panelTakesTheGivenBackground()
    {
        CountingControl control;
        control.background = QColor(200, 30, 60);
        control.resize(60, 40);
        const QImage image = control.grab().toImage();
        QCOMPARE(image.pixelColor(30, 20), control.background);
        // The frame line is drawn by the style, not in the background colour.
        QVERIFY(image.pixelColor(0, 20) != control.background);
    }
};

MOTIFEX_WIDGET_TEST_MAIN(WidgetBasesTest)
#include "tst_widgetbases.moc"
