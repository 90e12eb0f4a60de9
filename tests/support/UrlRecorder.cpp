#include "support/UrlRecorder.h"

#include <QDesktopServices>

namespace motifex::test {

namespace {
UrlRecorder* s_instance = nullptr;
}

UrlRecorder::UrlRecorder()
{
    s_instance = this;
    for (const char* scheme : {"http", "https", "mailto"}) {
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "openUrl");
    }
}

UrlRecorder::~UrlRecorder()
{
    for (const char* scheme : {"http", "https", "mailto"}) {
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    s_instance = nullptr;
}

UrlRecorder* UrlRecorder::instance()
{
    return s_instance;
}

void UrlRecorder::openUrl(const QUrl& url)
{
    m_openedUrls.append(url);
}

} // namespace motifex::test
