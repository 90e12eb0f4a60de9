#pragma once

#include "app/DocumentEditor.h"

#include <QByteArray>
#include <QFrame>

class QMenu;

// The export strip: writes the shown pattern as SVG, PNG or JPEG.
class ExportFrame : public QFrame, public DocumentEditor
{
    Q_OBJECT

public:
    explicit ExportFrame(QWidget* parent);

    void setSvgData(const QByteArray& data);
    void addMenuActions(QMenu* menu);
    void startWork();
    void endWork();
    void saveSettings();
    void loadSettings();
};
