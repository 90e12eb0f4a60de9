#include "editors/FunctionBox.h"

#include "app/ApplicationController.h"
#include "app/MainWindow.h"
#include "doc/InputFunctions.h"
#include "editors/DialogRun.h"
#include "editors/FunctionControl.h"
#include "editors/FunctionEditor.h"
#include "editors/UpdateGuard.h"
#include "widgets/IconFont.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>

FunctionBox::FunctionBox(QWidget* parent)
    : FramedControl(parent)
{
    initializeUi();
}

FunctionBox::~FunctionBox()
{
    setFunctions(nullptr);
}

void FunctionBox::initializeUi()
{
    setFixedHeight(56);
    setFocusPolicy(Qt::NoFocus);
    auto* outerLayout = new QHBoxLayout(this);
    outerLayout->setContentsMargins(1, 1, 1, 1);
    outerLayout->setSpacing(0);
    auto* scrollArea = new QScrollArea(this);
    scrollArea->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    scrollArea->setWidgetResizable(true);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setFrameShape(QFrame::NoFrame);
    auto* stripFrame = new QFrame(scrollArea);
    stripFrame->setObjectName(QStringLiteral("functionsFrame"));
    m_stripLayout = new QHBoxLayout(stripFrame);
    m_stripLayout->setContentsMargins(2, 2, 2, 2);
    m_stripLayout->setSpacing(4);
    scrollArea->setWidget(stripFrame);
    outerLayout->addWidget(scrollArea);

    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setSingleShot(true);
    m_refreshTimer->setInterval(refreshDelayMilliseconds);
    connect(m_refreshTimer, &QTimer::timeout, this, &FunctionBox::updateUi);
}

void FunctionBox::setFunctions(const std::shared_ptr<doc::InputFunctions>& functions)
{
    if (functions == m_functions) {
        return;
    }
    if (m_functions != nullptr) {
        m_functions->removeListener(this);
    }
    m_functions = functions;
    if (m_functions != nullptr) {
        m_functions->addListener(this);
    }
    m_refreshTimer->start();
}

QList<FunctionControl*> FunctionBox::controls() const
{
    QList<FunctionControl*> controls;
    for (int i = 0; i < m_stripLayout->count(); ++i) {
        if (auto* control = qobject_cast<FunctionControl*>(m_stripLayout->itemAt(i)->widget())) {
            controls.append(control);
        }
    }
    return controls;
}

QPushButton* FunctionBox::addButton() const
{
    for (int i = 0; i < m_stripLayout->count(); ++i) {
        if (auto* button = qobject_cast<QPushButton*>(m_stripLayout->itemAt(i)->widget())) {
            return button;
        }
    }
    return nullptr;
}

void FunctionBox::clearStrip()
{
    while (QLayoutItem* item = m_stripLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

void FunctionBox::updateUi()
{
    clearStrip();
    if (m_functions == nullptr) {
        return;
    }
    const doc::InputFunctions::Steps& steps = m_functions->functions();
    for (std::size_t i = 0; i < steps.size(); ++i) {
        auto* control = new FunctionControl(m_stripLayout->parentWidget());
        control->setFunction(static_cast<int>(i), steps[i]);
        // Queued: the next refresh deletes the tile that sends them.
        connect(control, &FunctionControl::editRequest, this, &FunctionBox::onEditRequest, Qt::QueuedConnection);
        connect(control, &FunctionControl::removeRequest, this, &FunctionBox::onRemoveRequest, Qt::QueuedConnection);
        m_stripLayout->addWidget(control);
    }
    if (steps.size() >= maximumStepCount) {
        m_stripLayout->addStretch();
        return;
    }
    auto* addButton = new QPushButton(QStringLiteral("+"), m_stripLayout->parentWidget());
    addButton->setObjectName(QStringLiteral("functionsPlusButton"));
    addButton->setFixedSize(46, 46);
    addButton->setFont(IconFont::font());
    connect(addButton, &QPushButton::clicked, this, &FunctionBox::onAddFunction, Qt::QueuedConnection);
    m_stripLayout->addWidget(addButton);
    m_stripLayout->addStretch();
}

FunctionEditor* FunctionBox::sharedEditor()
{
    MainWindow* window = ApplicationController::instance()->mainWindow();
    return window != nullptr ? window->functionEditor() : nullptr;
}

void FunctionBox::openEditor(EditMode mode, int index)
{
    FunctionEditor* editor = sharedEditor();
    if (editor == nullptr || m_functions == nullptr) {
        return;
    }
    m_editMode = mode;
    m_editIndex = index;
    m_editedFunctions = m_functions;
    if (mode == EditMode::Edit) {
        editor->editInputFunction(m_functions->function(index));
    } else {
        editor->newInputFunction();
    }
    DialogRun::open(editor, this, [this](int result) { onFunctionEditorFinished(result); });
}

void FunctionBox::onAddFunction()
{
    openEditor(EditMode::Add, -1);
}

void FunctionBox::onEditRequest(int index)
{
    // A request from a tile of a chain that has since become shorter names no step.
    if (m_functions == nullptr || m_functions->function(index) == nullptr) {
        return;
    }
    openEditor(EditMode::Edit, index);
}

void FunctionBox::onFunctionEditorFinished(int result)
{
    const EditMode mode = m_editMode;
    const int index = m_editIndex;
    m_editMode = EditMode::None;
    m_editIndex = -1;
    const bool isSameChain = m_editedFunctions.lock() == m_functions && m_functions != nullptr;
    m_editedFunctions.reset();
    FunctionEditor* editor = sharedEditor();
    if (result != QDialog::Accepted || !isSameChain || editor == nullptr) {
        return;
    }
    // A dialog accepted without a function, or a step that no longer exists, changes nothing.
    const std::shared_ptr<doc::InputFunction> function = editor->createFunction();
    if (function == nullptr) {
        return;
    }
    UpdateGuard::write(m_functions.get(), [&] {
        if (mode == EditMode::Edit && m_functions->function(index) != nullptr) {
            m_functions->replaceFunction(index, function);
        } else if (mode == EditMode::Add) {
            m_functions->appendFunction(function);
        }
    });
    m_refreshTimer->start();
}

void FunctionBox::onRemoveRequest(int index)
{
    if (m_functions == nullptr || m_functions->function(index) == nullptr) {
        return;
    }
    UpdateGuard::write(m_functions.get(), [&] { m_functions->removeFunction(index); });
    m_refreshTimer->start();
}

void FunctionBox::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    paintPanel(&painter, QColor::fromHsvF(0, 0, 0.1, 1));
}

void FunctionBox::onDocumentPropertyChanged(const QString& /*name*/, const doc::DocumentElement* /*element*/)
{
    m_refreshTimer->start();
}

void FunctionBox::onDocumentElementAdded(const QString& /*name*/)
{
    m_refreshTimer->start();
}

void FunctionBox::onDocumentElementRemoved(const QString& /*name*/)
{
    m_refreshTimer->start();
}

void FunctionBox::onDocumentElementReset()
{
    m_refreshTimer->start();
}
