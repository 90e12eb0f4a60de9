#include "common/TestMain.h"

#include <QImage>
#include <QMimeDatabase>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>

// The desktop integration as `cmake --install` lays it out: the launcher, the project file type and the
// icons, installed from this build into a private prefix and read back as a desktop would.
class FileIODesktopTest : public QObject
{
    Q_OBJECT

private:
    QString installed(const QString& relativePath) const { return m_prefix.filePath(relativePath); }

    static int run(const QString& program, const QStringList& arguments, QString* output = nullptr)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        if (!process.waitForFinished(120000)) {
            return -1;
        }
        if (output != nullptr) {
            *output = QString::fromLocal8Bit(process.readAll());
        }
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    // The [Desktop Entry] keys of the launcher.
    QMap<QString, QString> launcherEntries() const
    {
        QFile file(installed("share/applications/com.quillane.Motifex.desktop"));
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        QMap<QString, QString> entries;
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
            const int equals = line.indexOf('=');
            if (equals > 0) {
                entries.insert(line.left(equals), line.mid(equals + 1));
            }
        }
        return entries;
    }

    QTemporaryDir m_prefix;

private slots:
    void initTestCase()
    {
        const QString buildDir = QCoreApplication::applicationDirPath() + QStringLiteral("/..");
        QVERIFY2(QFile::exists(buildDir + QStringLiteral("/cmake_install.cmake")), qPrintable(buildDir));
        QString output;
        QCOMPARE(run("cmake", {"--install", buildDir, "--prefix", m_prefix.path(), "--component", "desktop"}, &output), 0);
        // The desktop's view of data folders, before anything asks for a file type.
        qputenv("XDG_DATA_DIRS", QFile::encodeName(installed("share")));
    }

    void launcherOpensAProjectGivenAsFirstArgument()
    {
        QString output;
        QCOMPARE(run("desktop-file-validate", {installed("share/applications/com.quillane.Motifex.desktop")}, &output), 0);
        QCOMPARE(output, QString());
        const QMap<QString, QString> entries = launcherEntries();
        QCOMPARE(entries.value("Exec"), installed("bin/motifex") + QStringLiteral(" %f"));
        QCOMPARE(entries.value("TryExec"), installed("bin/motifex"));
        QCOMPARE(entries.value("MimeType"), QStringLiteral("application/x-motifex-project;"));
        QCOMPARE(entries.value("Icon"), QStringLiteral("com.quillane.Motifex"));
        QCOMPARE(entries.value("Name"), QStringLiteral("Motifex"));
    }

    void projectFilesHaveTheirOwnType()
    {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(QStringLiteral("v1.2-art.mtfx"), QMimeDatabase::MatchExtension);
        QCOMPARE(type.name(), QStringLiteral("application/x-motifex-project"));
        QCOMPARE(type.comment(), QStringLiteral("Motifex project"));
        QCOMPARE(type.iconName(), QStringLiteral("application-x-motifex-project"));
        QCOMPARE(type.globPatterns(), QStringList({"*.mtfx"}));
        QVERIFY(QFile::exists(installed("share/mime/mime.cache")));
    }

    void iconsAreInTheThemeFolders_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("side");
        QTest::newRow("application, scalable") << "share/icons/hicolor/scalable/apps/com.quillane.Motifex.svg" << 256;
        QTest::newRow("application, 48") << "share/icons/hicolor/48x48/apps/com.quillane.Motifex.png" << 48;
        QTest::newRow("application, 128") << "share/icons/hicolor/128x128/apps/com.quillane.Motifex.png" << 128;
        QTest::newRow("application, 256") << "share/icons/hicolor/256x256/apps/com.quillane.Motifex.png" << 256;
        QTest::newRow("project file, scalable")
            << "share/icons/hicolor/scalable/mimetypes/application-x-motifex-project.svg" << 256;
    }

    void iconsAreInTheThemeFolders()
    {
        QFETCH(QString, path);
        QFETCH(int, side);
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        if (path.endsWith(QLatin1String(".svg"))) {
            QSvgRenderer renderer(installed(path));
            QVERIFY(renderer.isValid());
            QCOMPARE(renderer.defaultSize(), QSize(side, side));
            image.fill(Qt::transparent);
            QPainter painter(&image);
            renderer.render(&painter);
        } else {
            QVERIFY(image.load(installed(path)));
            QCOMPARE(image.size(), QSize(side, side));
        }
        // Drawn in the middle, transparent in the corner outside the rounded shape.
        QCOMPARE(image.pixelColor(side / 2, side / 2).alpha(), 255);
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    }
};

MOTIFEX_TEST_MAIN(FileIODesktopTest)
#include "tst_fileiodesktop.moc"
