#include "app/ExampleDialog.h"

#include "app/CanvasPreview.h"
#include "canvas/Canvas.h"
#include "doc/Document.h"
#include "doc/Properties.h"
#include "err/Error.h"
#include "shape/Manager.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QListWidget>
#include <QPromise>
#include <QSettings>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent>

const QString ExampleDialog::examplesDirectory = QStringLiteral(":/examples");

namespace {

const QString keyGeometry = QStringLiteral("exampleDialog.geometry");
const QString keyProperties = QStringLiteral("properties");
const QString keyCanvas = QStringLiteral("canvas");
const QString keyShapes = QStringLiteral("shapes");
constexpr int handOverDelayMilliseconds = 100;

} // namespace

ExampleDialog::ExampleDialog(QWidget* parent)
    : QDialog(parent)
    , m_document(std::make_shared<doc::Document>())
    , m_renderer(m_document)
{
    initializeUi();
    startLoader();
}

ExampleDialog::~ExampleDialog()
{
    m_loader.cancel();
    m_loader.waitForFinished();
}

void ExampleDialog::initializeUi()
{
    setWindowTitle(tr("Select an Example"));
    setMinimumSize(800, 600);
    setModal(true);

    auto* mainLayout = new QVBoxLayout(this);
    mainLayout->setContentsMargins(16, 16, 16, 16);
    mainLayout->setSpacing(8);
    auto* contentLayout = new QHBoxLayout();
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(8);
    m_exampleList = new QListWidget(this);
    m_exampleList->setObjectName(QStringLiteral("exampleList"));
    m_exampleList->setFixedWidth(200);
    m_exampleList->setAlternatingRowColors(true);
    contentLayout->addWidget(m_exampleList);
    m_preview = new CanvasPreview(this);
    contentLayout->addWidget(m_preview);
    mainLayout->addLayout(contentLayout);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Close, this);
    mainLayout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_exampleList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ExampleDialog::onSelectionChanged);
}

void ExampleDialog::startLoader()
{
    m_loader = QtConcurrent::run(QThreadPool::globalInstance(), [this](QPromise<void>& promise) {
        QList<ExampleEntry> entries;
        for (const QString& path : examplePaths()) {
            if (promise.isCanceled()) {
                return;
            }
            if (std::optional<ExampleEntry> entry = readExampleEntry(path)) {
                entries.append(*entry);
            }
        }
        // Posted to the dialog's thread, which starts the hand-over timer there; the destructor waits
        // for this task, and a posted call dies with the dialog.
        QMetaObject::invokeMethod(
            this,
            [this, entries] {
                QTimer::singleShot(handOverDelayMilliseconds, this, [this, entries] { addExampleEntries(entries); });
            },
            Qt::QueuedConnection);
    });
}

QStringList ExampleDialog::examplePaths()
{
    const QDir directory(examplesDirectory);
    QStringList paths;
    for (const QString& name : directory.entryList({QStringLiteral("*.mtfx")}, QDir::Files, QDir::Name)) {
        paths.append(directory.absoluteFilePath(name));
    }
    return paths;
}

QJsonObject ExampleDialog::exampleJson(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    return document.isNull() ? QJsonObject() : document.object();
}

std::optional<ExampleDialog::ExampleEntry> ExampleDialog::readExampleEntry(const QString& path)
{
    const QJsonObject json = exampleJson(path);
    const QJsonValue properties = json.value(keyProperties);
    const QJsonValue items = json.value(QStringLiteral("items"));
    const QJsonValue shapes = json.value(keyShapes);
    const QJsonValue canvas = json.value(keyCanvas);
    if (!properties.isObject() || !items.isArray() || !(shapes.isUndefined() || shapes.isArray())
        || !(canvas.isUndefined() || canvas.isObject())) {
        return std::nullopt;
    }
    const QJsonObject propertiesObject = properties.toObject();
    return ExampleEntry{propertiesObject.value(QStringLiteral("name")).toString(),
                        propertiesObject.value(QStringLiteral("notes")).toString(), path};
}

void ExampleDialog::addExampleEntries(const QList<ExampleEntry>& entries)
{
    for (const ExampleEntry& entry : entries) {
        auto* row = new QListWidgetItem(entry.name, m_exampleList);
        row->setToolTip(entry.notes);
        row->setData(Qt::UserRole, entry.path);
        row->setSizeHint(QSize(100, 32));
    }
    if (m_exampleList->count() > 0) {
        m_exampleList->setCurrentRow(0);
    }
}

QString ExampleDialog::selectedExamplePath() const
{
    const QList<QListWidgetItem*> selected = m_exampleList->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->data(Qt::UserRole).toString();
}

void ExampleDialog::onSelectionChanged()
{
    const QJsonObject json = exampleJson(selectedExamplePath());
    // Looking at an example leaves the user's shape database alone: the example's own shapes are held
    // for this preview only, and come into the database when the example is opened.
    shape::Manager::ShapeList ownShapes;
    try {
        ownShapes = shape::Manager::readEntriesOrThrow(json.value(keyShapes).toVariant());
        m_document->setFromJsonWithoutShapeImportOrThrow(json);
    } catch (const err::Error&) {
        return;
    }
    m_renderer.setOwnShapes(std::move(ownShapes));
    if (!json.contains(keyCanvas)) {
        return;
    }
    const QSharedPointer<canvas::Canvas> canvas = canvas::Canvas::create(json.value(keyCanvas).toVariant());
    if (canvas == nullptr) {
        return;
    }
    m_renderer.updateCanvasStyle(canvas);
    const QByteArray svg = m_renderer.render(canvas);
    const auto properties = m_document->properties();
    m_preview->setBackground(properties->canvasBackgroundEnabled() ? properties->canvasBackgroundColor()
                                                                   : palette().color(QPalette::Window));
    m_preview->loadSvg(svg);
}

void ExampleDialog::saveSettings()
{
    QSettings().setValue(keyGeometry, saveGeometry());
}

void ExampleDialog::loadSettings()
{
    restoreGeometry(QSettings().value(keyGeometry).toByteArray());
}
