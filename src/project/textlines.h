#pragma once

#include "core/langload.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace tervelle {

class TextCodec;

// Builds an 8-bit CR LF text file (project file, map list file) line by line.
class LineWriter
{
public:
    enum class LoneCarriageReturn { Refused, Kept };

    // `fileKind` names the file in messages ("project file", "map list file"). A carriage
    // return not followed by a line feed survives in a file whose reader ends lines only at
    // line feeds.
    explicit LineWriter(QString fileKind, LoneCarriageReturn loneCr = LoneCarriageReturn::Refused);

    // Throws UserError for a text holding a line break: it would shift every later line.
    void text(const QString &line);
    void number(qint32 value);

    // The lines in the program's code page. Throws UserError naming the first text the code
    // page cannot hold.
    QByteArray bytes() const;

private:
    QString m_fileKind;
    bool m_keepLoneCr = false;
    QString m_text;
};

// The longest line a project file may hold.
inline constexpr qsizetype MaxProjectLineBytes = qsizetype(1) << 20;

// Reads the lines of a project file: texts whole, numbers by the lenient rules the file has
// always been read with. Lines are decoded one at a time as they are read, so a large file costs
// its bytes and no more. Every failure is a UserError naming the file and the line.
class LineReader
{
public:
    LineReader(QByteArray bytes, QString fileName);

    // `what` says in the message what the line should have held.
    QString text(LangKey what);
    // Skips blanks, tabs and empty lines, takes the characters up to the next blank or line end
    // as a decimal number and skips the rest of that line.
    qint32 number(LangKey what);
    // A number (0 false, anything else true) or True or False in any letter case.
    bool truth(LangKey what);
    // The number line of a list block: the item count minus one. Returns the item count,
    // refusing more than `limit` items.
    qint64 count(LangKey what, qint64 limit);

    int lineNumber() const { return m_lineNumber; }
    [[noreturn]] void fail(const QString &reason) const;

private:
    bool nextBytes(QByteArrayView &bytes);
    QString decodeLine(QByteArrayView bytes) const;
    bool nextLine(QString &line);
    QString token(LangKey what);
    // The first token of line or, when it holds only blanks, of the next line that holds more.
    QString tokenFrom(QString line, LangKey what);
    [[noreturn]] void endsEarly(LangKey what) const;
    [[noreturn]] void failToken(LangKey what, QStringView token) const;

    QByteArray m_bytes;
    QString m_fileName;
    const TextCodec &m_codec;
    qsizetype m_pos = 0;
    int m_lineNumber = 0;
};

} // namespace tervelle
