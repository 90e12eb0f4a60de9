#pragma once

#include "func/Base.h"
#include "func/Simple.h"

#include <QHash>
#include <QStringList>

namespace func {

// The process-wide library of shaping functions, registered once in a fixed order and read-only
// afterwards, so it may be read from any thread without a lock.
class Manager
{
public:
    static const Manager& instance();

    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    bool hasIdentifier(const QString& identifier) const;
    // Every identifier in registration order.
    QStringList identifierList() const;
    // The functions that can serve as a radius transition (rising from 0 at 0 to 1 at 1), in
    // registration order.
    QStringList distributionFunctionIdentifierList() const;
    // Null when the identifier is not registered.
    FunctionPtr function(const QString& identifier) const;

private:
    Manager();
    ~Manager();

    void add(const FunctionPtr& function, bool isDistribution);
    void addSimple(const QString& identifier, const QString& name, bool isDistribution, Simple::Function function);
    void addQuadraticBezier(const QString& identifier, const QString& name, geo::Normal1D p);
    void addQubicBezier(const QString& identifier, const QString& name, geo::Normal1D p1, geo::Normal1D p2);

    void addPowers();
    void addLogarithms();
    void addBezierCurves();
    void addWaves();
    void addStepsAndDivisions();

    QStringList m_identifiers;
    QStringList m_distributionIdentifiers;
    QHash<QString, FunctionPtr> m_functions;
};

} // namespace func
