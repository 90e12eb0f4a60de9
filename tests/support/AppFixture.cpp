#include "support/AppFixture.h"

#include "app/MainWindow.h"

#include <QTest>

namespace motifex::test {

AppFixture::AppFixture()
    : m_controller(std::make_unique<ApplicationController>())
{
    m_isStarted = m_controller->start();
    if (m_isStarted) {
        QVERIFY(QTest::qWaitForWindowExposed(m_controller->mainWindow()));
    }
}

AppFixture::~AppFixture() = default;

bool AppFixture::generate()
{
    window()->onGenerate();
    return waitForRunEnd();
}

bool AppFixture::waitForRunEnd()
{
    // Generous: the test build runs under sanitizers, and several test programs share the machine.
    return QTest::qWaitFor([this] { return !window()->isGenerating(); }, 120000);
}

} // namespace motifex::test
