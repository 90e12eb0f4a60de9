#pragma once

#include <QByteArray>
#include <QObject>

// Asks the maker's update service whether a newer release exists.
class UpdateCheck : public QObject
{
    Q_OBJECT

public:
    explicit UpdateCheck(QObject* parent);

    QByteArray createJsonData(bool isForDisplay) const;

public slots:
    void checkForUpdate();
};
