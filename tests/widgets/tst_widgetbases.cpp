#include "doc/Document.h"
#include "doc/Properties.h"
#include "support/AppFixture.h"
#include "support/WidgetTestMain.h"
#include "widgets/ActionButton.h"
#include "widgets/DocumentEditor.h"
#include "widgets/FramedControl.h"

#include <QStyle>
#include <QtTest>

using motifex::test::AppFixture;

namespace {

// A framed control that counts its paints.
class CountingControl : public FramedControl
{
public:
    using FramedControl::FramedControl;
    int paintCount = 0;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paintCount;
        FramedControl::paintEvent(event);
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
    }
    return palette;
}

// The primary and secondary line colours: greys of these values.
QList<QColor> lineColours(float primary, float secondary)
{
    return {QColor::fromHsvF(0, 0, primary, 1), QColor::fromHsvF(0, 0, secondary, 1)};
}

QList<QColor> lineColours(const FramedControl& control)
{
    return {control.primaryLineColor(), control.secondaryLineColor()};
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
        auto editor = std::make_unique<RecordingEditor>();
        QCOMPARE(editor->editedDocument(), app.document());
        app.document()->properties()->setCanvasMargin(geo::Length(3000000));
        QCOMPARE(editor->calls, QStringList({"changed properties/canvasMargin"}));
        app.document()->resetToDefault();
        QCOMPARE(editor->calls.last(), QStringLiteral("reset"));
        editor.reset();
        // A removed listener is never called again (ASan would catch a dangling one).
        app.document()->properties()->setCanvasMargin(geo::Length(4000000));
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

    // Switching between light and dark appearance swaps the line colours and repaints; so does disabling,
    // for the palette of the new state. Inside a window, as every framed control of the program is.
    void lineColoursFollowThePaletteAndTheEnabledState()
    {
        QWidget window;
        CountingControl control(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(lineColours(control), lineColours(0.4f, 0.6f));

        int paints = control.paintCount;
        QApplication::setPalette(appearance(true));
        // Widgets hear of a new application palette through the event loop.
        QTRY_COMPARE(lineColours(control), lineColours(0.6f, 0.4f));
        QTRY_VERIFY(control.paintCount > paints);
        QApplication::setPalette(appearance(false));
        QTRY_COMPARE(lineColours(control), lineColours(0.4f, 0.6f));

        // A light text colour only in the disabled group.
        QPalette palette = appearance(false);
        palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(230, 230, 230));
        control.setPalette(palette);
        paints = control.paintCount;
        control.setEnabled(false);
        QCOMPARE(lineColours(control), lineColours(0.6f, 0.4f));
        QTRY_VERIFY(control.paintCount > paints);
    }
};

MOTIFEX_WIDGET_TEST_MAIN(WidgetBasesTest)
#include "tst_widgetbases.moc"
