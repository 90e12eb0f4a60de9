#include "common/TestMain.h"

#include "plinth/TimeDurationFormatter.h"

#include <QtTest>

#include <cstdint>

using plinth::TimeDurationFormatter;

namespace {

constexpr std::uint64_t secondsPerDay = 86400;

} // namespace

class DurationFormatterTest : public QObject
{
    Q_OBJECT

private slots:
    void formatMilliseconds_data()
    {
        QTest::addColumn<quint64>("milliseconds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << quint64(0) << "00.000";
        QTest::newRow("one millisecond") << quint64(1) << "00.001";
        QTest::newRow("5.25 s") << quint64(5250) << "05.250";
        QTest::newRow("59.999 s") << quint64(59999) << "59.999";
        QTest::newRow("one minute") << quint64(60000) << "01:00.000";
        QTest::newRow("65 s") << quint64(65000) << "01:05.000";
        QTest::newRow("59:59.999") << quint64(3599999) << "59:59.999";
        QTest::newRow("one hour: minutes shown as zero") << quint64(3600000) << "01:00:00.000";
        QTest::newRow("1 h 2 min 3.004 s") << quint64(3723004) << "01:02:03.004";
        QTest::newRow("23:59:59.999") << quint64(86399999) << "23:59:59.999";
        QTest::newRow("one day: hours and minutes shown as zero") << quint64(86400000) << "1d 00:00:00.000";
        QTest::newRow("1 day 1 h 1 min 1.001 s") << quint64(90061001) << "1d 01:01:01.001";
        QTest::newRow("many days use as many digits as needed")
            << quint64(123 * secondsPerDay * 1000 + 7) << "123d 00:00:00.007";
        QTest::newRow("largest duration") << quint64(UINT64_MAX) << "213503982334d 14:25:51.615";
    }

    void formatMilliseconds()
    {
        QFETCH(quint64, milliseconds);
        QFETCH(QString, expected);
        QCOMPARE(TimeDurationFormatter().formatMilliseconds(milliseconds), expected);
    }

    void formatSeconds_data()
    {
        QTest::addColumn<quint64>("seconds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << quint64(0) << "00";
        QTest::newRow("nine seconds") << quint64(9) << "09";
        QTest::newRow("65 s") << quint64(65) << "01:05";
        QTest::newRow("one hour") << quint64(3600) << "01:00:00";
        QTest::newRow("1 h 2 min 3 s") << quint64(3723) << "01:02:03";
        QTest::newRow("1 day 1 h 1 min 1 s") << quint64(90061) << "1d 01:01:01";
        QTest::newRow("two days") << quint64(2 * secondsPerDay) << "2d 00:00:00";
    }

    void formatSeconds()
    {
        QFETCH(quint64, seconds);
        QFETCH(QString, expected);
        QCOMPARE(TimeDurationFormatter().formatSeconds(seconds), expected);
    }

    void formatSecondsLong_data()
    {
        QTest::addColumn<quint64>("seconds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << quint64(0) << "0 seconds";
        QTest::newRow("one second") << quint64(1) << "1 second";
        QTest::newRow("59 seconds") << quint64(59) << "59 seconds";
        QTest::newRow("one minute") << quint64(60) << "1 minute";
        QTest::newRow("3661 s") << quint64(3661) << "1 hour, 1 minute, 1 second";
        QTest::newRow("two hours") << quint64(7200) << "2 hours";
        QTest::newRow("one day") << quint64(secondsPerDay) << "1 day";
        QTest::newRow("zero parts are left out") << quint64(2 * secondsPerDay + 5) << "2 days, 5 seconds";
        QTest::newRow("every part plural") << quint64(2 * secondsPerDay + 2 * 3600 + 2 * 60 + 2)
                                           << "2 days, 2 hours, 2 minutes, 2 seconds";
    }

    void formatSecondsLong()
    {
        QFETCH(quint64, seconds);
        QFETCH(QString, expected);
        QCOMPARE(TimeDurationFormatter().formatSecondsLong(seconds), expected);
    }
};

MOTIFEX_TEST_MAIN(DurationFormatterTest)
#include "tst_durationformatter.moc"
