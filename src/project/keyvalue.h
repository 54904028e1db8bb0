#pragma once

#include <QString>
#include <QStringList>

namespace tervelle {

// Key/value rows are whole lines "key=value": the key ends at the first "=", the value may hold
// more of them. Keys are compared ignoring letter case.

QString KeyOf(const QString &row);
QString ValueOf(const QString &row);
bool SameKey(const QString &a, const QString &b);

// Index of the row whose key matches `key`, or -1.
int FindKey(const QStringList &rows, const QString &key);

// Index of the first row whose key repeats an earlier one, or -1.
int FindDuplicateKey(const QStringList &rows);

// Replaces the value of a row, keeping its key.
QString WithValue(const QString &row, const QString &value);

} // namespace tervelle
