#include "support/UserActions.h"

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
