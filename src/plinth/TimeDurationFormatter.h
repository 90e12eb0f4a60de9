#pragma once

#include <QFlags>
#include <QString>

#include <cstdint>

namespace plinth {

// Turns a duration into clock text ("01:05.000") or words ("1 hour, 1 minute").
class TimeDurationFormatter
{
public:
    enum class Option : std::uint8_t {
        None = 0,
    };
    Q_DECLARE_FLAGS(Options, Option)

    explicit TimeDurationFormatter(Options options = Options());

    // "[Nd ][hh:][mm:]ss.mmm": days, hours and minutes only as far as they are needed.
    QString formatMilliseconds(std::uint64_t milliseconds) const;
    // "[Nd ][hh:][mm:]ss".
    QString formatSeconds(std::uint64_t seconds) const;
    // "1 day, 2 hours, 1 minute, 5 seconds"; "0 seconds" for zero.
    QString formatSecondsLong(std::uint64_t seconds) const;

    Options options() const { return m_options; }

private:
    Options m_options;
};

} // namespace plinth

Q_DECLARE_OPERATORS_FOR_FLAGS(plinth::TimeDurationFormatter::Options)
