#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tervelle::cli {

// Exit statuses of tervelle-pack.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

// One line on standard error, the way every failure is reported.
void printError(const QString &message);
// Bytes to standard output, unchanged.
bool writeStdout(const QByteArray &bytes);

// Commands: each gets the arguments after its name.
int runLangTemplate(const QStringList &args);
int runTga2Png(const QStringList &args);

} // namespace tervelle::cli
