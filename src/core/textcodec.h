#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace tervelle {

// Every file the editor reads or writes is 8-bit text in one code page. The codec converts
// between those bytes and QString; bytes decode and encode back unchanged.
class TextCodec
{
public:
    explicit TextCodec(const QString &codePage);

    bool isValid() const { return m_valid; }
    const QString &name() const { return m_name; }
    // Whether bytes below 0x80 are the ASCII characters, both ways.
    bool isAsciiCompatible() const { return m_asciiCompatible; }

    // Lenient: bytes that are no text in the code page become U+FFFD. For output that is only
    // shown (the compiler's console), never for a file the editor may save again.
    QString decode(QByteArrayView bytes) const;
    // The text of bytes that must be whole text, or nothing when some bytes are no text in the
    // code page: reading on with U+FFFD in their place would change the file at the next save.
    // The bytes are one complete piece: a character cut off at the end is no text either.
    std::optional<QString> decodeExactly(QByteArrayView bytes) const;
    // Throws UserError naming the text when the code page cannot represent it: a silent
    // replacement would store a different name than the one the map maker typed.
    QByteArray encode(const QString &text) const;
    bool canEncode(const QString &text) const;

private:
    QString m_name;
    QByteArray m_nameBytes;
    bool m_valid = false;
    bool m_asciiCompatible = false; // bytes below 0x80 are the ASCII characters
    mutable QStringDecoder m_decoder;
    mutable QStringDecoder m_exactDecoder;
    mutable QStringEncoder m_encoder;
};

inline constexpr const char *DefaultCodePage = "windows-1252";

// The program-wide codec, named by the settings value "CodePage" (read once, on first use).
const TextCodec &textCodec();
// Replaces the program-wide codec; an unknown name is refused and returns false.
bool setTextCodec(const QString &codePage);

} // namespace tervelle
