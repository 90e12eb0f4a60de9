#include "support/AppFixture.h"
#include "support/ModalAnswerer.h"
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
#include "svg/Renderer.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QSemaphore>
#include <QSettings>
#include <QSvgRenderer>
#include <QSvgWidget>
#include <QThreadPool>
#include <QtTest>

#include <memory>

using motifex::test::AppFixture;
using motifex::test::ModalAnswerer;

namespace {

struct ShippedExample {
    const char* path;
    const char* name;
};

// The shipped examples in file-name order; the broken ones of this test's own resources lie between them.
const ShippedExample shippedExamples[] = {
    {":/examples/01-ocean-bubbles.mtfx", "Ocean Bubbles"}, {":/examples/02-autumn-leaves.mtfx", "Autumn Leaves"},
    {":/examples/03-night-sky.mtfx", "Night Sky"},         {":/examples/04-heart-garden.mtfx", "Heart Garden"},
    {":/examples/05-rainbow-arrows.mtfx", "Rainbow Arrows"}, {":/examples/06-honeycomb.mtfx", "Honeycomb"},
    {":/examples/07-crossroads.mtfx", "Crossroads"},       {":/examples/08-mountain-rain.mtfx", "Mountain Rain"},
};
constexpr int shippedCount = static_cast<int>(std::size(shippedExamples));

QListWidget* exampleList(ExampleDialog& dialog)
{
    return dialog.findChild<QListWidget*>(QStringLiteral("exampleList"));
}

bool waitForRows(ExampleDialog& dialog)
{
    return QTest::qWaitFor([&dialog] { return exampleList(dialog)->count() > 0; }, 20000);
}

void clickRow(ExampleDialog& dialog, int row)
{
    QListWidget* list = exampleList(dialog);
    const QRect rectangle = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rectangle.center());
}


QAbstractButton* dialogButton(ExampleDialog& dialog, QDialogButtonBox::StandardButton which)
{
    return dialog.findChild<QDialogButtonBox*>()->button(which);
}

// How many different colours the preview draws; a few for an empty panel, many for a pattern.
int previewColourCount(ExampleDialog& dialog)
{
    const QImage image = dialog.findChild<QSvgWidget*>()->grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            colours.insert(image.pixel(x, y));
        }
    }
    return colours.size();
}

// Whether a pixel of about the colour lies within the radius around the centre.
bool hasColourNear(const QImage& image, const QPoint& centre, int radius, const QColor& colour)
{
    for (int y = centre.y() - radius; y <= centre.y() + radius; ++y) {
        for (int x = centre.x() - radius; x <= centre.x() + radius; ++x) {
            if (!image.valid(x, y)) {
                continue;
            }
            const QColor pixel = image.pixelColor(x, y);
            if (qAbs(pixel.red() - colour.red()) <= 4 && qAbs(pixel.green() - colour.green()) <= 4
                && qAbs(pixel.blue() - colour.blue()) <= 4) {
                return true;
            }
        }
    }
    return false;
}

QJsonObject readJson(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object();
}

} // namespace

class GalleryTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QSettings().clear();
    }

    void listShowsExamplesInFileOrder()
    {
        AppFixture app;
        ExampleDialog dialog(app.window());
        dialog.open();
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Select an Example"));
        QVERIFY(waitForRows(dialog));
        QListWidget* list = exampleList(dialog);
        QCOMPARE(list->count(), shippedCount);
        for (int row = 0; row < shippedCount; ++row) {
            const QListWidgetItem* item = list->item(row);
            const QString path = QString::fromLatin1(shippedExamples[row].path);
            QCOMPARE(item->text(), QString::fromLatin1(shippedExamples[row].name));
            QCOMPARE(item->data(Qt::UserRole).toString(), path);
            const QString notes = readJson(path).value("properties").toObject().value("notes").toString();
            QVERIFY(!notes.isEmpty());
            QCOMPARE(item->toolTip(), notes);
            QCOMPARE(item->sizeHint(), QSize(100, 32));
        }
        // The first example is selected and previewed as soon as the list arrives.
        QCOMPARE(dialog.selectedExamplePath(), QString::fromLatin1(shippedExamples[0].path));
        auto* preview = dialog.findChild<CanvasPreview*>();
        QCOMPARE(preview->background(), QColor("#04202f"));
        QVERIFY(previewColourCount(dialog) > 20);

        // The preview follows the selection; without a background the pattern lies on the dialog's colour.
        clickRow(dialog, 3);
        QCOMPARE(dialog.selectedExamplePath(), QString::fromLatin1(shippedExamples[3].path));
        QCOMPARE(preview->background(), QColor("#fbeef0"));
        clickRow(dialog, 7);
        QCOMPARE(preview->background(), dialog.palette().color(QPalette::Window));
        QVERIFY(previewColourCount(dialog) > 20);
    }

    void brokenExamplesAreLeftOut_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("isListed");
        QTest::newRow("shipped") << ":/examples/03-night-sky.mtfx" << true;
        QTest::newRow("unfinished json") << ":/examples/02-unfinished-json.mtfx" << false;
        QTest::newRow("a list") << ":/examples/04-a-list.mtfx" << false;
        QTest::newRow("no items") << ":/examples/05-no-items.mtfx" << false;
        QTest::newRow("properties as text") << ":/examples/06-text-properties.mtfx" << false;
        QTest::newRow("canvas as list") << ":/examples/07-canvas-list.mtfx" << false;
        QTest::newRow("no such file") << ":/examples/99-missing.mtfx" << false;
    }

    void brokenExamplesAreLeftOut()
    {
        QFETCH(QString, path);
        QFETCH(bool, isListed);
        QCOMPARE(ExampleDialog::readExampleEntry(path).has_value(), isListed);
        QVERIFY(ExampleDialog::examplePaths().contains(path) || path.contains("missing"));
    }

    void closeLeavesDocumentUnchanged()
    {
        AppFixture app;
        const auto document = app.controller().document();
        const QVariant before = document->toData();
        ExampleDialog dialog(app.window());
        dialog.open();
        QVERIFY(waitForRows(dialog));
        clickRow(dialog, 4);
        QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Close), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(document->toData(), before);

        // Opening it again keeps the list and the selection.
        dialog.open();
        QCOMPARE(exampleList(dialog)->count(), shippedCount);
        QCOMPARE(dialog.selectedExamplePath(), QString::fromLatin1(shippedExamples[4].path));
        QTest::mouseClick(dialogButton(dialog, QDialogButtonBox::Open), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(document->toData(), before);
    }

    void openGivesNewUnsavedProject()
    {
        AppFixture app;
        ModalAnswerer answerer;
        answerer.answer([](QWidget* widget) {
            auto* dialog = qobject_cast<ExampleDialog*>(widget);
            QVERIFY(dialog != nullptr && waitForRows(*dialog));
            clickRow(*dialog, 2);
            QTest::mouseClick(dialogButton(*dialog, QDialogButtonBox::Open), Qt::LeftButton);
        });
        app.window()->showExampleGallery();
        QTRY_VERIFY(answerer.isDone());
        QCOMPARE(answerer.lastRecord().title, QStringLiteral("Select an Example"));

        // The night sky with its own shape, and its stored canvas shown as up to date.
        const QJsonObject json = readJson(QString::fromLatin1(shippedExamples[2].path));
        const auto document = app.controller().document();
        QTRY_COMPARE(document->properties()->name(), QStringLiteral("Night Sky"));
        const QString sparkle = json.value("shapes").toArray().first().toObject().value("identifier").toString();
        QVERIFY(shape::Manager::instance()->hasShapeId(sparkle));
        QVERIFY(document->shapeIds().contains(sparkle));
        const auto shown = app.window()->preview()->lastGeneratorResult();
        QVERIFY(shown != nullptr);
        QCOMPARE(shown->items().size(), json.value("canvas").toObject().value("items").toArray().size());
        // A new project that was never saved, and not a recent one.
        FileIO* files = app.window()->fileIO();
        QVERIFY(!files->hasUnsavedChanges());
        QCOMPARE(files->currentPath(), QString());
        QVERIFY(files->recentProjects().isEmpty());
    }

    void loaderLeavesShapeDatabaseAlone()
    {
        AppFixture app;
        const std::size_t shapeCount = shape::Manager::instance()->shapeCount();
        ExampleDialog dialog(app.window());
        QVERIFY(waitForRows(dialog));
        // The night sky carries a user shape; listing it imports nothing.
        QCOMPARE(exampleList(dialog)->item(2)->text(), QStringLiteral("Night Sky"));
        QCOMPARE(shape::Manager::instance()->shapeCount(), shapeCount);
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
            auto dialog = std::make_unique<ExampleDialog>(app.window());
            QThreadPool::globalInstance()->waitForDone();
        }

        // While every pool thread is busy, so the loader has not started.
        QThreadPool* pool = QThreadPool::globalInstance();
        QSemaphore release;
        QSemaphore started;
        const int threadCount = pool->maxThreadCount();
        for (int thread = 0; thread < threadCount; ++thread) {
            pool->start([&release, &started] {
                started.release();
                release.acquire();
            });
        }
        started.acquire(threadCount);
        {
            ExampleDialog dialog(app.window());
        }
        release.release(threadCount);
        pool->waitForDone();

        // What was left behind never reaches a dialog that is gone; a new one still loads.
        ExampleDialog dialog(app.window());
        QVERIFY(waitForRows(dialog));
        QCOMPARE(exampleList(dialog)->count(), shippedCount);
    }

    void shippedExamplesLoadGenerateAndRender_data()
    {
        QTest::addColumn<QString>("path");
        for (const ShippedExample& example : shippedExamples) {
            QTest::newRow(example.name) << QString::fromLatin1(example.path);
        }
    }

    void shippedExamplesLoadGenerateAndRender()
    {
        QFETCH(QString, path);
        AppFixture app;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY2(content.size() < 300 * 1024, qPrintable(QString::number(content.size())));
        const QJsonObject json = QJsonDocument::fromJson(content).object();
        QCOMPARE(json.value("meta_data").toObject().value("application").toString(), QStringLiteral("Quillane's Motifex"));

        // The stored canvas draws every item in its colour.
        const auto document = std::make_shared<doc::Document>();
        document->setFromJsonOrThrow(json);
        const auto canvas = canvas::Canvas::create(json.value("canvas").toVariant());
        QVERIFY(canvas != nullptr && canvas->items().size() > 200);
        svg::Renderer renderer(document);
        renderer.updateCanvasStyle(canvas);
        const auto properties = document->properties();
        const double scale = 8.0 / 1e6; // pixels per millionth of a millimetre
        QImage image(qRound(properties->documentSize().width() * scale),
                     qRound(properties->documentSize().height() * scale), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        QSvgRenderer(renderer.render(canvas)).render(&painter);
        painter.end();
        const qint64 margin = properties->canvasMargin().value();
        int drawnItems = 0;
        for (const auto& item : canvas->items()) {
            const QPoint centre(qRound((item->center().x() + margin) * scale), qRound((item->center().y() + margin) * scale));
            drawnItems += hasColourNear(image, centre, qRound(item->radius().value() * scale), QColor(item->fill())) ? 1 : 0;
        }
        QCOMPARE(drawnItems, int(canvas->items().size()));

        // Loaded into the program, the example generates anew.
        app.controller().document()->setFromJsonOrThrow(json);
        QTest::keyClick(app.window(), Qt::Key_R, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(app.window()->generateAction()->isEnabled()
                                     && !app.window()->preview()->svgData().isEmpty(),
                                 60000);
        QVERIFY(app.window()->preview()->lastGeneratorResult()->items().size() > 200);
    }

    void examplesDiffer()
    {
        QSet<QString> frames;
        QSet<QString> algorithms;
        QSet<QString> backgrounds;
        QStringList userShapeExamples;
        const QRegularExpression plainWords(QStringLiteral("^[\\p{L} \\n]+$"));
        for (const ShippedExample& example : shippedExamples) {
            const QJsonObject json = readJson(QString::fromLatin1(example.path));
            const QJsonObject properties = json.value("properties").toObject();
            frames.insert(properties.value("canvasFrameShape").toString());
            algorithms.insert(properties.value("algorithmIdentifier").toString());
            backgrounds.insert(properties.value("canvasBackgroundColor").toString());
            QVERIFY(plainWords.match(properties.value("name").toString()).hasMatch());
            QVERIFY(plainWords.match(properties.value("notes").toString()).hasMatch());
            const QJsonArray shapes = json.value("shapes").toArray();
            if (!shapes.isEmpty()) {
                userShapeExamples.append(QString::fromLatin1(example.name));
                const QString shapeId = shapes.first().toObject().value("identifier").toString();
                QVERIFY(QJsonDocument(json.value("items").toArray()).toJson().contains(shapeId.toUtf8()));
            }
        }
        QCOMPARE(frames.size(), shippedCount);
        QCOMPARE(algorithms.size(), shippedCount);
        QCOMPARE(backgrounds.size(), shippedCount);
        QCOMPARE(userShapeExamples, QStringList({"Night Sky"}));
    }
};

MOTIFEX_WIDGET_TEST_MAIN(GalleryTest)
#include "tst_gallery.moc"
