#pragma once

#include <QString>

#include <optional>

namespace tervelle {

// How values are written into the installer script so that the compiler reads them back
// exactly. Each rule was checked against the real compiler; a value without the characters a
// rule cares about comes out unchanged.

// A path as the compiler sees it. Under Wine an absolute Unix path becomes a DOS path on drive
// Z: ("/" alone becomes "Z:\"); any other path is left as it is.
QString compilerPath(const QString &path);

// Value of a [Setup] directive. The compiler drops one pair of double quotes around a whole
// value, so such a value gets one more pair.
QString setupDirective(const QString &value);

// Text where the compiler expands constants: a literal "{" is written "{{".
QString constantText(const QString &text);

// An argument inside a constant such as {cm:Name,arg}: ",", "|", "}" and "%" are %-encoded,
// "{" is doubled.
QString constantArgument(const QString &text);

// The inside of a double-quoted section parameter: embedded double quotes are doubled.
QString quotedParameter(const QString &text);

// The inside of a Pascal string literal: single quotes are doubled.
QString pascalString(const QString &text);

// The refusal naming `what` and the value when it holds a double quote, or nothing: the compiler
// refuses any in file names, shortcut names and their targets, whatever the quoting. The refuse
// form throws it as a UserError.
std::optional<QString> doubleQuoteFault(const QString &what, const QString &value);
void refuseDoubleQuote(const QString &what, const QString &value);

// True when the text holds the start of a preprocessor inline directive ("{#"), which the
// compiler's preprocessor would try to evaluate wherever it stands.
bool holdsInlineDirective(const QString &text);

} // namespace tervelle
