#include "app/ExportFrame.h"
#include "app/tst_fileio_support.h"
#include "doc/Color.h"

#include "support/UserActions.h"
#include "support/WidgetTestMain.h"

#include <QComboBox>
#include <QImageReader>
#include <QProcess>
#include <QPushButton>
#include <QSettings>

using namespace motifex::test;

namespace {

const QString generateFirstTip =
    QStringLiteral("<p>Generate the pattern first: there is no up-to-date pattern to export.</p>");

} // namespace

class ExportTest : public QObject
{
    Q_OBJECT

private:
    static ExportFrame* exportFrame(AppFixture& app) { return app.window()->exportFrame(); }

    static QAction* exportAction(AppFixture& app, const QString& text) { return actionWithText(exportFrame(app), text); }

    static QPushButton* svgButton(AppFixture& app) { return exportFrame(app)->findChild<QPushButton*>("exportSvgButton"); }
    static QPushButton* bitmapButton(AppFixture& app) { return exportFrame(app)->findChild<QPushButton*>("exportBitmapButton"); }
    static QComboBox* resolutionBox(AppFixture& app) { return exportFrame(app)->findChild<QComboBox*>("exportResolutionBox"); }
    static QFileDialog* exportDialog(AppFixture& app) { return exportFrame(app)->findChild<QFileDialog*>("exportDialog"); }

    // Picks a name filter in the dialog's file type box the way a user does: focus it, arrow down.
    static void chooseFilter(QFileDialog* dialog, int index)
    {
        auto* typeBox = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        QVERIFY(typeBox != nullptr);
        typeBox->setFocus();
        while (typeBox->currentIndex() < index) {
            QTest::keyClick(typeBox, Qt::Key_Down);
        }
    }

    // What an outside decoder reads from the file: by default its format and size.
    static QString identify(const QString& path, const QString& format = QStringLiteral("%m %w %h"))
    {
        QProcess process;
        process.start(QStringLiteral("identify"), {QStringLiteral("-format"), format, path});
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            return QStringLiteral("identify failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
        }
        return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    }

    // The resolution ImageMagick reads from the file, as "<x dpi> <y dpi> <unit>".
    static QString identifiedResolution(const QString& path)
    {
        const QStringList fields = identify(path, QStringLiteral("%x %y %U")).split(QLatin1Char(' '));
        if (fields.size() != 3) {
            return fields.join(QLatin1Char(' '));
        }
        const double inchFactor = fields.at(2) == QLatin1String("PixelsPerCentimeter") ? 2.54 : 1.0;
        return QStringLiteral("%1 %2 %3")
            .arg(qRound(fields.at(0).toDouble() * inchFactor))
            .arg(qRound(fields.at(1).toDouble() * inchFactor))
            .arg(fields.at(2));
    }

    std::unique_ptr<QTemporaryDir> m_folder;

private slots:
    void init()
    {
        QSettings().clear();
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
    }

    void bitmapSize_data()
    {
        QTest::addColumn<double>("canvasWidth");
        QTest::addColumn<double>("canvasHeight");
        QTest::addColumn<int>("resolutionIndex");
        QTest::addColumn<QSize>("pixelSize");
        QTest::addColumn<bool>("isAllowed");

        QTest::newRow("default, 96 dpi") << 78.0 << 52.0 << 0 << QSize(302, 204) << true;
        QTest::newRow("default, 150 dpi") << 78.0 << 52.0 << 1 << QSize(472, 319) << true;
        QTest::newRow("default, 300 dpi") << 78.0 << 52.0 << 2 << QSize(945, 638) << true;
        QTest::newRow("default, 600 dpi") << 78.0 << 52.0 << 3 << QSize(1890, 1276) << true;
        QTest::newRow("default, 1200 dpi") << 78.0 << 52.0 << 4 << QSize(3780, 2551) << true;
        QTest::newRow("200 x 150 mm, 300 dpi") << 198.0 << 148.0 << 2 << QSize(2362, 1772) << true;
        QTest::newRow("200 x 150 mm, 1200 dpi") << 198.0 << 148.0 << 4 << QSize(9449, 7087) << false;
        // The document is the canvas plus 1 mm of margin on each side.
        QTest::newRow("8000 px") << 8000 * 25.4 / 1200 - 2 << 52.0 << 4 << QSize(8000, 2551) << true;
        QTest::newRow("8001 px") << 52.0 << 8001 * 25.4 / 1200 - 2 << 4 << QSize(2551, 8001) << false;
    }

    void bitmapSize()
    {
        QFETCH(double, canvasWidth);
        QFETCH(double, canvasHeight);
        QFETCH(int, resolutionIndex);
        QFETCH(QSize, pixelSize);
        QFETCH(bool, isAllowed);
        AppFixture app;
        QCOMPARE(bitmapButton(app)->isEnabled(), false);
        QCOMPARE(bitmapButton(app)->toolTip(), generateFirstTip);

        app.document()->properties()->setCanvasSize(geo::Size::fromMillimeters(canvasWidth, canvasHeight));
        exportFrame(app)->setSvgData("<svg xmlns=\"http://www.w3.org/2000/svg\"/>");
        exportFrame(app)->setOutOfDate(false);
        resolutionBox(app)->setCurrentIndex(resolutionIndex);

        QCOMPARE(exportFrame(app)->bitmapPixelSize(), pixelSize);
        QCOMPARE(bitmapButton(app)->isEnabled(), isAllowed);
        QCOMPARE(exportAction(app, "Bitmap...")->isEnabled(), isAllowed);
        QCOMPARE(exportAction(app, "SVG...")->isEnabled(), true);
        QString toolTip = QStringLiteral("<p>Exported bitmap size: %1px x %2px</p>").arg(pixelSize.width()).arg(pixelSize.height());
        if (!isAllowed) {
            toolTip += QStringLiteral("<p><b>Resulting bitmap is too large for export!</b></p>");
        }
        QCOMPARE(bitmapButton(app)->toolTip(), toolTip);

        exportFrame(app)->setSvgData(QByteArray());
        QCOMPARE(bitmapButton(app)->isEnabled(), false);
        QCOMPARE(exportAction(app, "SVG...")->isEnabled(), false);
        QCOMPARE(bitmapButton(app)->toolTip(), generateFirstTip);
    }

    void exportedFile_data()
    {
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<int>("filterIndex");
        QTest::addColumn<QString>("typedName");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("resolutionIndex");
        // The resolution ImageMagick reads, in dpi, and the unit the file keeps it in (per metre for PNG,
        // which it gives per centimetre).
        QTest::addColumn<QString>("resolution");

        const QString png96 = QStringLiteral("96 96 PixelsPerCentimeter");
        const QString jpeg96 = QStringLiteral("96 96 PixelsPerInch");
        QTest::newRow("SVG") << QKeySequence("Ctrl+E") << 0 << "pattern" << "pattern.svg" << "svg" << 0 << "";
        QTest::newRow("PNG") << QKeySequence("Shift+Ctrl+E") << 0 << "pattern" << "pattern.png" << "png" << 0 << png96;
        QTest::newRow("JPEG, typed without suffix") << QKeySequence("Shift+Ctrl+E") << 1 << "pattern" << "pattern.jpg" << "jpeg" << 0 << jpeg96;
        QTest::newRow("JPEG, typed as .jpeg") << QKeySequence("Shift+Ctrl+E") << 1 << "pattern.jpeg" << "pattern.jpeg" << "jpeg" << 0 << jpeg96;
        QTest::newRow("JPEG filter, typed as .png") << QKeySequence("Shift+Ctrl+E") << 1 << "v1.2-art.png" << "v1.2-art.png" << "png" << 0 << png96;
        QTest::newRow("PNG, 300 dpi") << QKeySequence("Shift+Ctrl+E") << 0 << "pattern" << "pattern.png" << "png" << 2
                                      << "300 300 PixelsPerCentimeter";
        QTest::newRow("JPEG, 300 dpi") << QKeySequence("Shift+Ctrl+E") << 1 << "pattern" << "pattern.jpg" << "jpeg" << 2
                                       << "300 300 PixelsPerInch";
    }

    void exportedFile()
    {
        QFETCH(QKeySequence, shortcut);
        QFETCH(int, filterIndex);
        QFETCH(QString, typedName);
        QFETCH(QString, fileName);
        QFETCH(QString, format);
        QFETCH(int, resolutionIndex);
        QFETCH(QString, resolution);
        AppFixture app;
        resolutionBox(app)->setCurrentIndex(resolutionIndex);
        app.document()->properties()->setCanvasBackgroundEnabled(false);
        // A wide margin keeps the pattern, and JPEG's ringing around it, away from the corner.
        app.document()->properties()->setCanvasMargin(geo::Length(10000000));
        QVERIFY(app.generate());
        app.window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(app.window()));

        ModalAnswerer answerer;
        answerer.answer([this, filterIndex, typedName](QWidget* widget) {
            chooseFilter(qobject_cast<QFileDialog*>(widget), filterIndex);
            chooseFile(m_folder->filePath(typedName))(widget);
        });
        QTest::keySequence(app.window(), shortcut);
        QTRY_VERIFY(answerer.isDone());
        const QString path = m_folder->filePath(fileName);
        QTRY_VERIFY(QFileInfo::exists(path));
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden), QStringList({fileName}));

        if (format == QLatin1String("svg")) {
            QCOMPARE(readAll(path), app.window()->preview()->svgData());
            return;
        }
        // The document is 98 × 72 mm.
        const int dotsPerInch = resolutionBox(app)->currentData().toInt();
        const QSize pixelSize = dotsPerInch == 96 ? QSize(370, 272) : QSize(1157, 850);
        QImageReader reader(path);
        QCOMPARE(QString::fromLatin1(reader.format()), format);
        const QImage image = reader.read();
        QCOMPARE(image.size(), pixelSize);
        QCOMPARE(identify(path),
                 QStringLiteral("%1 %2 %3").arg(format.toUpper()).arg(pixelSize.width()).arg(pixelSize.height()));
        QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), dotsPerInch);
        QCOMPARE(qRound(image.dotsPerMeterY() * 0.0254), dotsPerInch);
        QCOMPARE(identifiedResolution(path), resolution);
        const QColor corner = image.pixelColor(0, 0);
        if (format == QLatin1String("png")) {
            QCOMPARE(corner.alpha(), 0);
        } else {
            QCOMPARE(corner.name(), QStringLiteral("#ffffff"));
        }
    }

    // Only a pattern that matches the project is exported: each row runs its steps after a first run,
    // then presses Ctrl+E at once, before the preview's own comparison is due.
    void exportFollowsThePreview_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("isExportable");
        QTest::newRow("after a run") << QStringList() << true;
        QTest::newRow("New") << QStringList({"new"}) << false;
        QTest::newRow("New, settled") << QStringList({"new", "wait"}) << false;
        QTest::newRow("opened without a canvas") << QStringList({"open without canvas"}) << false;
        QTest::newRow("opened without a canvas, settled") << QStringList({"open without canvas", "wait"}) << false;
        QTest::newRow("a change that needs a run") << QStringList({"precision"}) << false;
        QTest::newRow("a change that needs a run, then a run") << QStringList({"precision", "wait", "run"}) << true;
        QTest::newRow("New, then opened with a canvas") << QStringList({"new", "wait", "open with canvas"}) << true;
        // The restyled picture is exported.
        QTest::newRow("a colour change") << QStringList({"colour"}) << true;
        QTest::newRow("a colour change, settled") << QStringList({"colour", "wait"}) << true;
    }

    void exportFollowsThePreview()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, isExportable);
        AppFixture app;
        QVERIFY(app.generate());
        const QByteArray withCanvas = fileIO(app)->jsonFromValues();
        const auto open = [&app, this](const QString& name, const QByteArray& data) {
            const QString path = m_folder->filePath(name);
            writeAll(path, data);
            fileIO(app)->onApplicationFileOpen(path, data);
            QCOMPARE(fileIO(app)->currentPath(), path);
        };
        for (const QString& step : steps) {
            if (step == QLatin1String("new")) {
                QTest::keySequence(app.window(), QKeySequence::New);
            } else if (step == QLatin1String("open without canvas")) {
                open("other.mtfx", R"({"properties":{"name":"other","precision":2}})");
            } else if (step == QLatin1String("open with canvas")) {
                open("saved.mtfx", withCanvas);
            } else if (step == QLatin1String("precision")) {
                app.document()->properties()->setPrecision(geo::Precision::fromLevel(2));
            } else if (step == QLatin1String("colour")) {
                app.document()->properties()->worldColor()->setStaticColor(QColor(0x12, 0x34, 0x56));
            } else if (step == QLatin1String("wait")) {
                // Until the preview's own comparison, a second after the change, has run.
                if (steps.contains("colour")) {
                    QTRY_VERIFY(app.window()->preview()->svgData().contains("#123456"));
                } else {
                    QTRY_VERIFY(app.window()->preview()->isOutOfDate());
                }
            } else {
                QVERIFY(app.generate());
            }
        }
        app.window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(app.window()));
        const QString path = m_folder->filePath("pattern.svg");
        ModalAnswerer answerer;
        if (isExportable) {
            answerer.answer(chooseFile(path));
        }
        QTest::keySequence(app.window(), QKeySequence("Ctrl+E"));
        QTRY_VERIFY(answerer.isDone());
        QCOMPARE(exportDialog(app)->isVisible(), false);
        QCOMPARE(answerer.records().size(), isExportable ? 1 : 0);
        if (isExportable) {
            QTRY_COMPARE(readAll(path), app.window()->preview()->svgData());
            QCOMPARE(readAll(path).contains("#123456"), steps.contains("colour"));
        }
        QCOMPARE(app.window()->preview()->isOutOfDate(), !isExportable);

        const QString bitmapTip =
            isExportable ? QStringLiteral("<p>Exported bitmap size: 302px x 204px</p>") : generateFirstTip;
        QCOMPARE(exportAction(app, "SVG...")->isEnabled(), isExportable);
        QCOMPARE(exportAction(app, "Bitmap...")->isEnabled(), isExportable);
        QCOMPARE(svgButton(app)->isEnabled(), isExportable);
        QCOMPARE(bitmapButton(app)->isEnabled(), isExportable);
        QCOMPARE(svgButton(app)->toolTip(), isExportable ? QString() : generateFirstTip);
        QCOMPARE(bitmapButton(app)->toolTip(), bitmapTip);
    }

    void fileNameProposals()
    {
        QString proposal;
        const auto recordProposal = [&proposal](QWidget* widget) {
            proposal = qobject_cast<QFileDialog*>(widget)->selectedFiles().value(0);
            qobject_cast<QFileDialog*>(widget)->reject();
        };
        {
            AppFixture app;
            QVERIFY(app.generate());
            ModalAnswerer answerer;
            answerer.answer(recordProposal);
            exportFrame(app)->onExportBitmap();
            QTRY_VERIFY(answerer.isDone());
            // Without a Documents folder, the home folder stands in.
            QCOMPARE(proposal, QDir::home().filePath("pattern.png"));
            QCOMPARE(answerer.lastRecord().title, QStringLiteral("Export Bitmap"));
        }

        // A project opened from a file lends its folder and its whole name, dots and all.
        QVERIFY(QDir().mkpath(m_folder->filePath("art")));
        const QString projectPath = m_folder->filePath("art/v1.2-art.mtfx");
        writeAll(projectPath, projectData("art"));
        QSettings().setValue("lastOpenProject", projectPath);
        AppFixture app;
        QCOMPARE(fileIO(app)->currentPath(), projectPath);
        QVERIFY(app.generate());
        QFileDialog* dialog = exportDialog(app);
        ModalAnswerer answerer;
        answerer.answer([&proposal](QWidget* widget) {
            auto* fileDialog = qobject_cast<QFileDialog*>(widget);
            proposal = fileDialog->selectedFiles().value(0);
            chooseFilter(fileDialog, 1);
        });
        exportFrame(app)->onExportBitmap();
        QTRY_VERIFY(answerer.isDone());
        QCOMPARE(proposal, m_folder->filePath("art/v1.2-art.png"));
        QTRY_COMPARE(dialog->selectedFiles().value(0), m_folder->filePath("art/v1.2-art.jpg"));
        QCOMPARE(dialog->defaultSuffix(), QStringLiteral("jpg"));
        dialog->reject();

        ModalAnswerer svgAnswerer;
        svgAnswerer.answer(recordProposal);
        exportFrame(app)->onExportSvg();
        QTRY_VERIFY(svgAnswerer.isDone());
        QCOMPARE(proposal, m_folder->filePath("art/v1.2-art.svg"));
        QCOMPARE(svgAnswerer.lastRecord().title, QStringLiteral("Export SVG"));
    }

    void failedExportKeepsTheOldFile()
    {
        const QString path = m_folder->filePath("old.png");
        writeAll(path, "OLD");
        AppFixture app;
        QVERIFY(app.generate());

        ModalAnswerer answerer;
        answerer
            .answer([path](QWidget* widget) {
                FileSizeLimit limit(100);
                chooseFile(path)(widget);
            })
            .clickButton("Yes")
            .clickButton("OK");
        exportFrame(app)->onExportBitmap();
        QTRY_VERIFY(answerer.isDone());

        QCOMPARE(answerer.records().size(), 3);
        const ModalRecord box = answerer.lastRecord();
        QCOMPARE(shownName(box), QStringLiteral("exportErrorBox"));
        QCOMPARE(box.title, QStringLiteral("Problem while Exporting"));
        QCOMPARE(box.text, QStringLiteral("There was a problem exporting the pattern."));
        QCOMPARE(box.informativeText,
                 QStringLiteral("The file “old.png” was not written. The error message was: File too large"));
        QCOMPARE(box.icon, QMessageBox::Warning);
        QCOMPARE(box.buttonTexts, QStringList({"OK"}));
        QCOMPARE(readAll(path), QByteArray("OLD"));
        QCOMPARE(QDir(m_folder->path()).entryList(QDir::Files | QDir::Hidden), QStringList({"old.png"}));
    }

    void settingsAndGenerationRuns()
    {
        {
            AppFixture app;
            QCOMPARE(resolutionBox(app)->currentIndex(), 0);
            QVERIFY(app.generate());
            app.window()->onGenerate();
            QVERIFY(!exportAction(app, "SVG...")->isEnabled());
            QVERIFY(!exportAction(app, "Bitmap...")->isEnabled());
            // A new resolution during the run does not bring the action back; the buttons stay on.
            resolutionBox(app)->setCurrentIndex(1);
            QVERIFY(!exportAction(app, "Bitmap...")->isEnabled());
            QVERIFY(svgButton(app)->isEnabled() && bitmapButton(app)->isEnabled());
            QCOMPARE(bitmapButton(app)->toolTip(), QStringLiteral("<p>Exported bitmap size: 472px x 319px</p>"));
            QVERIFY(app.waitForRunEnd());
            QVERIFY(exportAction(app, "SVG...")->isEnabled());
            QVERIFY(exportAction(app, "Bitmap...")->isEnabled());

            resolutionBox(app)->setCurrentIndex(2);
            exportDialog(app)->setDirectory(m_folder->path());
            exportFrame(app)->saveSettings();
            QSettings settings;
            QCOMPARE(settings.value("export.resolution").toInt(), 2);
            QCOMPARE(settings.value("export.lastDir").toString(), m_folder->path());
            QVERIFY(!settings.value("export_svg.state").toByteArray().isEmpty());
        }
        AppFixture app;
        QCOMPARE(resolutionBox(app)->currentIndex(), 2);
        QCOMPARE(exportDialog(app)->directory().absolutePath(), m_folder->path());
    }
};

MOTIFEX_WIDGET_TEST_MAIN(ExportTest)
#include "tst_export.moc"
