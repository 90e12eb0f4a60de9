// Writes PNGs of the program's windows, menus and boxes, for review and for the README. A developer
// tool: it is not installed with the program. Usage: motifex_screenshots <output folder> [--first-start]
// (only the main window as it first opens on the screen the tool runs on, and that screen)
#include "ShotContext.h"

#include "app/Application.h"

#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    // A private home, so the shots show a first start and never touch the user's settings or shapes.
    QTemporaryDir home;
    for (const char* variable : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        qputenv(variable, QFile::encodeName(home.path() + QLatin1Char('/') + QString::fromLatin1(variable)));
    }
    QCoreApplication::setApplicationName(QStringLiteral("Motifex"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Motifex"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.6.0"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("quillane.com"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quillane"));
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    Application application(argc, argv);
    QApplication::setStyle(QStringLiteral("fusion"));
    // Closing a window in a shot must not end the tool.
    QApplication::setQuitOnLastWindowClosed(false);
    const bool isFirstStartOnly = argc == 3 && qstrcmp(argv[2], "--first-start") == 0;
    if (argc < 2 || (argc > 2 && !isFirstStartOnly)) {
        qCritical("Usage: motifex_screenshots <output folder> [--first-start]");
        return 2;
    }
    ShotContext context(QString::fromLocal8Bit(argv[1]));
    if (isFirstStartOnly) {
        context.start(ShotContext::WindowSize::ThisScreen);
        shootFirstStart(context);
        return 0;
    }
    shootShellStartUp(context);
    context.start();
    shootShell(context);
    shootFiles(context);
    shootGallery(context);
    shootPanel(context);
    shootShapes(context);
    shootColors(context);
    shootItems(context);
    return 0;
}
