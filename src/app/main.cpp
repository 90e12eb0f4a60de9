#include "app/Application.h"
#include "app/ApplicationController.h"

int main(int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("Motifex"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Motifex"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.6.0"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quillane.com"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillane"));

    Application application(argc, argv);
    QApplication::setStyle(QStringLiteral("fusion"));

    // The controller must go before the application object.
    ApplicationController controller;
    if (!controller.start()) {
        return 0;
    }
    return QApplication::exec();
}
