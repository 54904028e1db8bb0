// libFuzzer target: the language file reader on arbitrary bytes.
#include "core/errors.h"
#include "core/langload.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        tervelle::applyLanguageBytes(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const tervelle::UserError &) {
        // Bytes the code page cannot decode are refused; that is the reader working.
    }
    return 0;
}
