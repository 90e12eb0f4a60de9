#include "common/TestMain.h"

#include "canvas/Canvas.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "frame/Manager.h"
#include "generator/Generator.h"
#include "generator/GeneratorManager.h"
#include "generator/ProgressInterface.h"
#include "shape/Manager.h"
#include "svg/Renderer.h"

#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSvgRenderer>

// The stored SVG files are the renderer's expected output for the projects beside them. When the output
// is meant to change, run this test with MOTIFEX_UPDATE_EXPECTED_SVG=1 to rewrite them, then review the
// difference before committing it.

namespace {

constexpr int pixelsPerMillimeter = 8;

class NoProgress final : public ProgressInterface
{
public:
    void progressTaskStarted(const QString& /*name*/) override {}
    void progressUpdate(int /*value*/) override {}
    bool progressCancelRequested() override { return false; }
};

int pixels(qint64 fixed)
{
    return static_cast<int>(fixed * pixelsPerMillimeter / geo::fixedUnit);
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<shape::Manager> m_shapes = std::make_unique<shape::Manager>();
    std::unique_ptr<frame::Manager> m_frames = std::make_unique<frame::Manager>();
    std::shared_ptr<doc::Document> m_document = std::make_shared<doc::Document>();
    std::unique_ptr<GeneratorManager> m_generators = std::make_unique<GeneratorManager>(m_document);

private slots:
    void projectToSvg_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("unknownShape");
        QTest::newRow("circles in a rectangle") << "circles_rectangle" << QString();
        QTest::newRow("shapes in an ellipse") << "shapes_ellipse_diagonal" << QString();
        QTest::newRow("user shape in a heart") << "user_shape_heart_frame" << "missing-shape";
        QTest::newRow("leaves in a triangle") << "leaves_triangle_left" << QString();
    }

    void projectToSvg()
    {
        QFETCH(QString, name);
        QFETCH(QString, unknownShape);
        const QString path = QStringLiteral(MOTIFEX_TEST_DATA_DIR "/endtoend/") + name;
        QFile project(path + QStringLiteral(".mtfx"));
        QVERIFY(project.open(QIODevice::ReadOnly));
        m_document->setFromJsonOrThrow(QJsonDocument::fromJson(project.readAll()).object());

        const auto generator = m_generators->get(m_document->properties()->generatorIdentifier());
        QVERIFY(generator);
        NoProgress progress;
        generator->initialize();
        const auto canvas = generator->generate(&progress);
        generator->cleanUp();
        QVERIFY(canvas && canvas->items().size() > 3);
        svg::Renderer renderer(m_document);
        renderer.updateCanvasStyle(canvas);
        if (!unknownShape.isEmpty()) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(unknownShape));
        }
        const QByteArray svg = renderer.render(canvas);

        QFile expected(path + QStringLiteral(".svg"));
        if (qEnvironmentVariableIntValue("MOTIFEX_UPDATE_EXPECTED_SVG") != 0) {
            QVERIFY(expected.open(QIODevice::WriteOnly) && expected.write(svg) == svg.size());
            qInfo("Rewrote %s", qPrintable(expected.fileName()));
        } else {
            QVERIFY(expected.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromUtf8(svg), QString::fromUtf8(expected.readAll()));
        }

        // Qt's renderer, which preview and bitmap export use, draws every item: its centre is covered.
        const auto properties = m_document->properties();
        const qint64 margin = properties->canvasMargin().value();
        QImage image(pixels(properties->documentSize().width()), pixels(properties->documentSize().height()),
                     QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        QSvgRenderer(svg).render(&painter);
        painter.end();
        const QColor background = properties->canvasBackgroundEnabled() ? properties->canvasBackgroundColor() : QColor(Qt::transparent);
        QVERIFY(margin == 0 || image.pixelColor(0, 0).rgba() == background.rgba());
        for (const auto& item : canvas->items()) {
            const QColor drawn = image.pixelColor(pixels(item->center().x() + margin), pixels(item->center().y() + margin));
            QVERIFY2(drawn.alpha() > 0 && drawn.rgb() != background.rgb() && drawn.rgb() != properties->canvasFrameColor().rgb(),
                     qPrintable(QStringLiteral("Nothing drawn for item %1").arg(item->index())));
        }
    }
};

MOTIFEX_TEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
