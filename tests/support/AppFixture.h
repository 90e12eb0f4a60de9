#pragma once

#include "app/ApplicationController.h"

#include <memory>

namespace doc {
class Document;
}
class MainWindow;

namespace motifex::test {

// Starts the application controller as the program does (managers, documents, main window shown) and
// tears it down in the program's order. One per test function keeps tests independent.
class AppFixture
{
public:
    AppFixture();
    ~AppFixture();
    AppFixture(const AppFixture&) = delete;
    AppFixture& operator=(const AppFixture&) = delete;

    // False when start-up was abandoned (the user chose to quit).
    bool isStarted() const { return m_isStarted; }
    ApplicationController& controller() { return *m_controller; }
    MainWindow* window() { return m_controller->mainWindow(); }
    std::shared_ptr<doc::Document> document() const { return m_controller->document(); }

    // Starts a generation run and waits for its end; false when it did not end in time.
    bool generate();
    bool waitForRunEnd();

private:
    std::unique_ptr<ApplicationController> m_controller;
    bool m_isStarted = false;
};

} // namespace motifex::test
