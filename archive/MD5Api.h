// File digests for the integrity check: MD5 (RFC 1321) of a file's whole
// content as 32 lower-case hexadecimal digits.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/files.h"
#include "platform/md5_engine.h"

namespace archive {

// The digest as text: the 16 bytes in order, high nibble first, lower case.
std::string DigestToHex(const platform::Md5Digest& digest);

// The digest of the file's content. A file that does not exist gives "";
// one that exists but cannot be opened or read to its end gives the digest
// of empty input, "d41d8cd98f00b204e9800998ecf8427e". Reads in 4 MiB chunks;
// safe to call from several threads at once on different files. Each chunk's
// size is added to `hashed` when given, for a progress display.
std::string FileDigest(platform::FileSystem& files, std::string_view path,
                       std::atomic<std::uint64_t>* hashed = nullptr);

}  // namespace archive
