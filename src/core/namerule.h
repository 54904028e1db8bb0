#pragma once

#include <QString>

#include <optional>

namespace tervelle {

// Project texts come from files that travel between map makers, and the installers built from
// them run on players' machines. These checks are the one gate every such text passes before it
// becomes a line of the installer script, a line of the map list or a file name.

// True for C0 and C1 control characters and DEL: the compiler and its preprocessor treat a lone
// CR as a line break, so one of these in a value could start a script line of its own.
bool isControlCharacter(QChar c);
bool hasControlCharacter(const QString &text);

// The text with every control character written visibly ("\r", "\n", "\t", "\0", "\x1b"), and a
// backslash written as it stands: for terminals and messages, so a hidden escape sequence is
// shown rather than run.
QString escapeControlCharacters(const QString &text);

// A name that can be one Windows file or folder name and cannot leave its folder: not empty,
// "." or "..", none of \ / : * ? " < > | and no control character, not a device name (CON,
// NUL, COM1, ... with or without an extension), not ending in a blank or a dot, and no longer
// than the 255 characters Windows allows.
bool isWindowsName(const QString &name);

// The rules below return their refusal, a message naming `what` and the value, or nothing.
// Checks that gather every refusal collect these; a command that stops at the first one calls
// the require... form, which throws it as a UserError.

// When the value holds a control character.
std::optional<QString> controlCharacterFault(const QString &what, const QString &value);

// The same, and also when the code page of the project files cannot store the value: a text
// the map maker types must survive Save project.
std::optional<QString> storableTextFault(const QString &what, const QString &value);

// When the name (escaped in the message, with the reason) is not a Windows name.
std::optional<QString> windowsNameFault(const QString &what, const QString &name);

// Unless the value is empty or a web address ("http://" or "https://", any letter case): the
// installer makes a Start-menu shortcut of it, and a program path there
// ("\\\\host\\share\\x.exe", "C:\\x.exe") would start that program on players' machines.
std::optional<QString> webAddressFault(const QString &what, const QString &value);

// Throws UserError with the refusal, if there is one.
void refuse(const std::optional<QString> &fault);

inline void requireNoControlCharacters(const QString &what, const QString &value)
{
    refuse(controlCharacterFault(what, value));
}

inline void requireStorableText(const QString &what, const QString &value)
{
    refuse(storableTextFault(what, value));
}

inline void requireWindowsName(const QString &what, const QString &name)
{
    refuse(windowsNameFault(what, name));
}

inline void requireWebAddress(const QString &what, const QString &value)
{
    refuse(webAddressFault(what, value));
}

} // namespace tervelle
