#pragma once

#include "widgets/DocumentEditor.h"

#include <QByteArray>
#include <QFrame>
#include <QSize>
#include <QSizeF>

#include <cstdint>

class QAction;
class QComboBox;
class QFileDialog;
class QMenu;
class QMessageBox;
class QPushButton;

// The export strip: writes the shown pattern as SVG, or draws it into a PNG or JPEG bitmap whose size
// follows from the document size and the chosen resolution.
class ExportFrame : public QFrame, public DocumentEditor
{
    Q_OBJECT

public:
    enum class BitmapFormat : std::uint8_t { Png, Jpeg };

    // Bitmaps larger than this on either side are refused.
    static constexpr int maximumBitmapSide = 8000;

    explicit ExportFrame(QWidget* parent);

    // The SVG of the shown canvas, handed over after every render; empty when there is none.
    void setSvgData(const QByteArray& data);
    // Whether the shown canvas no longer matches the document: it is then not offered for export.
    void setOutOfDate(bool isOutOfDate);
    void addMenuActions(QMenu* menu);
    void startWork();
    void endWork();
    void saveSettings();
    void loadSettings();

    QSize bitmapPixelSize() const { return m_bitmapPixelSize; }

    // Millimetres × dots per inch / 25.4 on each side, to the nearest pixel.
    static QSize pixelSizeFor(const QSizeF& millimetres, int dotsPerInch);
    // The encoded bitmap of the SVG at the given size: PNG on transparency, JPEG (quality 95) on white,
    // recording the resolution. Empty on failure, with the reason in errorString.
    static QByteArray renderBitmap(const QByteArray& svgData, const QSize& pixelSize, int dotsPerInch,
                                   BitmapFormat format, QString* errorString);

signals:
    // Emitted before an export opens its dialog, so that the preview can settle a comparison that is
    // still due; the export goes ahead only if the shown canvas still matches the document.
    void exportRequested();

public slots:
    void onExportSvg();
    void onExportBitmap();
    void updatePixelSize();
    void onFilterSelected(const QString& filter);
    void onExportSvgAccepted();
    void onExportBitmapAccepted();

private:
    void initializeActions();
    void initializeUi();
    bool isBitmapSizeAllowed() const;
    // A shown canvas that matches the document: the only thing worth exporting.
    bool hasCurrentPattern() const;
    void prepareExportFileName(const QString& suffix);
    void renameSelectedFile(const QString& suffix);
    QString firstSelectedFile() const;
    void writeExportFile(const QString& path, const QByteArray& data);
    void showExportError(const QString& path, const QString& reason);

    QByteArray m_svgData;
    QSizeF m_documentMillimetres{-1.0, -1.0};
    QSize m_bitmapPixelSize;
    bool m_isOutOfDate = true;
    // During a run the actions stay off, whatever else changes.
    bool m_isWorking = false;
    QAction* m_exportSvgAction = nullptr;
    QAction* m_exportBitmapAction = nullptr;
    QFileDialog* m_fileDialog = nullptr;
    QPushButton* m_svgButton = nullptr;
    QPushButton* m_bitmapButton = nullptr;
    QComboBox* m_resolutionBox = nullptr;
    QMessageBox* m_exportErrorBox = nullptr;
};
