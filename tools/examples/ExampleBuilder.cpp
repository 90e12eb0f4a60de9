#include "ExampleBuilder.h"

#include "canvas/Canvas.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "frame/Manager.h"
#include "generator/Generator.h"
#include "generator/GeneratorManager.h"
#include "generator/ProgressInterface.h"
#include "shape/Manager.h"
#include "svg/Renderer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QSvgRenderer>

#include <stdexcept>

namespace {

class SilentProgress final : public ProgressInterface
{
public:
    void progressTaskStarted(const QString& /*name*/) override {}
    void progressUpdate(int /*value*/) override {}
    bool progressCancelRequested() override { return false; }
};

QJsonObject metaData()
{
    QJsonObject meta;
    meta.insert(QStringLiteral("application"), QStringLiteral("Quillane's Motifex"));
    meta.insert(QStringLiteral("version"), QCoreApplication::applicationVersion());
    meta.insert(QStringLiteral("created"), QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    return meta;
}

} // namespace

ExampleBuilder::ExampleBuilder()
    : m_shapes(std::make_unique<shape::Manager>())
    , m_frames(std::make_unique<frame::Manager>())
    , m_document(std::make_shared<doc::Document>())
    , m_generators(std::make_unique<GeneratorManager>(m_document))
{
}

ExampleBuilder::~ExampleBuilder() = default;

ExampleBuilder::Example ExampleBuilder::build(const ExampleProject& project)
{
    m_document->resetToDefault();
    project.describe(*m_document, *m_shapes);

    const auto generator = m_generators->get(m_document->properties()->generatorIdentifier());
    if (generator == nullptr) {
        throw std::runtime_error("no generator for the example");
    }
    SilentProgress progress;
    generator->initialize();
    const QSharedPointer<canvas::Canvas> canvas = generator->generate(&progress);
    generator->cleanUp();
    if (canvas == nullptr) {
        throw std::runtime_error(("the generator placed nothing: " + generator->runMessage()).toStdString());
    }
    // Stored styled, as the program saves the canvas its preview shows.
    svg::Renderer renderer(m_document);
    renderer.updateCanvasStyle(canvas);

    QJsonObject projectJson = m_document->toJson();
    projectJson.insert(QStringLiteral("meta_data"), metaData());
    projectJson.insert(QStringLiteral("canvas"), QJsonObject::fromVariantMap(canvas->toData().toMap()));

    Example example;
    example.projectFile = QJsonDocument(projectJson).toJson(QJsonDocument::Compact);
    example.svg = renderer.render(canvas);
    example.itemCount = canvas->items().size();
    return example;
}

QImage ExampleBuilder::renderImage(const QByteArray& svg, double pixelsPerMillimeter) const
{
    const geo::Size size = m_document->properties()->documentSize();
    QImage image(qRound(size.width() / 1e6 * pixelsPerMillimeter), qRound(size.height() / 1e6 * pixelsPerMillimeter),
                 QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QSvgRenderer(svg).render(&painter);
    return image;
}
