#pragma once

#include <QUrl>

// The maker's web pages that the program links to.
namespace WebLinks {

inline QUrl homePage()
{
    return QUrl(QStringLiteral("https://quillane.com/"));
}

inline QUrl contactPage()
{
    return QUrl(QStringLiteral("https://quillane.com/about/contact/"));
}

inline QUrl documentationPage()
{
    return QUrl(QStringLiteral("https://quillane.com/motifex/documentation/"));
}

inline QUrl downloadPage()
{
    return QUrl(QStringLiteral("https://quillane.com/motifex/download/"));
}

} // namespace WebLinks
