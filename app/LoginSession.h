#pragma once

#include "SqlFragment.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace Quellon {

// Who is logged in and what that fixes until the next login: which records he
// sees, whose contact data is hidden from him, the agency's captions and
// number formats, and which actions he may use. Passed to whatever needs it.
struct LoginSession
{
    enum Scope { AllRecords = 0, OwnRecords = 1, ListedSalespersons = 2 };

    QString operatorName;
    bool masked = false;         // hide other salespersons' contact data
    int scope = AllRecords;
    QStringList salespersons;    // for ListedSalespersons
    QString imeName;             // preferred Chinese input method
    QStringList settings;        // KeyValue rows 1..15, in order
    QString amountFormat;        // quantities
    QString priceFormat;         // prices
    QString valueFormat;         // amounts of money
    QHash<QString, bool> visibility; // action and menu object name -> visible

    bool isValid() const { return !operatorName.isEmpty(); }
    bool isAdmin() const { return isAdminName(operatorName); }
    static bool isAdminName(const QString &name) { return name.trimmed().toLower() == QLatin1String("admin"); }

    // Setting k (1-based) of KeyValue; empty when missing.
    QString setting(int row) const { return row >= 1 && row <= settings.size() ? settings.at(row - 1) : QString(); }
    // Decimal places of KeyValue rows 13..15; a value that is not a whole
    // number from 0 to 8 counts as 2.
    int decimalPlaces(int row) const;

    // The condition that keeps a list of houses or clients to this operator's
    // records; empty for all records. alias is the table alias of joined
    // statements ("h" gives h.F_empName).
    SqlFragment scopeFilter(const QString &alias = {}) const;
    // Contact data as this operator may see it on a record of `salesperson`.
    QString maskContact(const QString &salesperson, const QString &value) const;
    // Whether he may copy, delete or save a record of `salesperson`.
    bool mayChange(const QString &salesperson) const;
    bool isVisible(const QString &objectName) const { return visibility.value(objectName, false); }
};

} // namespace Quellon
