// libFuzzer target: the language file reader on arbitrary bytes. Whatever texts a file leaves
// in the table, the template made from them must read back to the same texts, since translators
// start from that template.
#include "core/errors.h"
#include "core/langload.h"
#include "core/langtemplate.h"
#include "core/textcodec.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace tervelle;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // The codec reads the editor's settings; keep them out of the home folder.
    static QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    textCodec();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    useBuiltInTexts();
    try {
        applyLanguageBytes(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const UserError &) {
        // Bytes the code page cannot decode are refused; that is the reader working.
        return 0;
    }
    // A copy: the table is reset and read again below.
    const auto texts = LangTexts(); // NOLINT(performance-unnecessary-copy-initialization)

    QByteArray templateBytes;
    try {
        templateBytes = textCodec().encode(makeLangTemplate());
    } catch (const UserError &) {
        // Every text came from bytes in this code page, so it encodes back.
        std::abort();
    }
    useBuiltInTexts();
    applyLanguageBytes(templateBytes);
    if (LangTexts() != texts)
        std::abort();
    return 0;
}
