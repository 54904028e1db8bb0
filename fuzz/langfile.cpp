// libFuzzer target: the language file reader on arbitrary bytes.
#include "core/langload.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    tervelle::applyLanguageBytes(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
