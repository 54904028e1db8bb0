#include "core/textcodec.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/report.h"
#include "core/settingsstore.h"

#include <algorithm>
#include <memory>

namespace tervelle {

TextCodec::TextCodec(const QString &codePage)
    : m_name(codePage)
    , m_nameBytes(codePage.toLatin1())
    , m_decoder(m_nameBytes.constData())
    , m_exactDecoder(m_nameBytes.constData(), QStringConverter::Flag::Stateless)
    , m_encoder(m_nameBytes.constData())
{
    m_valid = m_decoder.isValid() && m_exactDecoder.isValid() && m_encoder.isValid();
    if (m_valid) {
        // Not every code page keeps ASCII (Shift JIS has the yen sign at 0x5C).
        QByteArray ascii(0x80, Qt::Uninitialized);
        for (int i = 0; i < 0x80; ++i)
            ascii[i] = char(i);
        m_asciiCompatible = decode(ascii) == QString::fromLatin1(ascii);
    }
}

QString TextCodec::decode(QByteArrayView bytes) const
{
    m_decoder.resetState();
    QString text = m_decoder.decode(bytes);
    m_decoder.resetState();
    return text;
}

std::optional<QString> TextCodec::decodeExactly(QByteArrayView bytes) const
{
    // Most lines of a project file are plain ASCII; they skip the converter.
    if (m_asciiCompatible && std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; }))
        return QString::fromLatin1(bytes);
    m_exactDecoder.resetState();
    QString text = m_exactDecoder.decode(bytes);
    if (m_exactDecoder.hasError()) {
        // An ICU-backed decoder keeps its error past resetState(); the next text needs a fresh one.
        m_exactDecoder = QStringDecoder(m_nameBytes.constData(), QStringConverter::Flag::Stateless);
        return std::nullopt;
    }
    return text;
}

bool TextCodec::canEncode(const QString &text) const
{
    try {
        encode(text);
        return true;
    } catch (const UserError &) {
        return false;
    }
}

namespace {

bool isAscii(QStringView text)
{
    const char16_t *p = text.utf16();
    const char16_t *end = p + text.size();
    char16_t any = 0;
    for (; p != end; ++p)
        any |= *p;
    return any < 0x80;
}

} // namespace

QByteArray TextCodec::encode(const QString &text) const
{
    // Most of a project file is plain ASCII, which such a code page holds byte for byte.
    if (m_asciiCompatible && isAscii(text))
        return text.toLatin1();
    m_encoder.resetState();
    QByteArray bytes = m_encoder.encode(text);
    // Some code pages map a character to a look-alike without reporting it; the round trip
    // catches those too.
    const bool failed = m_encoder.hasError() || decode(bytes) != text;
    m_encoder.resetState();
    if (failed) {
        // resetState() keeps the error count of an ICU-backed encoder, so without a fresh one
        // every later text would be refused too.
        m_encoder = QStringEncoder(m_nameBytes.constData());
        throw UserError(lang(LangKey::message_CodePage_CannotWrite, {{'t', text}, {'o', m_name}}));
    }
    return bytes;
}

namespace {

std::unique_ptr<TextCodec> &programCodec()
{
    static std::unique_ptr<TextCodec> codec;
    return codec;
}

} // namespace

const TextCodec &textCodec()
{
    auto &codec = programCodec();
    if (!codec) {
        QString name = SettingsStore(SettingsStore::Key::Editor).readString(QStringLiteral("CodePage"));
        if (name.isEmpty())
            name = QString::fromLatin1(DefaultCodePage);
        codec = std::make_unique<TextCodec>(name);
        if (!codec->isValid()) {
            reportProblem(
                lang(LangKey::message_CodePage_Unknown, {{'t', name}, {'o', QLatin1String(DefaultCodePage)}}));
            codec = std::make_unique<TextCodec>(QString::fromLatin1(DefaultCodePage));
        }
    }
    return *codec;
}

bool setTextCodec(const QString &codePage)
{
    auto codec = std::make_unique<TextCodec>(codePage);
    if (!codec->isValid())
        return false;
    programCodec() = std::move(codec);
    return true;
}

} // namespace tervelle
