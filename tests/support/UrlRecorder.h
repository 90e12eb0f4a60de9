#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

namespace motifex::test {

// Takes over QDesktopServices::openUrl for web links while it lives, so that tests can check which page
// would open without ever opening one.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    UrlRecorder();
    ~UrlRecorder() override;

    // The recorder of the running test program.
    static UrlRecorder* instance();

    const QList<QUrl>& openedUrls() const { return m_openedUrls; }
    void clear() { m_openedUrls.clear(); }

public slots:
    void openUrl(const QUrl& url);

private:
    QList<QUrl> m_openedUrls;
};

} // namespace motifex::test
