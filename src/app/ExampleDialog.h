#pragma once

#include "svg/Renderer.h"

#include <QDialog>
#include <QFuture>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class CanvasPreview;
class QListWidget;

namespace doc {
class Document;
}

// The gallery of the example projects stored in the program under ":/examples": a list of their names,
// with the notes as tool tips, beside a preview of the selected one. The list is read once, on the
// global thread pool, when the dialog is made. The dialog changes neither the edited document nor the
// user's shapes: its owner loads the chosen example when the dialog is accepted.
class ExampleDialog : public QDialog
{
    Q_OBJECT

public:
    // What the list shows of one example, read on the pool from the file alone.
    struct ExampleEntry {
        QString name;
        QString notes;
        QString path;
    };

    static const QString examplesDirectory;

    explicit ExampleDialog(QWidget* parent);
    // Stops the loader and waits for it: it hands its result to this dialog.
    ~ExampleDialog() override;

    // The resource path of the first selected row; empty when nothing is selected.
    QString selectedExamplePath() const;
    void saveSettings();
    void loadSettings();

    // The example's top-level JSON object; empty when the file cannot be read or holds no JSON object.
    static QJsonObject exampleJson(const QString& path);
    // The list entry of an example, or nothing when its file is not a project: the file must hold a
    // JSON object with a "properties" object and an "items" list, and "shapes" and "canvas", when
    // present, must be a list and an object. Reads no shape database and no other shared state.
    static std::optional<ExampleEntry> readExampleEntry(const QString& path);
    // The paths of the examples in file-name order.
    static QStringList examplePaths();

public slots:
    void onSelectionChanged();

private:
    void initializeUi();
    void startLoader();
    void addExampleEntries(const QList<ExampleEntry>& entries);

    QFuture<void> m_loader;
    QListWidget* m_exampleList = nullptr;
    std::shared_ptr<doc::Document> m_document;
    CanvasPreview* m_preview = nullptr;
    svg::Renderer m_renderer;
};
