#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

namespace tervelle {

// A node's name in 16 bytes: most file names are short and Latin-1, so they live inside the
// object; a longer one takes one heap block, in Latin-1 when it fits, in UTF-16 otherwise. A
// tree of a million nodes holds its names in a fraction of what a QString each would take.
class PackedText
{
public:
    PackedText() = default;
    explicit PackedText(const QString &text);
    ~PackedText();
    PackedText(const PackedText &) = delete;
    PackedText &operator=(const PackedText &) = delete;
    PackedText(PackedText &&other) noexcept;
    PackedText &operator=(PackedText &&other) noexcept;

    QString toString() const;
    void appendTo(QString &text) const;
    qsizetype size() const;
    // Whether `text` ends with this text.
    bool isSuffixOf(const QString &text) const;

private:
    static constexpr int InlineSize = 15;
    static constexpr std::uint8_t HeapLatin1 = 0x80;
    static constexpr std::uint8_t HeapUtf16 = 0x81;

    struct Heap
    {
        qsizetype size;
        // Latin-1 bytes or UTF-16 units follow.
    };
    // The heap block's address is kept in the first bytes of m_inline (copied, not aligned).
    const Heap *heapBlock() const;
    void release();

    char m_inline[InlineSize] = {};
    std::uint8_t m_tag = 0; // the inline length, or HeapLatin1 / HeapUtf16
};

static_assert(sizeof(PackedText) == 16, "a name is 16 bytes in the node");

// A text that many nodes hold at once, the folder of their sources, in one pointer: copies share
// one counted block, in Latin-1 when the text fits. Copies may be read and dropped on any thread.
class SharedText
{
public:
    SharedText() = default;
    explicit SharedText(QStringView text);
    ~SharedText();
    SharedText(const SharedText &other) noexcept;
    SharedText &operator=(const SharedText &other) noexcept;

    QString toString() const;
    void appendTo(QString &text) const;
    bool operator==(QStringView text) const;
    bool operator!=(QStringView text) const { return !(*this == text); }

private:
    struct Block;
    void release() noexcept;

    Block *m_block = nullptr; // null for the empty text
};

} // namespace tervelle
