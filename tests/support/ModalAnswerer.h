#pragma once

#include <QDialogButtonBox>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

namespace motifex::test {

// What a modal box or dialog showed when it was answered.
struct ModalRecord {
    QString className;
    QString objectName;
    QString title;
    QString text;
    QString informativeText;
    QString detailedText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttonTexts;
};

// Answers modal boxes and dialogs as a user would, whether they run with exec() or were opened
// window-modally with open(): it watches QApplication::activeModalWidget(), records each new one and
// applies the next queued answer to it. Wait for the answers with QTRY_VERIFY(answerer.isDone()).
class ModalAnswerer : public QObject
{
    Q_OBJECT

public:
    using Answer = std::function<void(QWidget*)>;

    ModalAnswerer();
    ~ModalAnswerer() override;

    // Queue answers, applied in order to the modal widgets as they appear.
    ModalAnswerer& answer(Answer answer);
    ModalAnswerer& clickButton(const QString& text);
    ModalAnswerer& clickStandardButton(QMessageBox::StandardButton button);
    ModalAnswerer& pressKey(Qt::Key key);
    ModalAnswerer& accept();
    ModalAnswerer& reject();

    // True when every queued answer was given.
    bool isDone() const { return m_answers.empty() && m_answersInFlight == 0; }
    const QList<ModalRecord>& records() const { return m_records; }
    // The last record; a default record when nothing was answered.
    ModalRecord lastRecord() const;

    static ModalRecord describe(QWidget* widget);
    // The button with the text (mnemonic ampersands ignored) among the widget's buttons; null if none.
    static QAbstractButton* findButton(QWidget* widget, const QString& text);

private:
    void poll();

    QTimer m_timer;
    std::deque<Answer> m_answers;
    QList<ModalRecord> m_records;
    // The widgets already answered while still shown; a box that is shown again counts as new.
    QList<QPointer<QWidget>> m_answeredWidgets;
    int m_answersInFlight = 0;
};

} // namespace motifex::test
