#include "common/TestMain.h"

#include "canvas/Canvas.h"
#include "canvas/CanvasItem.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "frame/Manager.h"
#include "generator/Generator.h"
#include "generator/GeneratorManager.h"
#include "generator/ProgressInterface.h"
#include "shape/Manager.h"
#include "svg/Renderer.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <memory>

// The stored SVG files are the renderer's expected output for the projects beside them. When the output
// is meant to change, run this test with MOTIFEX_UPDATE_EXPECTED_SVG=1 to rewrite them, then review the
// difference before committing it.

namespace {

const QString projectFolder = QStringLiteral(MOTIFEX_TEST_DATA_DIR "/endtoend");
constexpr int pixelsPerMillimeter = 8;

class NoProgress final : public ProgressInterface
{
public:
    void progressTaskStarted(const QString& /*name*/) override {}
    void progressUpdate(int /*value*/) override {}
    bool progressCancelRequested() override { return false; }
};

bool isUpdatingExpectedFiles()
{
    return qEnvironmentVariableIntValue("MOTIFEX_UPDATE_EXPECTED_SVG") != 0;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit();
}

QImage draw(const QByteArray& svg, const geo::Size& documentSize)
{
    const QSize size(static_cast<int>(documentSize.width() * pixelsPerMillimeter / geo::fixedUnit),
                     static_cast<int>(documentSize.height() * pixelsPerMillimeter / geo::fixedUnit));
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(svg);
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QPoint pixelOf(const geo::Point2D& point, geo::Length margin)
{
    return QPoint(static_cast<int>((point.x() + margin.value()) * pixelsPerMillimeter / geo::fixedUnit),
                  static_cast<int>((point.y() + margin.value()) * pixelsPerMillimeter / geo::fixedUnit));
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void projectToSvg_data();
    void projectToSvg();

private:
    QSharedPointer<canvas::Canvas> generate();

    std::unique_ptr<shape::Manager> m_shapes;
    std::unique_ptr<frame::Manager> m_frames;
    std::shared_ptr<doc::Document> m_document;
    std::unique_ptr<GeneratorManager> m_generators;
};

void TestEndToEnd::initTestCase()
{
    m_shapes = std::make_unique<shape::Manager>();
    m_frames = std::make_unique<frame::Manager>();
    m_document = std::make_shared<doc::Document>();
    m_generators = std::make_unique<GeneratorManager>(m_document);
}

void TestEndToEnd::cleanupTestCase()
{
    m_generators.reset();
    m_document.reset();
    m_frames.reset();
    m_shapes.reset();
}

QSharedPointer<canvas::Canvas> TestEndToEnd::generate()
{
    const auto generator = m_generators->get(m_document->properties()->generatorIdentifier());
    if (!generator) {
        return {};
    }
    NoProgress progress;
    generator->initialize();
    auto canvas = generator->generate(&progress);
    generator->cleanUp();
    return canvas;
}

void TestEndToEnd::projectToSvg_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("unknownShape");

    QTest::newRow("circles in a rectangle") << QStringLiteral("circles_rectangle") << QString();
    QTest::newRow("shapes in an ellipse") << QStringLiteral("shapes_ellipse_diagonal") << QString();
    QTest::newRow("user shape in a heart") << QStringLiteral("user_shape_heart_frame")
                                           << QStringLiteral("missing-shape");
    QTest::newRow("leaves in a triangle") << QStringLiteral("leaves_triangle_left") << QString();
}

void TestEndToEnd::projectToSvg()
{
    QFETCH(QString, name);
    QFETCH(QString, unknownShape);
    const QDir folder(projectFolder);
    QJsonParseError parseError;
    const QJsonDocument json = QJsonDocument::fromJson(readFile(folder.filePath(name + QStringLiteral(".mtfx"))),
                                                       &parseError);
    QCOMPARE(parseError.error, QJsonParseError::NoError);
    m_document->setFromJsonOrThrow(json.object());

    const auto canvas = generate();
    QVERIFY(canvas);
    QVERIFY(canvas->items().size() > 3);
    svg::Renderer renderer(m_document);
    renderer.updateCanvasStyle(canvas);
    if (!unknownShape.isEmpty()) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(unknownShape));
    }
    const QByteArray svg = renderer.render(canvas);

    const QString expectedPath = folder.filePath(name + QStringLiteral(".svg"));
    if (isUpdatingExpectedFiles()) {
        QVERIFY(writeFile(expectedPath, svg));
        qInfo("Rewrote %s", qPrintable(expectedPath));
    } else {
        const QByteArray expected = readFile(expectedPath);
        QVERIFY2(!expected.isEmpty(), qPrintable(QStringLiteral("Missing %1").arg(expectedPath)));
        QCOMPARE(QString::fromUtf8(svg), QString::fromUtf8(expected));
    }

    // Qt's renderer, which preview and bitmap export use, draws every item: its centre is covered.
    const auto properties = m_document->properties();
    const QImage image = draw(svg, properties->documentSize());
    QVERIFY(!image.isNull());
    const QColor background = properties->canvasBackgroundEnabled() ? properties->canvasBackgroundColor() : QColor(Qt::transparent);
    if (properties->canvasMargin() > geo::Length()) {
        QCOMPARE(image.pixelColor(0, 0).rgba(), background.rgba());
    }
    for (const auto& item : canvas->items()) {
        const QPoint pixel = pixelOf(item->center(), properties->canvasMargin());
        const QColor drawn = image.pixelColor(pixel);
        QVERIFY2(drawn.alpha() > 0 && drawn.rgb() != background.rgb() && drawn.rgb() != properties->canvasFrameColor().rgb(),
                 qPrintable(QStringLiteral("Nothing drawn for item %1 at (%2, %3)")
                                .arg(item->index())
                                .arg(pixel.x())
                                .arg(pixel.y())));
    }
}

MOTIFEX_TEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
