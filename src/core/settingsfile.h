#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariant>

namespace tervelle {

// The settings file on systems without a registry: UTF-8 lines "name=value". The value is
// everything after the first "=" up to the line end, exactly as typed (commas, quotes,
// backslashes and leading blanks included), so a hand-edited folder reads back unchanged. Blank
// lines and a "[General]" line (from files that earlier versions wrote) are skipped; any other
// line is malformed, and so is a repeated name or bytes that are not UTF-8, because rewriting
// such a file would silently drop part of it.
using SettingsValues = QMap<QString, QVariant>;

// Throws UserError saying which line is malformed.
SettingsValues parseSettingsFile(const QByteArray &bytes);
// Throws UserError for a name or value that the lines cannot hold (a line break, an "=" in a name).
QByteArray settingsFileBytes(const SettingsValues &values);
// Whether a value survives a round trip through the file.
bool canStoreSettingsValue(const QString &value);

} // namespace tervelle
