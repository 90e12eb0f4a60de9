#include "common/TestMain.h"

#include "svg/Document.h"

#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using svg::Document;
using svg::Element;

namespace {

const QString header = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n");
const QString namespaces =
    QStringLiteral(" xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">\n");

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// Limits the size of files this process may write, so that a write fails even for root; the signal
// that would otherwise end the process is ignored while the limit holds.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        m_isActive = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    bool isActive() const { return m_isActive; }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = SIG_DFL;
    bool m_isActive = false;
};

} // namespace

class TestDocument : public QObject
{
    Q_OBJECT

private slots:
    void newDocument();
    void sizeInMillimeters();
    void viewPortFollowsFirstSize_data();
    void viewPortFollowsFirstSize();
    void childrenIndentedByFour();
    void unitIsEscaped();
    void saveWritesText();
    void saveFailsWithoutFolder_data();
    void saveFailsWithoutFolder();
    void failedSaveKeepsExistingFile();
};

void TestDocument::newDocument()
{
    auto document = Document::create();
    document->setId(QStringLiteral("ignored"));
    QVERIFY(document->defs());
    QCOMPARE(document->children().size(), std::size_t(1));
    QCOMPARE(document->children().front(), document->defs());
    QCOMPARE(document->defs()->element(), Element::Defs);
    QCOMPARE(document->element(), Element::Svg);
    QCOMPARE(document->toString(),
             header + "<svg version=\"1.2\" width=\"0.000000\" height=\"0.000000\" viewBox=\"0.000000 0.000000 "
                      "0.000000 0.000000\""
                 + namespaces + "    <defs />\n</svg>\n");
}

void TestDocument::sizeInMillimeters()
{
    auto document = Document::create();
    document->setSize(geo::Size::fromMillimeters(78, 52), QStringLiteral("mm"));
    QCOMPARE(document->toString(),
             header + "<svg version=\"1.2\" width=\"78.000000mm\" height=\"52.000000mm\" viewBox=\"0.000000 "
                      "0.000000 78.000000 52.000000\""
                 + namespaces + "    <defs />\n</svg>\n");
    QCOMPARE(document->unit(), QStringLiteral("mm"));
}

void TestDocument::viewPortFollowsFirstSize_data()
{
    QTest::addColumn<bool>("setViewPortFirst");
    QTest::addColumn<bool>("setSizeTwice");
    QTest::addColumn<QString>("viewBox");
    QTest::newRow("size on a new document") << false << false << "0.000000 0.000000 5.000000 7.000000";
    QTest::newRow("size after view port") << true << false << "-1.000000 2.500000 10.000000 20.000000";
    QTest::newRow("second size keeps first") << false << true << "0.000000 0.000000 5.000000 7.000000";
}

void TestDocument::viewPortFollowsFirstSize()
{
    QFETCH(bool, setViewPortFirst);
    QFETCH(bool, setSizeTwice);
    QFETCH(QString, viewBox);
    auto document = Document::create();
    if (setViewPortFirst) {
        document->setViewPort(geo::Rectangle(geo::Point2D(-1000000, 2500000), geo::Size(10000000, 20000000)));
    }
    document->setSize(geo::Size(5000000, 7000000), QStringLiteral("px"));
    if (setSizeTwice) {
        document->setSize(geo::Size(9000000, 9000000), QStringLiteral("px"));
    }
    const QString width = setSizeTwice ? QStringLiteral("9.000000px") : QStringLiteral("5.000000px");
    QVERIFY2(document->toString().contains(QStringLiteral(" width=\"%1\"").arg(width)), qPrintable(document->toString()));
    QVERIFY2(document->toString().contains(QStringLiteral(" viewBox=\"%1\"").arg(viewBox)), qPrintable(document->toString()));
}

void TestDocument::childrenIndentedByFour()
{
    auto document = Document::create();
    document->setSize(geo::Size(1000000, 1000000), QStringLiteral("mm"));
    document->defs()->addNode(Element::Path)->setId(QStringLiteral("s1"));
    document->addGroup()->addCircle(geo::Point2D(1000000, 2000000), geo::Length(500000));
    QCOMPARE(document->toString(),
             header + "<svg version=\"1.2\" width=\"1.000000mm\" height=\"1.000000mm\" viewBox=\"0.000000 0.000000 "
                      "1.000000 1.000000\""
                 + namespaces
                 + "    <defs>\n"
                   "        <path id=\"s1\" />\n"
                   "    </defs>\n"
                   "    <g>\n"
                   "        <circle cx=\"1.000000\" cy=\"2.000000\" r=\"0.500000\" />\n"
                   "    </g>\n"
                   "</svg>\n");
}

void TestDocument::unitIsEscaped()
{
    auto document = Document::create();
    document->setSize(geo::Size(1000000, 2000000), QStringLiteral("\"><x"));
    QVERIFY(document->toString().contains(QStringLiteral("width=\"1.000000&quot;&gt;&lt;x\"")));
}

void TestDocument::saveWritesText()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    auto document = Document::create();
    document->setSize(geo::Size(1000000, 1000000), QStringLiteral("mm"));
    document->addText(geo::Point2D(), QStringLiteral("Grüße"), QStringLiteral("t"));
    const QString path = folder.filePath(QStringLiteral("out.svg"));
    QVERIFY(document->save(path));
    QCOMPARE(readFile(path), document->toString().toUtf8());
}

void TestDocument::saveFailsWithoutFolder_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::newRow("missing folder") << "missing/out.svg";
    QTest::newRow("folder is a file") << "file/out.svg";
    QTest::newRow("path is a folder") << "folder";
}

void TestDocument::saveFailsWithoutFolder()
{
    QFETCH(QString, relativePath);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(writeFile(folder.filePath(QStringLiteral("file")), "data"));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("folder")));
    QVERIFY(!Document::create()->save(folder.filePath(relativePath)));
    QCOMPARE(readFile(folder.filePath(QStringLiteral("file"))), QByteArray("data"));
}

void TestDocument::failedSaveKeepsExistingFile()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("out.svg"));
    const QByteArray previous("<svg>previous</svg>\n");
    QVERIFY(writeFile(path, previous));
    auto document = Document::create();
    for (int index = 0; index < 200; ++index) {
        document->addCircle(geo::Point2D(index, index), geo::Length(1000000));
    }
    {
        FileSizeLimit limit(4096);
        if (!limit.isActive()) {
            QSKIP("The file size limit cannot be set here.");
        }
        QVERIFY(!document->save(path));
    }
    QCOMPARE(readFile(path), previous);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("out.svg")});
}

MOTIFEX_TEST_MAIN(TestDocument)
#include "tst_document.moc"
