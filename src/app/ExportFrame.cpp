#include "app/ExportFrame.h"

#include "app/ApplicationController.h"
#include "app/DocumentsFolder.h"
#include "app/FileIO.h"
#include "app/MainWindow.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "io/AtomicFile.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QImageWriter>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSvgRenderer>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

constexpr double millimetresPerInch = 25.4;
constexpr int jpegQuality = 95;
constexpr int renameDelay = 100;

const QString svgSuffix = QStringLiteral("svg");
const QString pngSuffix = QStringLiteral("png");
const QString jpegSuffix = QStringLiteral("jpg");

bool hasSuffix(const QFileInfo& fileInfo, const QString& suffix)
{
    const QString actual = fileInfo.suffix().toLower();
    if (suffix == jpegSuffix) {
        return actual == QLatin1String("jpg") || actual == QLatin1String("jpeg");
    }
    return actual == suffix;
}

// The file name kept, only the suffix replaced: "v1.2-art.png" becomes "v1.2-art.jpg".
QString withSuffix(const QFileInfo& fileInfo, const QString& suffix)
{
    return QStringLiteral("%1/%2.%3").arg(fileInfo.absolutePath(), fileInfo.completeBaseName(), suffix);
}

QString suffixForFilter(const QString& filter)
{
    if (filter.contains(QLatin1String("svg"))) {
        return svgSuffix;
    }
    return filter.contains(QLatin1String("jpg")) ? jpegSuffix : pngSuffix;
}

} // namespace

ExportFrame::ExportFrame(QWidget* parent)
    : QFrame(parent)
{
    initializeActions();
    initializeUi();
}

void ExportFrame::initializeActions()
{
    m_exportSvgAction = new QAction(tr("SVG..."), this);
    m_exportSvgAction->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    m_exportSvgAction->setEnabled(false);
    connect(m_exportSvgAction, &QAction::triggered, this, &ExportFrame::onExportSvg);
    addAction(m_exportSvgAction);

    m_exportBitmapAction = new QAction(tr("Bitmap..."), this);
    m_exportBitmapAction->setShortcut(QKeySequence(QStringLiteral("Shift+Ctrl+E")));
    m_exportBitmapAction->setEnabled(false);
    connect(m_exportBitmapAction, &QAction::triggered, this, &ExportFrame::onExportBitmap);
    addAction(m_exportBitmapAction);
}

void ExportFrame::initializeUi()
{
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    layout->addWidget(new QLabel(tr("Export:"), this));
    m_svgButton = new QPushButton(tr("SVG..."), this);
    m_svgButton->setObjectName(QStringLiteral("exportSvgButton"));
    m_svgButton->setEnabled(false);
    connect(m_svgButton, &QPushButton::clicked, this, &ExportFrame::onExportSvg);
    layout->addWidget(m_svgButton, 5);
    m_bitmapButton = new QPushButton(tr("Bitmap..."), this);
    m_bitmapButton->setObjectName(QStringLiteral("exportBitmapButton"));
    m_bitmapButton->setEnabled(false);
    connect(m_bitmapButton, &QPushButton::clicked, this, &ExportFrame::onExportBitmap);
    layout->addWidget(m_bitmapButton);

    m_resolutionBox = new QComboBox(this);
    m_resolutionBox->setObjectName(QStringLiteral("exportResolutionBox"));
    for (const int dotsPerInch : {96, 150, 300, 600, 1200}) {
        m_resolutionBox->addItem(tr("%1 dpi").arg(dotsPerInch), dotsPerInch);
    }
    connect(m_resolutionBox, &QComboBox::currentIndexChanged, this, &ExportFrame::updatePixelSize);
    layout->addWidget(m_resolutionBox);

    m_fileDialog = new QFileDialog(this);
    m_fileDialog->setObjectName(QStringLiteral("exportDialog"));
    m_fileDialog->setAcceptMode(QFileDialog::AcceptSave);
    m_fileDialog->setFileMode(QFileDialog::AnyFile);
    connect(m_fileDialog, &QFileDialog::filterSelected, this, &ExportFrame::onFilterSelected);

    m_exportErrorBox = new QMessageBox(QMessageBox::Warning, tr("Problem while Exporting"),
                                       tr("There was a problem exporting the pattern."), QMessageBox::Ok, this);
    m_exportErrorBox->setObjectName(QStringLiteral("exportErrorBox"));
}

void ExportFrame::addMenuActions(QMenu* menu)
{
    menu->addAction(m_exportSvgAction);
    menu->addAction(m_exportBitmapAction);
}

void ExportFrame::setSvgData(const QByteArray& data)
{
    m_svgData = data;
    const geo::Size documentSize = document()->properties()->documentSize();
    m_documentMillimetres = QSizeF(static_cast<double>(documentSize.width()) / 1000000.0,
                                   static_cast<double>(documentSize.height()) / 1000000.0);
    updatePixelSize();
}

void ExportFrame::setOutOfDate(bool isOutOfDate)
{
    m_isOutOfDate = isOutOfDate;
    updatePixelSize();
}

bool ExportFrame::hasCurrentPattern() const
{
    return !m_svgData.isEmpty() && !m_isOutOfDate;
}

QSize ExportFrame::pixelSizeFor(const QSizeF& millimetres, int dotsPerInch)
{
    const auto pixels = [dotsPerInch](double length) {
        // std::lround takes halves away from zero; the clamp keeps absurd sizes inside int.
        const double exact = length * dotsPerInch / millimetresPerInch;
        return static_cast<int>(std::lround(std::clamp(exact, -1.0e9, 1.0e9)));
    };
    return QSize(pixels(millimetres.width()), pixels(millimetres.height()));
}

void ExportFrame::updatePixelSize()
{
    if (!hasCurrentPattern()) {
        const QString toolTip = tr("<p>Generate the pattern first: there is no up-to-date pattern to export.</p>");
        m_exportSvgAction->setEnabled(false);
        m_svgButton->setEnabled(false);
        m_svgButton->setToolTip(toolTip);
        m_exportBitmapAction->setEnabled(false);
        m_bitmapButton->setEnabled(false);
        m_bitmapButton->setToolTip(toolTip);
        return;
    }
    m_exportSvgAction->setEnabled(!m_isWorking);
    m_svgButton->setEnabled(true);
    m_svgButton->setToolTip(QString());
    m_bitmapPixelSize = pixelSizeFor(m_documentMillimetres, m_resolutionBox->currentData().toInt());
    QString toolTip = tr("<p>Exported bitmap size: %1px x %2px</p>")
                          .arg(m_bitmapPixelSize.width())
                          .arg(m_bitmapPixelSize.height());
    const bool isAllowed = isBitmapSizeAllowed();
    if (!isAllowed) {
        toolTip += tr("<p><b>Resulting bitmap is too large for export!</b></p>");
    }
    m_bitmapButton->setToolTip(toolTip);
    m_exportBitmapAction->setEnabled(isAllowed && !m_isWorking);
    m_bitmapButton->setEnabled(isAllowed);
}

bool ExportFrame::isBitmapSizeAllowed() const
{
    return std::max(m_bitmapPixelSize.width(), m_bitmapPixelSize.height()) <= maximumBitmapSide;
}

void ExportFrame::startWork()
{
    m_isWorking = true;
    m_exportSvgAction->setEnabled(false);
    m_exportBitmapAction->setEnabled(false);
}

void ExportFrame::endWork()
{
    m_isWorking = false;
    updatePixelSize();
}

// --- choosing the file ---

void ExportFrame::onExportSvg()
{
    emit exportRequested();
    if (!hasCurrentPattern()) {
        return;
    }
    m_fileDialog->setWindowTitle(tr("Export SVG"));
    m_fileDialog->setNameFilter(tr("SVG File (*.svg)"));
    m_fileDialog->setDefaultSuffix(svgSuffix);
    prepareExportFileName(svgSuffix);
    m_fileDialog->open(this, SLOT(onExportSvgAccepted()));
}

void ExportFrame::onExportBitmap()
{
    emit exportRequested();
    updatePixelSize();
    if (!hasCurrentPattern() || !isBitmapSizeAllowed()) {
        return;
    }
    m_fileDialog->setWindowTitle(tr("Export Bitmap"));
    m_fileDialog->setNameFilters({tr("PNG File (*.png)"), tr("JPEG File (*.jpg *.jpeg)")});
    m_fileDialog->setDefaultSuffix(pngSuffix);
    prepareExportFileName(pngSuffix);
    m_fileDialog->open(this, SLOT(onExportBitmapAccepted()));
}

QString ExportFrame::firstSelectedFile() const
{
    const QStringList selectedFiles = m_fileDialog->selectedFiles();
    // Without a chosen name a save dialog reports its folder.
    if (selectedFiles.isEmpty() || selectedFiles.first().isEmpty() || QFileInfo(selectedFiles.first()).isDir()) {
        return QString();
    }
    return selectedFiles.first();
}

void ExportFrame::prepareExportFileName(const QString& suffix)
{
    const QString selectedFile = firstSelectedFile();
    if (!selectedFile.isEmpty()) {
        const QFileInfo fileInfo(selectedFile);
        if (!hasSuffix(fileInfo, suffix)) {
            m_fileDialog->selectFile(withSuffix(fileInfo, suffix));
        }
        return;
    }
    QString proposal = QStringLiteral("%1/pattern.%2").arg(documentsFolder(), suffix);
    const MainWindow* mainWindow = ApplicationController::instance()->mainWindow();
    const QString projectPath = mainWindow != nullptr ? mainWindow->fileIO()->currentPath() : QString();
    if (!projectPath.isEmpty()) {
        proposal = withSuffix(QFileInfo(projectPath), suffix);
    }
    m_fileDialog->selectFile(proposal);
}

void ExportFrame::onFilterSelected(const QString& filter)
{
    const QString suffix = suffixForFilter(filter);
    // A name typed without a suffix gets the one of the chosen format.
    m_fileDialog->setDefaultSuffix(suffix);
    QTimer::singleShot(renameDelay, this, [this, suffix] { renameSelectedFile(suffix); });
}

void ExportFrame::renameSelectedFile(const QString& suffix)
{
    const QString selectedFile = firstSelectedFile();
    if (selectedFile.isEmpty()) {
        return;
    }
    const QFileInfo fileInfo(selectedFile);
    if (!hasSuffix(fileInfo, suffix)) {
        m_fileDialog->selectFile(withSuffix(fileInfo, suffix));
    }
}

// --- writing ---

void ExportFrame::onExportSvgAccepted()
{
    const QStringList selectedFiles = m_fileDialog->selectedFiles();
    if (selectedFiles.isEmpty()) {
        return;
    }
    writeExportFile(selectedFiles.first(), m_svgData);
}

void ExportFrame::onExportBitmapAccepted()
{
    const QStringList selectedFiles = m_fileDialog->selectedFiles();
    if (selectedFiles.isEmpty()) {
        return;
    }
    const QString path = selectedFiles.first();
    // The data follows the name the file gets; the filter decides only for a name of neither kind.
    const QFileInfo fileInfo(path);
    BitmapFormat format = m_fileDialog->selectedNameFilter().contains(QLatin1String("JPEG")) ? BitmapFormat::Jpeg
                                                                                             : BitmapFormat::Png;
    if (hasSuffix(fileInfo, jpegSuffix)) {
        format = BitmapFormat::Jpeg;
    } else if (hasSuffix(fileInfo, pngSuffix)) {
        format = BitmapFormat::Png;
    }
    QString errorString;
    const QByteArray encoded = renderBitmap(m_svgData, m_bitmapPixelSize, m_resolutionBox->currentData().toInt(),
                                            format, &errorString);
    if (encoded.isEmpty()) {
        showExportError(path, errorString);
        return;
    }
    writeExportFile(path, encoded);
}

QByteArray ExportFrame::renderBitmap(const QByteArray& svgData, const QSize& pixelSize, int dotsPerInch,
                                     BitmapFormat format, QString* errorString)
{
    QSvgRenderer renderer(svgData);
    if (!renderer.isValid()) {
        *errorString = tr("The pattern could not be drawn.");
        return {};
    }
    if (pixelSize.isEmpty()) {
        *errorString = tr("The pattern has no size to draw at.");
        return {};
    }
    // Premultiplied is the 32-bit ARGB layout QPainter draws into fastest; the encoded pixels are the same.
    QImage image(pixelSize, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        *errorString = tr("There is not enough memory for a bitmap of %1 x %2 pixels.")
                           .arg(pixelSize.width())
                           .arg(pixelSize.height());
        return {};
    }
    // PNG keeps it in pixels per metre, JPEG in dots per inch; both give back the chosen dpi.
    const int dotsPerMeter = static_cast<int>(std::lround(dotsPerInch / (millimetresPerInch / 1000.0)));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    // JPEG has no transparency: white stands behind a pattern without background.
    image.fill(format == BitmapFormat::Jpeg ? Qt::white : Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(image.rect()));
    painter.end();

    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format == BitmapFormat::Jpeg ? QByteArrayLiteral("jpg") : QByteArrayLiteral("png"));
    writer.setQuality(format == BitmapFormat::Jpeg ? jpegQuality : -1);
    if (!writer.write(image)) {
        *errorString = writer.errorString();
        return {};
    }
    return encoded;
}

void ExportFrame::writeExportFile(const QString& path, const QByteArray& data)
{
    QString errorString;
    if (!io::writeFileAtomically(path, data, &errorString)) {
        showExportError(path, errorString);
    }
}

void ExportFrame::showExportError(const QString& path, const QString& reason)
{
    m_exportErrorBox->setInformativeText(FileIO::plainTextForLabel(
        tr("The file “%1” was not written. The error message was: %2").arg(QFileInfo(path).fileName(), reason)));
    m_exportErrorBox->open();
}

// --- settings ---

void ExportFrame::saveSettings()
{
    QSettings settings;
    settings.setValue(QStringLiteral("export_svg.state"), m_fileDialog->saveState());
    settings.setValue(QStringLiteral("export.resolution"), m_resolutionBox->currentIndex());
    settings.setValue(QStringLiteral("export.lastDir"), m_fileDialog->directory().absolutePath());
}

void ExportFrame::loadSettings()
{
    QSettings settings;
    m_fileDialog->restoreState(settings.value(QStringLiteral("export_svg.state")).toByteArray());
    const int resolutionIndex = settings.value(QStringLiteral("export.resolution"), 0).toInt();
    m_resolutionBox->setCurrentIndex(std::clamp(resolutionIndex, 0, m_resolutionBox->count() - 1));
    m_fileDialog->setDirectory(existingFolderOrDocuments(settings.value(QStringLiteral("export.lastDir")).toString()));
}
