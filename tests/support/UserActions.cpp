#include "support/UserActions.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QTest>
#include <QTimer>

namespace motifex::test {

void typeInto(QAbstractSpinBox* spinBox, const QString& text)
{
    spinBox->setFocus();
    spinBox->selectAll();
    QTest::keyClicks(spinBox, text);
    QTest::keyClick(spinBox, Qt::Key_Return);
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

bool runQueuedCalls()
{
    bool isReached = false;
    // Posted after everything queued so far, so it runs after them.
    QTimer::singleShot(0, QCoreApplication::instance(), [&isReached] { isReached = true; });
    return QTest::qWaitFor([&isReached] { return isReached; });
}

} // namespace motifex::test
