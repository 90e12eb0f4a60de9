#include "support/UserActions.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace motifex::test {

void typeInto(QAbstractSpinBox* spinBox, const QString& text)
{
    spinBox->setFocus();
    spinBox->selectAll();
    QTest::keyClicks(spinBox, text);
    QTest::keyClick(spinBox, Qt::Key_Return);
}

void typeAndLeave(QWidget* field, const QString& text)
{
    field->activateWindow();
    if (!QTest::qWaitFor([field] { return QApplication::activeWindow() == field->window(); })) {
        qWarning("The field's window never became active; the typing may go elsewhere.");
    }
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Tab);
}

void clickRow(QListWidget* list, int row)
{
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

namespace {

// The centre of the item in the viewport; views lay their items out late, so it scrolls until the item
// is in view.
QPoint visibleCentre(QAbstractItemView* view, const QModelIndex& index)
{
    const bool isInView = QTest::qWaitFor([view, &index] {
        view->scrollTo(index);
        return view->viewport()->rect().contains(view->visualRect(index));
    });
    if (!isInView) {
        qWarning("The item at row %d never came into view; the click may miss it.", index.row());
    }
    return view->visualRect(index).center();
}

} // namespace

void clickIndex(QAbstractItemView* view, const QModelIndex& index)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, visibleCentre(view, index));
}

void doubleClickIndex(QAbstractItemView* view, const QModelIndex& index)
{
    const QPoint centre = visibleCentre(view, index);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, centre);
}

int rowWithData(const QListWidget* list, const QString& data)
{
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->data(Qt::UserRole).toString() == data) {
            return row;
        }
    }
    return -1;
}

void contextClick(QWidget* widget, const QPoint& position)
{
    QTest::mouseClick(widget, Qt::RightButton, {}, position);
    // Only the window system turns a right click into a context menu request.
    QContextMenuEvent event(QContextMenuEvent::Mouse, position, widget->mapToGlobal(position));
    QApplication::sendEvent(widget, &event);
}

namespace {

QAction* menuEntry(const QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions()) {
        if (QString(action->text()).remove(QLatin1Char('&')) == text) {
            return action;
        }
    }
    return nullptr;
}

} // namespace

bool chooseMenuEntry(const std::function<void()>& open, const QStringList& entryTexts)
{
    int level = 0;
    bool isFinished = false;
    bool isChosen = false;
    const QMenu* handledMenu = nullptr;
    QTimer walker;
    walker.setInterval(10);
    // Runs inside the menu's own event loop while it is open.
    QObject::connect(&walker, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (isFinished || menu == nullptr || menu == handledMenu) {
            return;
        }
        handledMenu = menu;
        QAction* entry = menuEntry(menu, entryTexts.value(level));
        if (entry == nullptr || !entry->isEnabled()) {
            isFinished = true;
            while (QWidget* popup = QApplication::activePopupWidget()) {
                popup->close();
            }
            return;
        }
        menu->setActiveAction(entry);
        if (++level < entryTexts.size()) {
            QTest::keyClick(menu, Qt::Key_Right);
        } else {
            isFinished = true;
            isChosen = true;
            QTest::keyClick(menu, Qt::Key_Return);
        }
    });
    walker.start();
    open();
    if (!QTest::qWaitFor([&isFinished] { return isFinished; })) {
        qWarning("No menu appeared.");
    }
    return isChosen;
}

QAction* actionWithText(const QWidget* widget, const QString& text)
{
    const QList<QAction*> actions = widget->actions();
    const auto found = std::find_if(actions.cbegin(), actions.cend(),
                                    [&text](const QAction* action) { return action->text() == text; });
    return found != actions.cend() ? *found : nullptr;
}

bool runQueuedCalls()
{
    bool isReached = false;
    // Posted after everything queued so far, so it runs after them.
    QTimer::singleShot(0, QCoreApplication::instance(), [&isReached] { isReached = true; });
    return QTest::qWaitFor([&isReached] { return isReached; });
}

} // namespace motifex::test
