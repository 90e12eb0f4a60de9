#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace doc {
class Document;
}
namespace shape {
class Manager;
}

// One example project of the gallery, described in code: the file it is written to and how it fills a
// document that holds the defaults. A description may add user shapes to the shape database it gets.
struct ExampleProject {
    QString fileName;
    std::function<void(doc::Document& document, shape::Manager& shapes)> describe;
};

// Every example, in the order of their file names.
std::vector<ExampleProject> exampleProjects();
