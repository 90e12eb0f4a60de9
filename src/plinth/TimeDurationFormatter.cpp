#include "plinth/TimeDurationFormatter.h"

#include <QStringList>

namespace plinth {

namespace {

// The clock part before the seconds: "Nd ", "hh:", "mm:" as far as the larger units are non-zero.
QString clockPrefix(std::uint64_t days, std::uint64_t hours, std::uint64_t minutes)
{
    QString text;
    if (days > 0) {
        text += QStringLiteral("%1d ").arg(days);
    }
    if (days > 0 || hours > 0) {
        text += QStringLiteral("%1:").arg(hours, 2, 10, QLatin1Char('0'));
    }
    if (days > 0 || hours > 0 || minutes > 0) {
        text += QStringLiteral("%1:").arg(minutes, 2, 10, QLatin1Char('0'));
    }
    return text;
}

// "1 day", "2 days": these texts are not translated.
QString countedUnit(std::uint64_t count, const char* singular, const char* plural)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? singular : plural));
}

} // namespace

TimeDurationFormatter::TimeDurationFormatter(Options options)
    : m_options(options)
{
}

QString TimeDurationFormatter::formatMilliseconds(std::uint64_t milliseconds) const
{
    const std::uint64_t days = milliseconds / 86400000;
    const std::uint64_t hours = (milliseconds / 3600000) % 24;
    const std::uint64_t minutes = (milliseconds / 60000) % 60;
    const std::uint64_t seconds = (milliseconds / 1000) % 60;
    return clockPrefix(days, hours, minutes)
           + QStringLiteral("%1.%2")
                 .arg(seconds, 2, 10, QLatin1Char('0'))
                 .arg(milliseconds % 1000, 3, 10, QLatin1Char('0'));
}

QString TimeDurationFormatter::formatSeconds(std::uint64_t seconds) const
{
    const std::uint64_t days = seconds / 86400;
    const std::uint64_t hours = (seconds / 3600) % 24;
    const std::uint64_t minutes = (seconds / 60) % 60;
    return clockPrefix(days, hours, minutes) + QStringLiteral("%1").arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

QString TimeDurationFormatter::formatSecondsLong(std::uint64_t seconds) const
{
    if (seconds == 0) {
        return QStringLiteral("0 seconds");
    }
    QStringList parts;
    const std::uint64_t days = seconds / 86400;
    const std::uint64_t hours = (seconds / 3600) % 24;
    const std::uint64_t minutes = (seconds / 60) % 60;
    if (days > 0) {
        parts.append(countedUnit(days, "day", "days"));
    }
    if (hours > 0) {
        parts.append(countedUnit(hours, "hour", "hours"));
    }
    if (minutes > 0) {
        parts.append(countedUnit(minutes, "minute", "minutes"));
    }
    if (seconds % 60 > 0) {
        parts.append(countedUnit(seconds % 60, "second", "seconds"));
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace plinth
