#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace tervelle {

// A translator's check of a language file against the program's table. Each finding is one line
// for a person: a key the file lacks, a key the program does not know, a text whose placeholders
// differ from the English text's, bytes the code page cannot hold, or a text the program carries
// into projects or console lines that fails the checks a typed text passes there.
QStringList checkLanguageBytes(QByteArrayView bytes, const QString &fileName);

// The "/x" placeholders of a text, sorted, each once.
QStringList placeholdersOf(const QString &text);

// Why `text` cannot stand for the entry `index` where the program carries it, or empty when it
// can (or the entry is carried nowhere): the group captions become node names of every project
// file, the default folder name a folder node, the default keys keys of the project, and the
// build's messages console lines. `subject` names the text in the reason.
QString carriedTextFault(int index, const QString &text, const QString &subject);

} // namespace tervelle
