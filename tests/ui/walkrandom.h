#pragma once

#include <QString>
#include <QStringList>

#include <random>

namespace tervelle::test {

// The random walk's choices, repeatable from the walk's number and its series, and the texts
// it types. Series 0 gives each walk the choices it has always had.
class WalkRandom
{
public:
    void restart(quint32 walkNumber, quint32 series)
    {
        if (series == 0) {
            m_random = std::mt19937(walkNumber);
            return;
        }
        std::seed_seq sequence{series, walkNumber};
        m_random = std::mt19937(sequence);
    }

    quint32 next(quint32 bound) { return bound ? quint32(m_random()) % bound : 0; }
    bool chance(int percent) { return int(next(100)) < percent; }
    template <typename List>
    const auto &pick(const List &list)
    {
        return list[int(next(quint32(list.size())))];
    }

    // Texts a map maker may type by mistake, and some that only look odd.
    QString oddText()
    {
        static const QStringList texts = {
            QStringLiteral("="),
            QStringLiteral("/f"),
            QStringLiteral("[english]=x"),
            QStringLiteral("[english]"),
            QStringLiteral("key"),
            QStringLiteral("key=value"),
            QString(),
            QStringLiteral(" "),
            QStringLiteral("a\tb"),
            QStringLiteral("x\x01y"),
            QStringLiteral("line\nbreak"),
            QStringLiteral("cr\r"),
            QString(300, QLatin1Char('n')),
            QStringLiteral("CON"),
            QStringLiteral(".."),
            QStringLiteral("a\\b"),
            QStringLiteral("[htmlgerman]"),
            QStringLiteral("Name"),
            QString::fromUtf8("\xc3\xa4\xc3\xb6\xc3\xbc"),
            QString::fromUtf8("\xe2\x82\xac uro"),
            QString::fromUtf8("\xe4\xb8\xad"),
            QStringLiteral("*?<>|"),
        };
        return pick(texts);
    }

private:
    std::mt19937 m_random;
};

// A text as the trace shows it: control characters written visibly, long ones shortened.
inline QString describeText(const QString &text)
{
    QString shown = text.size() > 40 ? text.left(20) + QStringLiteral("...(%1)").arg(text.size()) : text;
    QString out;
    for (const QChar c : std::as_const(shown))
        out += c.unicode() < 32 ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0')) : QString(c);
    return QLatin1Char('"') + out + QLatin1Char('"');
}

} // namespace tervelle::test
