#pragma once

#include <QString>
#include <QStringList>

namespace tervelle {

// Key/value rows are whole lines "key=value": the key ends at the first "=", the value may hold
// more of them.

QString KeyOf(const QString &row);
QString ValueOf(const QString &row);

// Keys, and the values a pick list offers, are compared as the launcher reads them: ignoring
// letter case by Unicode simple case folding ("Ä" is "ä", "ẞ" is "ß", "ı" is not "i"). Names of
// files on the player's disk have a rule of their own (sameFileName).
bool SameKey(const QString &a, const QString &b);
// The text as SameKey compares it, for sets of keys or values.
QString keyFolded(const QString &text);

// Index of the row whose key matches `key`, or -1.
int FindKey(const QStringList &rows, const QString &key);

// Index of the first row whose key repeats an earlier one, or -1.
int FindDuplicateKey(const QStringList &rows);

// Replaces the value of a row, keeping its key.
QString WithValue(const QString &row, const QString &value);

} // namespace tervelle
