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

} // namespace motifex::test
