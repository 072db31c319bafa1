// The wildcard rules of FindFirstFile, as Windows applies them to long names.
//
// Windows turns the mask into the file system's "DOS" expression before
// matching: trailing blanks and dots are dropped (a mask ending in a dot turns
// its last "*" into a star that stops before the name's final dot), "*.*"
// becomes "*", every "?" becomes a question mark that matches nothing at a dot
// or at the end of the name, a "*" before a dot stops before the final dot, and
// a dot before "*" or "?" also matches the end of the name. Hence "*", "*.*"
// and "*.*.*" match every name, "*." only names without a dot, "aa.*" finds
// "aa" and "a?" finds "a". Letters match without regard to case.
//
// Not modelled: 8.3 short names, which an NTFS volume may also match (Windows
// finds "x.html" with "*.htm"); this matcher behaves like a volume without them.
#pragma once

#include <string>
#include <string_view>

namespace platform::posix {

class FindMask {
 public:
  // `mask` is the last component of a search pattern, as the caller wrote it.
  explicit FindMask(std::string_view mask);

  bool Matches(std::string_view name) const;
  // True when the mask, after the trailing blanks and dots are dropped, is empty.
  bool Empty() const { return expression_.empty(); }
  // The "." and ".." entries of a folder: Windows lists them for the masks
  // that match them or that match an empty name.
  bool MatchesDotEntry(std::string_view name) const;

 private:
  std::u16string expression_;  // upper case, with the DOS wildcards below
};

}  // namespace platform::posix
