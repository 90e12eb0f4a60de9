#include "editors/ColorPresetDialog.h"

#include "app/ApplicationController.h"
#include "doc/Color.h"
#include "doc/ColorManager.h"
#include "doc/DynamicValue.h"
#include "doc/DynamicValueInput.h"
#include "editors/ColorPreviewWidget.h"
#include "err/Deserialize.h"

#include <QDebug>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QSize presetRowSizeHint(200, 24);

void logUnreadablePreset()
{
    qDebug("Failed to deserialize color preset");
}


// The preset's data for the colour it is loaded into. A colour without a parent cannot follow one: a
// preset channel that inherits (a preset saved from an item colour) would make the world colour
// transparent black, so such a channel keeps the colour's own channel instead.
QVariant presetDataFor(const doc::Color& target, const doc::Color& preset, const QVariant& presetData)
{
    if (target.hasParent()) {
        return presetData;
    }
    using Channel = const std::shared_ptr<doc::DynamicValue>& (doc::Color::*)() const;
    const std::pair<QString, Channel> channels[] = {
        {QStringLiteral("hue"), &doc::Color::hue},
        {QStringLiteral("saturation"), &doc::Color::saturation},
        {QStringLiteral("value"), &doc::Color::value},
        {QStringLiteral("alpha"), &doc::Color::alpha},
    };
    QVariantMap data = presetData.toMap();
    for (const auto& [key, channel] : channels) {
        if ((preset.*channel)()->input() == doc::DynamicValueInput::Parent) {
            data.insert(key, (target.*channel)()->toData());
        }
    }
    return data;
}

} // namespace

ColorPresetDialog::ColorPresetDialog(QWidget* parent)
    : QDialog(parent)
{
    initializeUi();
    refreshList();
}

void ColorPresetDialog::initializeUi()
{
    setWindowTitle(tr("Color Presets"));
    setMinimumSize(500, 600);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(0);

    layout->addWidget(new QLabel(tr("<h2>Color Presets</h2>"), this));
    layout->addSpacing(8);
    layout->addWidget(new QLabel(tr("Edited Color:"), this));
    layout->addSpacing(4);
    m_editColorPreview = new ColorPreviewWidget(this);
    m_editColorPreview->setEditable(false);
    layout->addWidget(m_editColorPreview);
    layout->addSpacing(8);
    addPresetButtons(layout);
    layout->addSpacing(8);
    layout->addWidget(new QLabel(tr("Preset Color:"), this));
    layout->addSpacing(4);
    m_presetColorPreview = new ColorPreviewWidget(this);
    m_presetColorPreview->setEditable(false);
    layout->addWidget(m_presetColorPreview);
    layout->addSpacing(8);
    addPresetList(layout);
    layout->addSpacing(8);
    addButtonBox(layout);
}

void ColorPresetDialog::addPresetButtons(QVBoxLayout* layout)
{
    auto* row = new QHBoxLayout();
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addStretch(1);
    m_loadButton = new QPushButton(tr("↑ Load ↑"), this);
    m_loadButton->setToolTip(tr("Load the selected preset and replace the edited color."));
    row->addWidget(m_loadButton);
    row->addSpacing(8);
    m_newButton = new QPushButton(tr("↓ New ↓"), this);
    m_newButton->setToolTip(tr("Create a new preset from the edited color."));
    row->addWidget(m_newButton);
    m_updateButton = new QPushButton(tr("↓ Update ↓"), this);
    m_updateButton->setToolTip(tr("Update the selected preset with the edited color."));
    row->addWidget(m_updateButton);
    row->addStretch(1);
    layout->addLayout(row);

    connect(m_loadButton, &QPushButton::clicked, this, &ColorPresetDialog::onLoad);
    connect(m_updateButton, &QPushButton::clicked, this, &ColorPresetDialog::onUpdate);
    connect(m_newButton, &QPushButton::clicked, this, &ColorPresetDialog::onNew);
}

void ColorPresetDialog::addPresetList(QVBoxLayout* layout)
{
    m_presetList = new QTreeWidget(this);
    m_presetList->setColumnCount(1);
    m_presetList->setHeaderHidden(true);
    m_presetList->header()->setStretchLastSection(true);
    m_presetList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_presetList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_presetList->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    m_presetList->setMinimumSize(200, 80);
    m_presetList->setAlternatingRowColors(true);
    m_presetList->setUniformRowHeights(true);
    m_presetList->setRootIsDecorated(false);
    layout->addWidget(m_presetList);
    connect(m_presetList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ColorPresetDialog::onSelectionChanged);
}

void ColorPresetDialog::addButtonBox(QVBoxLayout* layout)
{
    m_buttonBox = new QDialogButtonBox(this);
    m_renameButton = m_buttonBox->addButton(tr("Rename"), QDialogButtonBox::ActionRole);
    m_renameButton->setToolTip(tr("Rename the selected preset."));
    m_removeButton = m_buttonBox->addButton(tr("Remove"), QDialogButtonBox::DestructiveRole);
    m_removeButton->setToolTip(tr("Remove the selected preset."));
    m_closeButton = m_buttonBox->addButton(tr("Close"), QDialogButtonBox::RejectRole);
    m_closeButton->setDefault(true);
    layout->addWidget(m_buttonBox);

    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_renameButton, &QPushButton::clicked, this, &ColorPresetDialog::onRename);
    connect(m_removeButton, &QPushButton::clicked, this, &ColorPresetDialog::onRemove);
}

doc::ColorManager* ColorPresetDialog::colorManager()
{
    const ApplicationController* controller = ApplicationController::instance();
    return controller != nullptr ? controller->colorManager() : nullptr;
}

void ColorPresetDialog::setEditColor(const std::shared_ptr<doc::Color>& color)
{
    m_editColor = color;
    m_editColorPreview->setColor(color);
    // Presets that take the parent colour are shown against the edited colour's parent.
    m_presetColor = std::make_shared<doc::Color>(nullptr);
    m_presetColor->setParent(color != nullptr ? color->parent() : nullptr);
    m_presetColor->setStaticColor(QColor(Qt::gray));
    m_presetColorPreview->setColor(m_presetColor);
    refreshList();
    m_presetList->clearSelection();
    updateButtonStates();
}

void ColorPresetDialog::refreshList()
{
    const QString selected = selectedIdentifier();
    m_presetList->clear();
    if (const doc::ColorManager* manager = colorManager()) {
        for (const doc::ColorManager::Entry& entry : manager->entries()) {
            auto* item = new QTreeWidgetItem(m_presetList);
            item->setText(0, entry.name);
            item->setData(0, Qt::UserRole, entry.identifier);
            item->setData(0, Qt::SizeHintRole, presetRowSizeHint);
        }
    }
    m_presetList->sortItems(0, Qt::DescendingOrder);
    selectIdentifier(selected);
    updateButtonStates();
}

QString ColorPresetDialog::selectedIdentifier() const
{
    const QList<QTreeWidgetItem*> selected = m_presetList->selectedItems();
    if (selected.isEmpty()) {
        return {};
    }
    QTreeWidgetItem* item = selected.constFirst();
    while (item->parent() != nullptr) {
        item = item->parent();
    }
    return item->data(0, Qt::UserRole).toString();
}

void ColorPresetDialog::selectIdentifier(const QString& identifier)
{
    for (int index = 0; index < m_presetList->topLevelItemCount(); ++index) {
        QTreeWidgetItem* item = m_presetList->topLevelItem(index);
        if (item->data(0, Qt::UserRole).toString() == identifier) {
            m_presetList->selectionModel()->select(m_presetList->indexFromItem(item),
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            return;
        }
    }
    m_presetList->clearSelection();
    setSelectionControlsEnabled(false);
}

void ColorPresetDialog::updateButtonStates()
{
    setSelectionControlsEnabled(!m_presetList->selectedItems().isEmpty());
}

void ColorPresetDialog::setSelectionControlsEnabled(bool isEnabled)
{
    m_presetColorPreview->setEnabled(isEnabled);
    m_removeButton->setEnabled(isEnabled);
    m_loadButton->setEnabled(isEnabled);
    m_renameButton->setEnabled(isEnabled);
    m_updateButton->setEnabled(isEnabled);
}

void ColorPresetDialog::onSelectionChanged()
{
    const QString identifier = selectedIdentifier();
    if (m_presetColor != nullptr) {
        const doc::ColorManager* manager = colorManager();
        if (identifier.isEmpty() || manager == nullptr) {
            m_presetColor->setStaticColor(QColor(Qt::gray));
        } else {
            try {
                m_presetColor->setFromDataOrThrow(manager->data(identifier));
            } catch (const err::Deserialize&) {
                logUnreadablePreset();
                m_presetColor->setStaticColor(QColor(Qt::gray));
            }
        }
    }
    updateButtonStates();
}

void ColorPresetDialog::onLoad()
{
    const QString identifier = selectedIdentifier();
    const doc::ColorManager* manager = colorManager();
    if (identifier.isEmpty() || manager == nullptr) {
        return;
    }
    if (m_editColor != nullptr) {
        const QVariant data = manager->data(identifier);
        // A colour reads its channels one after the other: broken data read straight into the edited
        // colour would leave it half replaced. Only data that a scratch colour read whole is applied.
        auto scratch = std::make_shared<doc::Color>(nullptr);
        try {
            scratch->setFromDataOrThrow(data);
            m_editColor->setFromDataOrThrow(presetDataFor(*m_editColor, *scratch, data));
        } catch (const err::Deserialize&) {
            logUnreadablePreset();
        }
    }
    accept();
}

void ColorPresetDialog::onNew()
{
    doc::ColorManager* manager = colorManager();
    if (manager == nullptr || m_editColor == nullptr) {
        return;
    }
    const QString name = QInputDialog::getText(this, tr("Enter a New Name for the Preset"), tr("Name:"),
                                               QLineEdit::Normal, QString());
    if (name.isEmpty()) {
        return;
    }
    manager->add(name, m_editColor->toData());
    refreshList();
    accept();
}

void ColorPresetDialog::onUpdate()
{
    const QString identifier = selectedIdentifier();
    doc::ColorManager* manager = colorManager();
    if (identifier.isEmpty() || manager == nullptr || m_editColor == nullptr) {
        return;
    }
    manager->update(identifier, m_editColor->toData());
    accept();
}

void ColorPresetDialog::onRename()
{
    const QString identifier = selectedIdentifier();
    doc::ColorManager* manager = colorManager();
    if (identifier.isEmpty() || manager == nullptr) {
        return;
    }
    const QString currentName = manager->name(identifier);
    const QString name = QInputDialog::getText(this, tr("Enter the New Name for this Preset"), tr("Name:"),
                                               QLineEdit::Normal, currentName);
    if (!name.isEmpty() && name != currentName) {
        manager->rename(identifier, name);
    }
    refreshList();
}

void ColorPresetDialog::onRemove()
{
    const QString identifier = selectedIdentifier();
    doc::ColorManager* manager = colorManager();
    if (identifier.isEmpty() || manager == nullptr) {
        return;
    }
    manager->remove(identifier);
    refreshList();
}
