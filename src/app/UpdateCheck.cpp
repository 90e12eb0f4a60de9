#include "app/UpdateCheck.h"

UpdateCheck::UpdateCheck(QObject* parent)
    : QObject(parent)
{
}

QByteArray UpdateCheck::createJsonData(bool /*isForDisplay*/) const
{
    return {};
}

void UpdateCheck::checkForUpdate()
{
}
