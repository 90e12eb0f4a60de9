#pragma once

#include "geo/Normal2D.h"

#include <QFrame>

class QDialog;
class QPushButton;
class QTimer;

class CoordinateWidget;
class Normal2DFrame;

// Edits a normalised point: a compact pad that opens a pad dialog with a large pad and coordinate
// fields. Edits in the dialog reach the owner after 100 ms without further change, and at once when
// the dialog closes.
class Normal2DWidget : public QFrame
{
    Q_OBJECT

public:
    static constexpr int commitDelayMilliseconds = 100;

    explicit Normal2DWidget(QWidget* parent);

    // Shows the point on both pads and in the coordinate fields; emits valueChanged when it differs.
    void setValue(const geo::Normal2D& value);
    geo::Normal2D value() const { return m_value; }

    Normal2DFrame* compactPad() const { return m_compactPad; }
    QDialog* padDialog() const { return m_padDialog; }
    Normal2DFrame* largePad() const { return m_largePad; }
    CoordinateWidget* coordinateFields() const { return m_coordinateFields; }
    // True while an edit in the dialog waits to be committed.
    bool isCommitPending() const;

signals:
    void valueChanged();

private:
    void initializeUi();
    void initializePadDialog();
    void onLargePadChanged();
    void onCoordinateFieldsChanged();
    // Takes the dialog's point as the widget's value when it differs.
    void commitPadValue();
    void showValue();

    geo::Normal2D m_value;
    Normal2DFrame* m_compactPad = nullptr;
    QDialog* m_padDialog = nullptr;
    Normal2DFrame* m_largePad = nullptr;
    CoordinateWidget* m_coordinateFields = nullptr;
    QTimer* m_commitTimer = nullptr;
};
