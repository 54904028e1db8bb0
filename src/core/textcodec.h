#pragma once

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace tervelle {

// Every file the editor reads or writes is 8-bit text in one code page. The codec converts
// between those bytes and QString; bytes decode and encode back unchanged.
class TextCodec
{
public:
    explicit TextCodec(const QString &codePage);

    bool isValid() const { return m_valid; }
    const QString &name() const { return m_name; }

    QString decode(QByteArrayView bytes) const;
    // Throws UserError naming the text when the code page cannot represent it: a silent
    // replacement would store a different name than the one the map maker typed.
    QByteArray encode(const QString &text) const;
    bool canEncode(const QString &text) const;

private:
    QString m_name;
    QByteArray m_nameBytes;
    bool m_valid = false;
    mutable QStringDecoder m_decoder;
    mutable QStringEncoder m_encoder;
};

inline constexpr const char *DefaultCodePage = "windows-1252";

// The program-wide codec, named by the settings value "CodePage" (read once, on first use).
const TextCodec &textCodec();
// Replaces the program-wide codec; an unknown name is refused and returns false.
bool setTextCodec(const QString &codePage);

} // namespace tervelle
