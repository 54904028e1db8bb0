#pragma once

#include <QString>

#include <exception>

namespace tervelle {

// A failure the user can cause (a bad file, a full disk, a text the code page cannot hold).
// It travels to the command that started the work, which shows its message once.
class UserError : public std::exception
{
public:
    explicit UserError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}
    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

} // namespace tervelle
