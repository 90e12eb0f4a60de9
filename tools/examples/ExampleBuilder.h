#pragma once

#include "ExampleProjects.h"

#include <QByteArray>
#include <QImage>

#include <memory>

namespace doc {
class Document;
}
namespace frame {
class Manager;
}
namespace shape {
class Manager;
}
class GeneratorManager;

// Generates the described examples with the program's core, as the program does without its windows,
// and assembles each project file as the program saves it: the document, "meta_data" and the styled
// canvas, as compact JSON.
class ExampleBuilder
{
public:
    struct Example {
        QByteArray projectFile;
        QByteArray svg;
        qsizetype itemCount = 0;
    };

    ExampleBuilder();
    ~ExampleBuilder();
    ExampleBuilder(const ExampleBuilder&) = delete;
    ExampleBuilder& operator=(const ExampleBuilder&) = delete;

    // Throws std::runtime_error when the generator places nothing.
    Example build(const ExampleProject& project);

    // The SVG drawn at the given pixels per millimetre, for looking at the result.
    QImage renderImage(const QByteArray& svg, double pixelsPerMillimeter) const;

private:
    std::unique_ptr<shape::Manager> m_shapes;
    std::unique_ptr<frame::Manager> m_frames;
    std::shared_ptr<doc::Document> m_document;
    std::unique_ptr<GeneratorManager> m_generators;
};
