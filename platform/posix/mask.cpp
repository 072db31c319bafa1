#include "platform/posix/mask.h"

#include <vector>

#include "platform/codepage.h"
#include "platform/text.h"

namespace platform::posix {

namespace {

// The file system's DOS wildcards (FsRtlIsNameInExpression). A mask may also
// hold them literally: Windows passes them through, and no name contains them.
constexpr char16_t kDosStar = u'<';  // any run of characters, but not the final dot
constexpr char16_t kDosQm = u'>';    // one character; nothing at a dot or the end
constexpr char16_t kDosDot = u'"';   // a dot, or nothing at the end of the name

std::u16string Folded(std::string_view text) { return Utf8ToUtf16(UpperCase(text)); }

}  // namespace

FindMask::FindMask(std::string_view mask) {
  const bool ends_in_dot = !mask.empty() && mask.back() == '.';
  std::u16string core = Folded(mask);
  while (!core.empty() && (core.back() == u' ' || core.back() == u'.')) core.pop_back();
  if (core == u"*.*") {
    expression_ = u"*";
    return;
  }
  for (std::size_t i = 0; i < core.size(); ++i) {
    const char16_t next = i + 1 < core.size() ? core[i + 1] : u'\0';
    char16_t c = core[i];
    if (c == u'?') {
      c = kDosQm;
    } else if (c == u'*' && next == u'.') {
      c = kDosStar;
    } else if (c == u'.' && (next == u'?' || next == u'*')) {
      c = kDosDot;
    }
    expression_ += c;
  }
  if (ends_in_dot && !expression_.empty() && expression_.back() == u'*') {
    expression_.back() = kDosStar;
  }
}

bool FindMask::Matches(std::string_view name_text) const {
  const std::u16string name = Folded(name_text);
  const std::size_t e_count = expression_.size();
  const std::size_t n_count = name.size();
  const std::size_t last_dot = name.rfind(u'.');
  // matched[e * (n_count + 1) + n]: expression from e matches the name from n.
  std::vector<char> matched((e_count + 1) * (n_count + 1), 0);
  const auto at = [&](std::size_t e, std::size_t n) -> char& {
    return matched[e * (n_count + 1) + n];
  };
  at(e_count, n_count) = 1;
  for (std::size_t e = e_count; e-- > 0;) {
    const char16_t token = expression_[e];
    for (std::size_t n = n_count + 1; n-- > 0;) {
      const bool at_end = n == n_count;
      bool result = false;
      switch (token) {
        case u'*':
          result = at(e + 1, n) || (!at_end && at(e, n + 1));
          break;
        case kDosStar:
          result = at(e + 1, n) || (!at_end && n != last_dot && at(e, n + 1));
          break;
        case kDosQm:
          result = (at_end || name[n] == u'.') ? at(e + 1, n) : at(e + 1, n + 1);
          break;
        case kDosDot:
          result = at_end ? at(e + 1, n) : (name[n] == u'.' && at(e + 1, n + 1));
          break;
        default:
          result = !at_end && name[n] == token && at(e + 1, n + 1);
          break;
      }
      at(e, n) = result ? 1 : 0;
    }
  }
  return at(0, 0) != 0;
}

bool FindMask::MatchesDotEntry(std::string_view name) const { return Matches(name) || Matches(""); }

}  // namespace platform::posix
