#include "project/textlines.h"

#include "core/errors.h"
#include "core/inputfile.h"
#include "core/langload.h"
#include "core/textcodec.h"

#include <QList>

#include <algorithm>

#include <iterator>
#include <limits>
#include <optional>

namespace tervelle {

namespace {

constexpr char16_t LineEnd[] = u"\r\n";
// The writer encodes its lines in pieces of about this many UTF-16 units.
constexpr qsizetype FlushAt = qsizetype(1) << 19;

void appendLineEnd(QString &text)
{
    text.append(reinterpret_cast<const QChar *>(LineEnd), 2);
}

// A text as a message shows it: on one line, and short enough to read.
QString shown(QStringView text)
{
    constexpr qsizetype Limit = 60;
    QString result;
    for (const QChar c : text.left(Limit)) {
        if (c == QLatin1Char('\r'))
            result += QLatin1String("\\r");
        else if (c == QLatin1Char('\n'))
            result += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            result += QLatin1String("\\t");
        else
            result += c;
    }
    if (text.size() > Limit)
        result += QStringLiteral("...");
    return QLatin1Char('"') + result + QLatin1Char('"');
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

// ---- Writing -----------------------------------------------------------------------------

LineWriter::LineWriter(QString fileKind, LoneCarriageReturn loneCr)
    : m_fileKind(std::move(fileKind)), m_keepLoneCr(loneCr == LoneCarriageReturn::Kept)
{}

LineWriter::LineWriter(QString fileKind, LoneCarriageReturn loneCr, Sink sink) : LineWriter(std::move(fileKind), loneCr)
{
    m_sink = std::move(sink);
}

void LineWriter::text(const QString &line)
{
    if (line.contains(QLatin1Char('\n')) || (!m_keepLoneCr && line.contains(QLatin1Char('\r')))) {
        throw UserError(lang(LangKey::message_Text_LineBreak, {{'t', shown(line)}, {'w', m_fileKind}}));
    }
    m_text += line;
    appendLineEnd(m_text);
    if (m_text.size() >= FlushAt)
        flush();
}

void LineWriter::number(qint32 value)
{
    // Most lines of a project file are numbers; they go in without a text of their own.
    char16_t digits[12];
    char16_t *end = digits + std::size(digits);
    char16_t *start = end;
    quint32 magnitude = value < 0 ? 0u - quint32(value) : quint32(value);
    do {
        *--start = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        *--start = u'-';
    m_text.append(reinterpret_cast<const QChar *>(start), end - start);
    appendLineEnd(m_text);
}

void LineWriter::flush()
{
    const TextCodec &codec = textCodec();
    try {
        const QByteArray piece = codec.encode(m_text);
        m_text.resize(0); // keeps its room for the next piece
        if (m_sink)
            m_sink(piece);
        else
            m_bytes += piece;
    } catch (const UserError &) {
        // Name the one text the code page cannot hold rather than the whole file.
        for (const QStringView line : QStringView(m_text).split(u"\r\n", Qt::SkipEmptyParts))
            codec.encode(line.toString());
        throw;
    }
}

QByteArray LineWriter::bytes()
{
    flush();
    return m_bytes;
}

// ---- Reading -----------------------------------------------------------------------------

LineReader::LineReader(QIODevice &device, qint64 maxSize, QString what, QString fileName)
    : m_device(device)
    , m_maxSize(maxSize)
    , m_what(std::move(what))
    , m_fileName(std::move(fileName))
    , m_codec(textCodec())
{
    if (!device.isSequential() && device.size() - device.pos() > maxSize)
        readPiece(); // refuses it at once
}

bool LineReader::readPiece()
{
    auto failRead = [this](const QString &reason) {
        throw UserError(lang(LangKey::message_File_CannotRead, {{'w', m_what}, {'f', m_fileName}, {'r', reason}}));
    };
    auto tooLarge = [&] {
        failRead(lang(LangKey::message_File_TooLarge, {{'c', sizeText(m_maxSize)}, {'w', m_what}}));
    };
    if (!m_device.isSequential() && m_read == 0 && m_device.size() - m_device.pos() > m_maxSize)
        tooLarge();
    if (m_atEnd)
        return false;
    constexpr qint64 Piece = 1 << 20;
    m_bytes.remove(0, m_pos);
    m_pos = 0;
    for (;;) {
        const qsizetype start = m_bytes.size();
        // One byte past the bound tells that the device holds more than it may.
        const qint64 want = std::min<qint64>(Piece, m_maxSize + 1 - m_read);
        m_bytes.resize(start + qsizetype(want));
        const qint64 got = m_device.read(m_bytes.data() + start, want);
        if (got < 0)
            failRead(m_device.errorString());
        m_bytes.resize(start + qsizetype(got));
        m_read += got;
        if (m_read > m_maxSize)
            tooLarge();
        if (got > 0)
            return true;
        if (!m_device.waitForReadyRead(-1)) {
            m_atEnd = true;
            return false;
        }
    }
}

void LineReader::fail(const QString &reason) const
{
    throw UserError(lang(LangKey::message_ProjectFile_CannotRead, {{'f', m_fileName}, {'r', reason}}));
}

void LineReader::endsEarly(LangKey what) const
{
    // Reading on with empty texts and zeros would quietly drop the rest of the project.
    throw UserError(lang(LangKey::message_ProjectFile_EndsEarly,
                         {{'f', m_fileName}, {'l', QString::number(m_lineNumber + 1)}, {'s', lang(what)}}));
}

bool LineReader::nextBytes(QByteArrayView &bytes)
{
    // The line ends at the next line feed in the buffer, read on until one comes, the device
    // ends, or the line is longer than any a project holds.
    qsizetype end = -1;
    for (qsizetype scanned = m_pos;;) {
        end = QByteArrayView(m_bytes).sliced(scanned).indexOf('\n');
        if (end >= 0) {
            end += scanned;
            break;
        }
        if (m_bytes.size() - m_pos > MaxProjectLineBytes + 1)
            break;
        const qsizetype before = m_bytes.size() - m_pos;
        if (!readPiece())
            break;
        scanned = before;
    }
    if (m_pos >= m_bytes.size())
        return false;
    const QByteArrayView rest = QByteArrayView(m_bytes).sliced(m_pos);
    bytes = end < 0 ? rest : QByteArrayView(m_bytes).sliced(m_pos, end - m_pos);
    m_pos = end < 0 ? m_bytes.size() : end + 1;
    ++m_lineNumber;
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    // No name, path or property is that long, and one such line would cost many times its size.
    if (bytes.size() > MaxProjectLineBytes) {
        fail(lang(LangKey::message_ProjectFile_LineTooLong,
                  {{'l', QString::number(m_lineNumber)}, {'c', QString::number(MaxProjectLineBytes)}}));
    }
    // Texts travel into file names, the map list and the installer script, where a NUL would
    // cut them short.
    if (bytes.contains('\0'))
        fail(lang(LangKey::message_ProjectFile_Nul, {{'l', QString::number(m_lineNumber)}}));
    return true;
}

QString LineReader::decodeLine(QByteArrayView bytes) const
{
    std::optional<QString> text = m_codec.decodeExactly(bytes);
    if (!text) {
        fail(lang(LangKey::message_ProjectFile_Undecodable,
                  {{'l', QString::number(m_lineNumber)}, {'o', m_codec.name()}}));
    }
    return std::move(*text);
}

bool LineReader::nextLine(QString &line)
{
    QByteArrayView bytes;
    if (!nextBytes(bytes))
        return false;
    line = decodeLine(bytes);
    return true;
}

QString LineReader::text(LangKey what)
{
    QString line;
    if (!nextLine(line))
        endsEarly(what);
    return line;
}

QString LineReader::token(LangKey what)
{
    QString line;
    if (!nextLine(line))
        endsEarly(what);
    return tokenFrom(std::move(line), what);
}

QString LineReader::tokenFrom(QString line, LangKey what)
{
    for (;;) {
        qsizetype start = 0;
        while (start < line.size() && isBlank(line[start]))
            ++start;
        if (start == line.size()) {
            if (!nextLine(line))
                endsEarly(what);
            continue;
        }
        qsizetype end = start;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        return line.mid(start, end - start);
    }
}

void LineReader::failToken(LangKey what, QStringView token) const
{
    fail(lang(LangKey::message_ProjectFile_Expected,
              {{'l', QString::number(m_lineNumber)}, {'s', lang(what)}, {'t', shown(token)}}));
}

namespace {

char16_t unit(QChar c)
{
    return c.unicode();
}

char16_t unit(char c)
{
    return uchar(c);
}

// Over the decoded text or, for a line of plain ASCII, straight over its bytes.
template <typename View>
bool parseDecimal(View token, qint32 &value)
{
    qsizetype i = 0;
    bool negative = false;
    if (!token.isEmpty() && (unit(token[0]) == u'-' || unit(token[0]) == u'+')) {
        negative = unit(token[0]) == u'-';
        ++i;
    }
    if (i == token.size())
        return false;
    qint64 magnitude = 0;
    for (; i < token.size(); ++i) {
        const char16_t c = unit(token[i]);
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > qint64(std::numeric_limits<qint32>::max()) + 1)
            return false;
    }
    const qint64 signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<qint32>::max())
        return false;
    value = qint32(signedValue);
    return true;
}

bool isAscii(QByteArrayView bytes)
{
    uchar any = 0;
    for (const char c : bytes)
        any |= uchar(c);
    return any < 0x80;
}

} // namespace

qint32 LineReader::number(LangKey what)
{
    // Most number lines are plain ASCII: they are read from their bytes, with no text made.
    QByteArrayView bytes;
    for (;;) {
        if (!nextBytes(bytes))
            endsEarly(what);
        if (!m_codec.isAsciiCompatible() || !isAscii(bytes))
            break;
        qsizetype start = 0;
        while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\t'))
            ++start;
        if (start == bytes.size())
            continue;
        qsizetype end = start;
        while (end < bytes.size() && bytes[end] != ' ' && bytes[end] != '\t')
            ++end;
        const QByteArrayView found = bytes.sliced(start, end - start);
        qint32 value = 0;
        if (!parseDecimal(found, value))
            failToken(what, QString::fromLatin1(found));
        return value;
    }
    const QString found = tokenFrom(decodeLine(bytes), what);
    qint32 value = 0;
    if (!parseDecimal(QStringView(found), value))
        failToken(what, found);
    return value;
}

bool LineReader::truth(LangKey what)
{
    const QString found = token(what);
    qint32 value = 0;
    if (parseDecimal(QStringView(found), value))
        return value != 0;
    if (found.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (found.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    failToken(what, found);
}

qint64 LineReader::count(LangKey what, qint64 limit)
{
    const qint32 value = number(what);
    if (value < -1) {
        fail(lang(LangKey::message_ProjectFile_ExpectedIndex,
                  {{'l', QString::number(m_lineNumber)}, {'s', lang(what)}, {'t', QString::number(value)}}));
    }
    const qint64 items = qint64(value) + 1;
    if (items > limit) {
        fail(lang(LangKey::message_ProjectFile_TooMany,
                  {{'l', QString::number(m_lineNumber)},
                   {'c', QString::number(items)},
                   {'s', lang(what)},
                   {'m', QString::number(limit)}}));
    }
    return items;
}

} // namespace tervelle
