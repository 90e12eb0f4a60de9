#include "editors/ItemEditDialog.h"

#include "doc/Item.h"
#include "editors/ClampingSpinBox.h"
#include "editors/ColorWidget.h"
#include "editors/DynamicValueWidget.h"
#include "editors/OrderPreviewWidget.h"
#include "editors/RotationPreviewWidget.h"
#include "editors/ShapeWidget.h"
#include "editors/TransitionBox.h"
#include "editors/UpdateGuard.h"
#include "geo/Length.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

constexpr double minimumRadius = 0.01;
constexpr double maximumRadius = 1000.0;
constexpr int maximumCount = 1000000;
// A transition picked for a constant item starts this much below the radius, when there is room.
constexpr double firstTransitionDrop = 0.5;
constexpr double firstTransitionRoom = 0.6;

QDoubleSpinBox* createRadiusBox(QWidget* parent)
{
    auto* box = new ClampingSpinBox(parent);
    box->setRange(minimumRadius, maximumRadius);
    box->setSingleStep(0.1);
    box->setDecimals(2);
    box->setMinimumWidth(80);
    box->setAlignment(Qt::AlignRight);
    return box;
}

QFormLayout* createPageForm(QWidget* page)
{
    auto* layout = new QFormLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->setFormAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    return layout;
}

// A page of one style value, as its property tab shows it: the preview above the editor.
void layOutValuePage(QWidget* page, QWidget* preview, QWidget* editor)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    layout->addWidget(preview);
    layout->addSpacing(16);
    layout->addWidget(editor);
    layout->addStretch(1);
}

geo::Length lengthFromMillimeters(double millimeters)
{
    return geo::Length::fromDouble(millimeters);
}

} // namespace

ItemEditDialog::ItemEditDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog)
{
    initializeUi();
    setMode(Mode::New);
}

ItemEditDialog::~ItemEditDialog()
{
    // A field that loses its focus while the dialog goes takes its text as an edit: nothing may reach
    // this half-destroyed dialog any more.
    for (QObject* control : std::initializer_list<QObject*>{m_shapeChooser, m_countBox, m_radiusBeginBox,
                                                            m_transitionBox, m_radiusEndBox}) {
        control->disconnect(this);
    }
}

void ItemEditDialog::initializeUi()
{
    setMinimumSize(500, 400);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);
    m_titleLabel = new QLabel(this);
    m_titleLabel->setTextFormat(Qt::RichText);
    layout->addWidget(m_titleLabel);
    m_tabWidget = new QTabWidget(this);
    m_tabWidget->addTab(initializeMain(), tr("Main"));
    m_tabWidget->addTab(initializeColor(), tr("Color"));
    m_tabWidget->addTab(initializeRotation(), tr("Rotation"));
    m_tabWidget->addTab(initializeOrder(), tr("Order"));
    layout->addWidget(m_tabWidget);
    initializeButtons();
    connectControls();
}

QWidget* ItemEditDialog::initializeMain()
{
    auto* page = new QFrame(this);
    QFormLayout* form = createPageForm(page);
    m_shapeChooser = new ShapeWidget(true, page);
    form->addRow(tr("Shape:"), m_shapeChooser);
    m_countBox = new QSpinBox(page);
    m_countBox->setRange(1, maximumCount);
    // A typed count is one edit, taken when it is finished.
    m_countBox->setKeyboardTracking(false);
    form->addRow(tr("Maximum Count:"), m_countBox);
    m_radiusBeginBox = createRadiusBox(page);
    form->addRow(tr("Radius Begin:"), m_radiusBeginBox);
    m_transitionBox = new TransitionBox(page);
    form->addRow(tr("Radius Transition:"), m_transitionBox);
    m_radiusEndBox = createRadiusBox(page);
    m_radiusEndBox->setEnabled(false);
    form->addRow(tr("Radius End:"), m_radiusEndBox);
    return page;
}

QWidget* ItemEditDialog::initializeColor()
{
    auto* page = new QFrame(this);
    QFormLayout* form = createPageForm(page);
    m_colorWidget = new ColorWidget(page);
    form->addRow(m_colorWidget);
    return page;
}

QWidget* ItemEditDialog::initializeRotation()
{
    auto* page = new QFrame(this);
    m_rotationPreview = new RotationPreviewWidget(page);
    m_rotationEditor = new DynamicValueWidget(DynamicValueWidget::DisplayMode::Rotation, page);
    layOutValuePage(page, m_rotationPreview, m_rotationEditor);
    return page;
}

QWidget* ItemEditDialog::initializeOrder()
{
    auto* page = new QFrame(this);
    m_orderPreview = new OrderPreviewWidget(page);
    m_orderEditor = new DynamicValueWidget(DynamicValueWidget::DisplayMode::Level, page);
    layOutValuePage(page, m_orderPreview, m_orderEditor);
    return page;
}

void ItemEditDialog::initializeButtons()
{
    auto* buttonBox = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_resetButton = buttonBox->addButton(tr("Reset to Original"), QDialogButtonBox::ResetRole);
    m_resetButton->setAutoDefault(false);
    m_resetButton->setToolTip(tr("Reset the values back to the state before you started editing them."));
    // Every edit is already in the document: however the dialog is closed, it keeps them.
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::accept);
    connect(m_resetButton, &QPushButton::clicked, this, &ItemEditDialog::onResetToOriginal);
    layout()->addWidget(buttonBox);
}

void ItemEditDialog::connectControls()
{
    connect(m_shapeChooser, &ShapeWidget::valueChanged, this,
            [this] { writeItem([this] { m_item->setShapeId(m_shapeChooser->value()); }); });
    connect(m_radiusBeginBox, &QDoubleSpinBox::valueChanged, this, &ItemEditDialog::onRadiusBeginChanged);
    connect(m_radiusEndBox, &QDoubleSpinBox::valueChanged, this, [this](double radiusEnd) {
        writeItem([this, radiusEnd] { m_item->setRadiusEnd(lengthFromMillimeters(radiusEnd)); });
    });
    connect(m_countBox, &QSpinBox::valueChanged, this,
            [this](int count) { writeItem([this, count] { m_item->setCount(count); }); });
    connect(m_transitionBox, &TransitionBox::valueChanged, this, &ItemEditDialog::onTransitionChanged);
}

void ItemEditDialog::showEvent(QShowEvent* event)
{
    // The fixed minimum size keeps Qt from growing the dialog to its pages: every page must fit,
    // the colour page with its four editors included.
    resize(size().expandedTo(sizeHint()));
    QDialog::showEvent(event);
}

void ItemEditDialog::setMode(Mode mode)
{
    m_mode = mode;
    const QString title = mode == Mode::Edit ? tr("Edit Item") : tr("Edit New Item");
    setWindowTitle(title);
    m_titleLabel->setText(QStringLiteral("<h2>%1</h2>").arg(title));
}

void ItemEditDialog::setItem(const std::shared_ptr<doc::Item>& item)
{
    m_item = item;
    m_startingData = item != nullptr ? item->toData() : QVariant();
    fillControls();
}

void ItemEditDialog::fillControls()
{
    if (m_item == nullptr) {
        return;
    }
    UpdateGuard::refresh(m_item.get(), [this] {
        m_shapeChooser->setValue(m_item->shapeId());
        m_radiusBeginBox->setValue(m_item->radius().toDouble());
        m_transitionBox->setValue(m_item->radiusTransition());
        showRadiusEnd(!m_item->radiusTransition().isEmpty(), m_item->radiusEnd().toDouble());
        m_countBox->setValue(m_item->count());
        m_colorWidget->setColor(m_item->color());
        m_rotationPreview->setValue(m_item->rotation());
        m_rotationEditor->setDynamicValue(m_item->rotation());
        m_orderPreview->setValue(m_item->orderZ());
        m_orderEditor->setDynamicValue(m_item->orderZ());
    });
}

void ItemEditDialog::showRadiusEnd(bool hasTransition, double radiusEnd)
{
    m_radiusEndBox->setEnabled(hasTransition);
    m_radiusEndBox->setMinimum(hasTransition ? minimumRadius : 0.0);
    m_radiusEndBox->setMaximum(m_radiusBeginBox->value());
    m_radiusEndBox->setValue(hasTransition ? radiusEnd : 0.0);
}

template<typename Write>
void ItemEditDialog::writeItem(const Write& write)
{
    if (m_item != nullptr) {
        UpdateGuard::write(m_item.get(), write);
    }
}

void ItemEditDialog::onRadiusBeginChanged(double radiusBegin)
{
    // Also while the controls are filled: the end never runs above the begin. A lower maximum lowers a
    // larger end, which the end box then writes.
    m_radiusEndBox->setMaximum(radiusBegin);
    writeItem([this, radiusBegin] { m_item->setRadius(lengthFromMillimeters(radiusBegin)); });
}

// A pick is one edit: the end box only shows the end it leaves (its own writer would store each step
// of the way, its rising minimum included), and the item gets the transition, then the end once.
void ItemEditDialog::onTransitionChanged()
{
    const QString transition = m_transitionBox->value();
    writeItem([this, &transition] {
        const QSignalBlocker quietEnd(m_radiusEndBox);
        const bool isFirstTransition = !transition.isEmpty() && !m_radiusEndBox->isEnabled();
        if (transition.isEmpty()) {
            m_radiusEndBox->setEnabled(false);
            m_radiusEndBox->setMinimum(0.0);
            m_radiusEndBox->setValue(0.0);
        } else if (isFirstTransition) {
            m_radiusEndBox->setEnabled(true);
            m_radiusEndBox->setMinimum(minimumRadius);
            const double radiusBegin = m_radiusBeginBox->value();
            m_radiusEndBox->setValue(radiusBegin > firstTransitionRoom ? radiusBegin - firstTransitionDrop
                                                                       : minimumRadius);
        }
        m_item->setRadiusTransition(transition);
        // A transition that replaces another keeps the end as the item holds it: the box shows it rounded.
        if (transition.isEmpty()) {
            m_item->setRadiusEnd(geo::Length(0));
        } else if (isFirstTransition) {
            m_item->setRadiusEnd(lengthFromMillimeters(m_radiusEndBox->value()));
        }
    });
}

void ItemEditDialog::onResetToOriginal()
{
    if (m_item == nullptr) {
        return;
    }
    try {
        m_item->setFromDataOrThrow(m_startingData);
    } catch (const err::Deserialize&) {
        // Data the item gave itself reads back; should it not, the item keeps what could be read.
    }
    // The colour, rotation and order editors follow their values; the main page does not listen.
    fillControls();
}
