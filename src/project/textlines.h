#pragma once

#include "core/langload.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringView>

#include <functional>

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
    // Hands the encoded lines to `sink` in pieces as they are made, instead of keeping them for
    // bytes(); finish() hands on the last piece.
    using Sink = std::function<void(const QByteArray &)>;
    LineWriter(QString fileKind, LoneCarriageReturn loneCr, Sink sink);

    // Throws UserError for a text holding a line break: it would shift every later line.
    void text(const QString &line);
    void number(qint32 value);

    // The lines in the program's code page. Throws UserError naming the first text the code
    // page cannot hold.
    QByteArray bytes();
    void finish() { flush(); }

private:
    // Encodes the lines gathered so far onto m_bytes: a large file is never held as UTF-16 whole.
    void flush();

    QString m_fileKind;
    bool m_keepLoneCr = false;
    QString m_text;
    QByteArray m_bytes;
    Sink m_sink;
};

// The longest line a project file may hold.
inline constexpr qsizetype MaxProjectLineBytes = qsizetype(1) << 20;

// Reads the lines of a project file: texts whole, numbers by the lenient rules the file has
// always been read with. The device is read a piece at a time and each line decoded as it is
// reached, so reading holds about a megabyte of the file whatever its size. Every failure is a
// UserError naming the file and the line, or, for the device itself, as readInput says it.
class LineReader
{
public:
    // `what` names the kind of file in messages about reading it; more than `maxSize` bytes
    // are refused.
    LineReader(QIODevice &device, qint64 maxSize, QString what, QString fileName);

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
    // Reads the next piece of the device after what is left of the buffer; false at its end.
    bool readPiece();
    bool nextBytes(QByteArrayView &bytes);
    QString decodeLine(QByteArrayView bytes) const;
    bool nextLine(QString &line);
    QString token(LangKey what);
    // The first token of line or, when it holds only blanks, of the next line that holds more.
    QString tokenFrom(QString line, LangKey what);
    [[noreturn]] void endsEarly(LangKey what) const;
    [[noreturn]] void failToken(LangKey what, QStringView token) const;

    QIODevice &m_device;
    qint64 m_maxSize;
    qint64 m_read = 0; // bytes taken from the device so far
    bool m_atEnd = false;
    QString m_what;
    QByteArray m_bytes; // the piece being read
    QString m_fileName;
    const TextCodec &m_codec;
    qsizetype m_pos = 0;
    int m_lineNumber = 0;
};

} // namespace tervelle
