#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include "app/CanvasPreview.h"
#include "app/CanvasPreviewFrame.h"
#include "app/ExampleDialog.h"
#include "app/FileIO.h"
#include "app/MainWindow.h"
#include "canvas/Canvas.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "shape/Manager.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSettings>
#include <QSvgWidget>
#include <QThreadPool>
#include <QtTest>

using namespace motifex::test;

namespace {

// The shipped examples in file-name order; the broken ones of this test's own resources
// (tst_gallery_broken.qrc) lie between them and must not be listed.
const QStringList shippedPaths{":/examples/01-ocean-bubbles.mtfx", ":/examples/02-autumn-leaves.mtfx",
                               ":/examples/03-night-sky.mtfx",     ":/examples/04-heart-garden.mtfx",
                               ":/examples/05-rainbow-arrows.mtfx", ":/examples/06-honeycomb.mtfx",
                               ":/examples/07-crossroads.mtfx",    ":/examples/08-mountain-rain.mtfx"};
const QStringList shippedNames{"Ocean Bubbles", "Autumn Leaves", "Night Sky",  "Heart Garden",
                               "Rainbow Arrows", "Honeycomb",   "Crossroads", "Mountain Rain"};

QListWidget* exampleList(ExampleDialog& dialog)
{
    return dialog.findChild<QListWidget*>(QStringLiteral("exampleList"));
}

bool waitForRows(ExampleDialog& dialog)
{
    return QTest::qWaitFor([&dialog] { return exampleList(dialog)->count() > 0; }, 20000);
}

QAbstractButton* dialogButton(ExampleDialog& dialog, QDialogButtonBox::StandardButton which)
{
    return dialog.findChild<QDialogButtonBox*>()->button(which);
}

// How many different colours a widget shows; a few for an empty panel, many for a pattern.
int colourCount(QWidget* widget)
{
    const QImage image = widget->grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            colours.insert(image.pixel(x, y));
        }
    }
    return int(colours.size());
}

// The shape definitions of a rendered pattern, then the definition each item uses, in drawing order.
QStringList shapesDrawn(const QByteArray& svg)
{
    const QString text = QString::fromUtf8(svg);
    QStringList drawn{text.section(QStringLiteral("<defs>"), 1).section(QStringLiteral("</defs>"), 0, 0)};
    static const QRegularExpression use(QStringLiteral("xlink:href=\"(#shape_\\d+)\""));
    for (const QRegularExpressionMatch& match : use.globalMatch(text)) {
        drawn.append(match.captured(1));
    }
    return drawn;
}

// The gallery as the user opens it, from the menu entry; null when it did not show.
ExampleDialog* openGallery(AppFixture& app)
{
    actionWithText(app.window(), QStringLiteral("Open Example..."))->trigger();
    auto* dialog = app.window()->findChild<ExampleDialog*>();
    return dialog != nullptr && QTest::qWaitFor([dialog] { return dialog->isVisible(); }) ? dialog : nullptr;
}

QJsonObject readJson(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
}

} // namespace

class GalleryTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QSettings().clear(); }

    void listShowsExamplesInFileOrder()
    {
        AppFixture app;
        const std::size_t shapeCount = shape::Manager::instance()->shapeCount();
        ExampleDialog dialog(app.window());
        dialog.open();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select an Example"));
        QVERIFY(waitForRows(dialog));
        QListWidget* list = exampleList(dialog);
        QStringList names;
        for (int row = 0; row < list->count(); ++row) {
            const QListWidgetItem* item = list->item(row);
            names.append(item->text());
            QCOMPARE(item->data(Qt::UserRole).toString(), shippedPaths.value(row));
            const QString notes = readJson(shippedPaths.value(row)).value("properties").toObject().value("notes").toString();
            QVERIFY(!notes.isEmpty());
            QCOMPARE(item->toolTip(), notes);
            QCOMPARE(item->sizeHint(), QSize(100, 32));
        }
        QCOMPARE(names, shippedNames);
        // Listing reads the files alone: the night sky's own shape is not imported.
        QCOMPARE(shape::Manager::instance()->shapeCount(), shapeCount);

        // The first example is selected and previewed as soon as the list arrives.
        QCOMPARE(dialog.selectedExamplePath(), shippedPaths.first());
        auto* preview = dialog.findChild<CanvasPreview*>();
        QCOMPARE(preview->background(), QColor("#04202f"));
        QVERIFY(colourCount(dialog.findChild<QSvgWidget*>()) > 20);
        // The preview follows the selection; without a background the pattern lies on the dialog's colour.
        clickRow(list, 3);
        QCOMPARE(dialog.selectedExamplePath(), shippedPaths.value(3));
        QCOMPARE(preview->background(), QColor("#fbeef0"));
        clickRow(list, 7);
        QCOMPARE(preview->background(), dialog.palette().color(QPalette::Window));
        QVERIFY(colourCount(dialog.findChild<QSvgWidget*>()) > 20);
    }

    void closeLeavesDocumentUnchanged()
    {
        AppFixture app;
        const QVariant before = app.document()->toData();
        ExampleDialog dialog(app.window());
        dialog.open();
        QVERIFY(waitForRows(dialog));
        clickRow(exampleList(dialog), 4);
        QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Close), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(app.document()->toData(), before);

        // Opening it again keeps the list and the selection; the dialog itself never loads the example.
        dialog.open();
        QCOMPARE(exampleList(dialog)->count(), shippedPaths.size());
        QCOMPARE(dialog.selectedExamplePath(), shippedPaths.value(4));
        QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Open), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(app.document()->toData(), before);
    }

    // Where the user put the gallery and how large they made it outlives the session; with nothing
    // stored it opens at its default size.
    void geometryIsKeptBetweenSessions()
    {
        const QRect placed(0, 120, 800, 660);
        {
            AppFixture app;
            ExampleDialog* dialog = openGallery(app);
            QVERIFY(dialog);
            QCOMPARE(dialog->size(), QSize(800, 600));
            dialog->move(placed.topLeft());
            dialog->resize(placed.size());
            QCOMPARE(QRect(dialog->pos(), dialog->size()), placed);
            QTest::mouseClick(dialogButton(*dialog, QDialogButtonBox::Close), Qt::LeftButton);
            QVERIFY(!dialog->isVisible());
            QVERIFY(app.window()->close());
        }
        QVERIFY(QSettings().contains(QStringLiteral("exampleDialog.geometry")));
        {
            AppFixture app;
            ExampleDialog* dialog = openGallery(app);
            QVERIFY(dialog);
            QCOMPARE(QRect(dialog->pos(), dialog->size()), placed);
            QTest::mouseClick(dialogButton(*dialog, QDialogButtonBox::Close), Qt::LeftButton);
            QVERIFY(app.window()->close());
        }
        QSettings().clear();
        {
            AppFixture app;
            ExampleDialog* dialog = openGallery(app);
            QVERIFY(dialog);
            QCOMPARE(dialog->size(), QSize(800, 600));
        }
    }

    // Looking at the night sky leaves the user's shapes and their folder alone, while the preview draws
    // the example's own shape; Open brings the shape in as any project with shapes does.
    void lookingAtAnExampleLeavesTheUserShapesAlone()
    {
        const int nightSky = 2;
        const QString sparkle =
            readJson(shippedPaths.at(nightSky)).value("shapes").toArray().first().toObject().value("identifier").toString();
        QDir shapeFolder(shape::Manager::getShapeStorageDir());
        // Another test may have opened the example before.
        for (const QString& name : shapeFolder.entryList(QDir::Files)) {
            QVERIFY(shapeFolder.remove(name));
        }
        AppFixture app;
        const shape::Manager* shapes = shape::Manager::instance();
        const std::size_t shapeCount = shapes->shapeCount();
        QByteArray gallerySvg;
        ModalAnswerer answerer;
        answerer.answer([&](QWidget* widget) {
            auto* dialog = qobject_cast<ExampleDialog*>(widget);
            QVERIFY(dialog != nullptr && waitForRows(*dialog));
            clickRow(exampleList(*dialog), nightSky);
            QCOMPARE(dialog->selectedExamplePath(), shippedPaths.at(nightSky));
            gallerySvg = dialog->findChild<CanvasPreview*>()->svgData();
            QCOMPARE(shapeFolder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
            QCOMPARE(shapes->shapeCount(), shapeCount);
            QVERIFY(!shapes->hasShapeId(sparkle));
            QTest::mouseClick(dialogButton(*dialog, QDialogButtonBox::Open), Qt::LeftButton);
        });
        app.window()->showExampleGallery();
        QTRY_VERIFY(answerer.isDone());
        QTRY_COMPARE(app.document()->properties()->name(), shippedNames.at(nightSky));
        QCOMPARE(shapes->shapeCount(), shapeCount + 1);
        QVERIFY(shapes->hasShapeId(sparkle));
        QCOMPARE(shapeFolder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList({QStringLiteral("shape_%1.json").arg(sparkle)}));
        // The gallery drew the shape as the main preview draws it now that the database holds it (the
        // example's rotations are random, so only the shapes are compared).
        QTRY_VERIFY(!app.window()->preview()->svgData().isEmpty());
        QCOMPARE(shapesDrawn(app.window()->preview()->svgData()), shapesDrawn(gallerySvg));
    }

    // Each shipped example opened through the gallery: a new unsaved project outside the recent list,
    // its stored canvas shown at once as up to date, and a new run from it.
    void shippedExampleOpensAndGenerates_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < shippedNames.size(); ++row) {
            QTest::newRow(qPrintable(shippedNames.at(row))) << row;
        }
    }

    void shippedExampleOpensAndGenerates()
    {
        QFETCH(int, row);
        QFile file(shippedPaths.at(row));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(file.size() < 300 * 1024, qPrintable(QString::number(file.size())));
        const QJsonObject json = readJson(shippedPaths.at(row));
        QCOMPARE(json.value("meta_data").toObject().value("application").toString(), QStringLiteral("Quillane's Motifex"));

        AppFixture app;
        ModalAnswerer answerer;
        answerer.answer([row](QWidget* widget) {
            auto* dialog = qobject_cast<ExampleDialog*>(widget);
            QVERIFY(dialog != nullptr && waitForRows(*dialog));
            clickRow(exampleList(*dialog), row);
            QTest::mouseClick(dialogButton(*dialog, QDialogButtonBox::Open), Qt::LeftButton);
        });
        app.window()->showExampleGallery();
        QTRY_VERIFY(answerer.isDone());
        QTRY_COMPARE(app.document()->properties()->name(), shippedNames.at(row));
        FileIO* files = app.window()->fileIO();
        QVERIFY(!files->hasUnsavedChanges());
        QCOMPARE(files->currentPath(), QString());
        QVERIFY(files->recentProjects().isEmpty());
        const CanvasPreviewFrame* preview = app.window()->preview();
        QVERIFY(preview->lastGeneratorResult() != nullptr);
        QCOMPARE(preview->lastGeneratorResult()->items().size(), json.value("canvas").toObject().value("items").toArray().size());
        QVERIFY(colourCount(preview->canvasPreview()) > 20);
        // The example's own shape is imported now, and used.
        for (const QJsonValue& shape : json.value("shapes").toArray()) {
            const QString identifier = shape.toObject().value("identifier").toString();
            QVERIFY(shape::Manager::instance()->hasShapeId(identifier) && app.document()->shapeIds().contains(identifier));
        }

        QTest::keyClick(app.window(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(app.waitForRunEnd());
        QVERIFY(preview->lastGeneratorResult() != nullptr && preview->lastGeneratorResult()->items().size() > 200);
    }

    // Each shows a different frame, algorithm and colour scheme, in plain words; one carries a user shape.
    void examplesDiffer()
    {
        QSet<QString> frames;
        QSet<QString> algorithms;
        QSet<QString> backgrounds;
        QStringList withUserShape;
        const QRegularExpression plainWords(QStringLiteral("^[\\p{L} \\n]+$"));
        for (const QString& path : shippedPaths) {
            const QJsonObject json = readJson(path);
            const QJsonObject properties = json.value("properties").toObject();
            frames.insert(properties.value("canvasFrameShape").toString());
            algorithms.insert(properties.value("algorithmIdentifier").toString());
            backgrounds.insert(properties.value("canvasBackgroundColor").toString());
            QVERIFY(plainWords.match(properties.value("name").toString()).hasMatch());
            QVERIFY(plainWords.match(properties.value("notes").toString()).hasMatch());
            const QJsonArray shapes = json.value("shapes").toArray();
            if (!shapes.isEmpty()) {
                withUserShape.append(properties.value("name").toString());
                const QString shapeId = shapes.first().toObject().value("identifier").toString();
                QVERIFY(QJsonDocument(json.value("items").toArray()).toJson().contains(shapeId.toUtf8()));
            }
        }
        QCOMPARE(frames.size(), shippedPaths.size());
        QCOMPARE(algorithms.size(), shippedPaths.size());
        QCOMPARE(backgrounds.size(), shippedPaths.size());
        QCOMPARE(withUserShape, QStringList({"Night Sky"}));
    }

    void destroyedWhileLoading()
    {
        AppFixture app;
        // At once, again and again: the loader is queued, running or done by then.
        for (int round = 0; round < 20; ++round) {
            auto dialog = std::make_unique<ExampleDialog>(app.window());
            if (round % 2 == 1) {
                QCoreApplication::processEvents();
            }
        }
        // After the loader has finished and before its list has arrived.
        {
            ExampleDialog dialog(app.window());
            QThreadPool::globalInstance()->waitForDone();
        }
        // While every pool thread is busy, so the loader has not started.
        QThreadPool* pool = QThreadPool::globalInstance();
        QSemaphore release;
        QSemaphore started;
        for (int thread = 0; thread < pool->maxThreadCount(); ++thread) {
            pool->start([&release, &started] {
                started.release();
                release.acquire();
            });
        }
        started.acquire(pool->maxThreadCount());
        {
            ExampleDialog dialog(app.window());
        }
        release.release(pool->maxThreadCount());
        pool->waitForDone();

        // What was left behind never reaches a dialog that is gone; a new one still loads.
        ExampleDialog dialog(app.window());
        QVERIFY(waitForRows(dialog));
        QCOMPARE(exampleList(dialog)->count(), shippedPaths.size());
    }
};

MOTIFEX_WIDGET_TEST_MAIN(GalleryTest)
#include "tst_gallery.moc"
