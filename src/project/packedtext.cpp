#include "project/packedtext.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

namespace tervelle {

namespace {

// The heap block's address is copied in and out of the inline bytes as the bytes of a pointer.
constexpr std::size_t PointerSize = sizeof(void *);

bool fitsLatin1(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0xff)
            return false;
    }
    return true;
}

} // namespace

PackedText::PackedText(const QString &text)
{
    const qsizetype size = text.size();
    const bool latin1 = fitsLatin1(text);
    if (latin1 && size <= InlineSize) {
        for (qsizetype i = 0; i < size; ++i)
            m_inline[i] = char(text[i].unicode());
        m_tag = std::uint8_t(size);
        return;
    }
    const std::size_t unit = latin1 ? 1 : 2;
    void *block = std::malloc(sizeof(Heap) + std::size_t(size) * unit);
    if (!block)
        throw std::bad_alloc();
    auto *heap = new (block) Heap{size};
    auto *data = reinterpret_cast<char *>(heap + 1);
    if (latin1) {
        for (qsizetype i = 0; i < size; ++i)
            data[i] = char(text[i].unicode());
    } else {
        std::memcpy(data, text.constData(), std::size_t(size) * 2);
    }
    std::memcpy(m_inline, &heap, PointerSize);
    m_tag = latin1 ? HeapLatin1 : HeapUtf16;
}

PackedText::~PackedText()
{
    release();
}

PackedText::PackedText(PackedText &&other) noexcept : m_tag(other.m_tag)
{
    std::memcpy(m_inline, other.m_inline, sizeof(m_inline));
    other.m_tag = 0;
}

PackedText &PackedText::operator=(PackedText &&other) noexcept
{
    if (this != &other) {
        release();
        std::memcpy(m_inline, other.m_inline, sizeof(m_inline));
        m_tag = other.m_tag;
        other.m_tag = 0;
    }
    return *this;
}

const PackedText::Heap *PackedText::heapBlock() const
{
    const Heap *heap = nullptr;
    std::memcpy(&heap, m_inline, PointerSize);
    return heap;
}

void PackedText::release()
{
    if (m_tag >= HeapLatin1)
        std::free(const_cast<Heap *>(heapBlock()));
    m_tag = 0;
}

qsizetype PackedText::size() const
{
    return m_tag < HeapLatin1 ? qsizetype(m_tag) : heapBlock()->size;
}

QString PackedText::toString() const
{
    if (m_tag < HeapLatin1)
        return QString::fromLatin1(m_inline, m_tag);
    const Heap *heap = heapBlock();
    const char *data = reinterpret_cast<const char *>(heap + 1);
    if (m_tag == HeapLatin1)
        return QString::fromLatin1(data, heap->size);
    return QString(reinterpret_cast<const QChar *>(data), heap->size);
}

void PackedText::appendTo(QString &text) const
{
    if (m_tag < HeapLatin1) {
        text.append(QLatin1String(m_inline, m_tag));
        return;
    }
    const Heap *heap = heapBlock();
    const char *data = reinterpret_cast<const char *>(heap + 1);
    if (m_tag == HeapLatin1)
        text.append(QLatin1String(data, heap->size));
    else
        text.append(reinterpret_cast<const QChar *>(data), heap->size);
}

bool PackedText::isSuffixOf(const QString &text) const
{
    const qsizetype size = this->size();
    if (size > text.size())
        return false;
    const QChar *tail = text.constData() + (text.size() - size);
    if (m_tag == HeapUtf16)
        return std::memcmp(tail, heapBlock() + 1, std::size_t(size) * 2) == 0;
    const char *data = m_tag < HeapLatin1 ? m_inline : reinterpret_cast<const char *>(heapBlock() + 1);
    for (qsizetype i = 0; i < size; ++i) {
        if (tail[i].unicode() != static_cast<unsigned char>(data[i]))
            return false;
    }
    return true;
}

struct SharedText::Block
{
    std::atomic<int> refs;
    qint32 size;
    bool latin1;

    // The characters follow the block: Latin-1 bytes when they all fit, UTF-16 units otherwise.
    char *data() { return reinterpret_cast<char *>(this + 1); }
    const char *data() const { return reinterpret_cast<const char *>(this + 1); }
    QLatin1String latin1View() const { return QLatin1String(data(), size); }
    QStringView utf16View() const { return QStringView(reinterpret_cast<const QChar *>(data()), size); }
};

SharedText::SharedText(QStringView text)
{
    if (text.isEmpty())
        return;
    bool latin1 = true;
    for (const QChar c : text)
        latin1 = latin1 && c.unicode() <= 0xff;
    const std::size_t unit = latin1 ? 1 : sizeof(QChar);
    void *memory = std::malloc(sizeof(Block) + std::size_t(text.size()) * unit);
    if (!memory)
        throw std::bad_alloc();
    m_block = new (memory) Block{{1}, qint32(text.size()), latin1};
    if (latin1) {
        for (qsizetype i = 0; i < text.size(); ++i)
            m_block->data()[i] = char(text[i].unicode());
    } else {
        std::memcpy(m_block->data(), text.data(), std::size_t(text.size()) * sizeof(QChar));
    }
}

SharedText::~SharedText()
{
    release();
}

SharedText::SharedText(const SharedText &other) noexcept : m_block(other.m_block)
{
    if (m_block)
        m_block->refs.fetch_add(1, std::memory_order_relaxed);
}

SharedText &SharedText::operator=(const SharedText &other) noexcept
{
    if (this == &other)
        return *this;
    if (other.m_block)
        other.m_block->refs.fetch_add(1, std::memory_order_relaxed);
    release();
    m_block = other.m_block;
    return *this;
}

void SharedText::release() noexcept
{
    if (m_block && m_block->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        m_block->~Block();
        std::free(m_block);
    }
    m_block = nullptr;
}

QString SharedText::toString() const
{
    if (!m_block)
        return QString();
    return m_block->latin1 ? QString(m_block->latin1View()) : m_block->utf16View().toString();
}

void SharedText::appendTo(QString &text) const
{
    if (m_block && m_block->latin1)
        text.append(m_block->latin1View());
    else if (m_block)
        text.append(m_block->utf16View());
}

bool SharedText::operator==(QStringView text) const
{
    if (!m_block)
        return text.isEmpty();
    return m_block->latin1 ? text == m_block->latin1View() : text == m_block->utf16View();
}

} // namespace tervelle
