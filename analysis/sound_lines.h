// How a line of the add-on's sound configuration files names a sound file:
// the "="-separated fields, the trimming of the reference, and the rules that
// decide which lines of an effect file and of an engine file are tested.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace analysis {

// Field 1 is the text before the first "=" (the whole line without one),
// field 2 the text between the first and the second "=" (or to the end of the
// line; empty without an "="). Fields are not trimmed.
std::string_view Field(std::string_view line, int k);

// Removes leading and trailing blanks and control characters (bytes up to
// 0x20, and DEL).
std::string_view TrimBlanksAndControls(std::string_view text);

// True when the text holds a control character: no Windows file name does,
// so a reference holding one names no file (and would be cut at a NUL by the
// file functions).
bool HasControlCharacters(std::string_view text);

// The text with each control character but the tab shown as "?", for the
// report: a line of the report holds no line break and nothing that would cut
// the clipboard text or the results file short.
std::string Printable(std::string_view text);

// The part of the reference that a line names, trimmed, or nullopt when the
// line is not tested. Effect files: sections, comments and lines without a
// value are skipped. Engine files: comments are skipped, and so is every line
// whose key is not exactly four characters long.
std::optional<std::string> EffectReference(std::string_view line);
std::optional<std::string> EngineReference(std::string_view line);

}  // namespace analysis
