#include "editors/DialogRun.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

namespace {

// Kept as a child of the dialog: the connection of the dialog's current run and its opener.
class RunKeeper : public QObject
{
    Q_OBJECT

public:
    explicit RunKeeper(QDialog* dialog) : QObject(dialog) {}

    static RunKeeper* of(const QDialog* dialog)
    {
        return dialog->findChild<RunKeeper*>(QString(), Qt::FindDirectChildrenOnly);
    }

    void keep(const QMetaObject::Connection& connection, QObject* opener)
    {
        m_connection = connection;
        m_opener = opener;
    }

    void drop()
    {
        QObject::disconnect(m_connection);
        m_connection = QMetaObject::Connection();
        m_opener.clear();
    }

    bool isKeptFor(const QObject* opener) const { return m_connection && m_opener == opener; }

private:
    QMetaObject::Connection m_connection;
    QPointer<QObject> m_opener;
};

} // namespace

namespace DialogRun {

void open(QDialog* dialog, QObject* opener, const std::function<void(int result)>& onFinished)
{
    RunKeeper* keeper = RunKeeper::of(dialog);
    if (keeper == nullptr) {
        keeper = new RunKeeper(dialog);
    }
    keeper->drop();
    const QMetaObject::Connection connection =
        QObject::connect(dialog, &QDialog::finished, opener, [keeper, opener, onFinished](int result) {
            keeper->drop();
            // The opener hears the result after the dialog has finished closing.
            QTimer::singleShot(0, opener, [onFinished, result] { onFinished(result); });
        });
    keeper->keep(connection, opener);
    dialog->open();
}

bool isOpenFor(const QDialog* dialog, const QObject* opener)
{
    const RunKeeper* keeper = RunKeeper::of(dialog);
    return keeper != nullptr && keeper->isKeptFor(opener);
}

} // namespace DialogRun

#include "DialogRun.moc"
