// The facts file of a simulated machine (remedor-machine.ini, its sections and
// keys described in simulated_machine.h), read as the machine's description.
// The file is wrong, with a message naming it, the section and the key, when
// it holds no section, a line that is neither a section, a key nor a comment
// (";"), a key before the first section, a section or key it does not know, a
// section or key given twice (the profile rules would hide the second), or a
// value present but not of its key's kind. An absent key is no error: its
// fact keeps its default.
#pragma once

#include <charconv>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/result.h"

namespace platform::posix {

class MachineFacts {
 public:
  // Reads the file's structure; `file` names it in every message.
  static Result<MachineFacts> Parse(std::string_view bytes, std::string file);

  // A key's value as given (even empty), nullopt when absent.
  std::optional<std::string> Text(std::string_view section, std::string_view key) const;
  // The keys of a section, in file order, as spelt in the file.
  std::vector<std::string> Keys(std::string_view section) const;

  // A whole decimal number from `min` to `max`; anything else present is
  // refused and reads as absent.
  template <class Number>
  std::optional<Number> Whole(std::string_view section, std::string_view key, Number min,
                              Number max);
  // "0" or "1".
  std::optional<bool> Flag(std::string_view section, std::string_view key);
  // Records that the present value of `key` is wrong: `expected` says what it
  // should be. The first refusal is the one reported.
  void Refuse(std::string_view section, std::string_view key, std::string_view expected);
  // The first refusal, if any.
  const std::optional<Error>& error() const { return error_; }

 private:
  struct Entry {
    std::string name;  // as spelt in the file
    std::string value;
    int line = 0;
  };
  using Section = std::map<std::string, Entry>;  // by upper-case key name

  const Entry* Find(std::string_view section, std::string_view key) const;
  Error Wrong(std::string detail) const;

  std::string file_;
  std::map<std::string, Section> sections_;                // by upper-case name
  std::map<std::string, std::vector<std::string>> order_;  // keys as spelt, in file order
  std::optional<Error> error_;
};

// Whole decimal numbers as the facts file writes them: digits, a leading "-"
// for a signed kind, nothing else.
template <class Number>
std::optional<Number> ParseWhole(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

template <class Number>
std::optional<Number> MachineFacts::Whole(std::string_view section, std::string_view key,
                                          Number min, Number max) {
  const Entry* entry = Find(section, key);
  if (entry == nullptr) return std::nullopt;
  const std::optional<Number> value = ParseWhole<Number>(entry->value);
  if (!value || *value < min || *value > max) {
    Refuse(section, key,
           "a whole number from " + std::to_string(min) + " to " + std::to_string(max));
    return std::nullopt;
  }
  return value;
}

}  // namespace platform::posix
