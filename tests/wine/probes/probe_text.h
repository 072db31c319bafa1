// The probes' line format, shared by the probes and the tests that read them:
// control bytes, the backslash and (when asked) bytes above 127 escaped as
// \\ \t \r \n or \xHH.
#pragma once

#include <cstdio>
#include <string>

namespace probe {

inline std::string Escape(const std::string& bytes, bool high_bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c == 0x7F || (high_bytes && c >= 0x80)) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace probe
