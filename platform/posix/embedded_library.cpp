// The 7-Zip shared object, copied into the program at build time.
#include "platform/embedded_library.h"

#ifndef REMEDOR_7Z_SO
#error "REMEDOR_7Z_SO names the shared object to embed (set by cmake/embed.cmake)"
#endif

asm(".section .rodata\n"
    ".balign 64\n"
    ".global remedor_archive_library_begin\n"
    ".hidden remedor_archive_library_begin\n"
    "remedor_archive_library_begin:\n"
    ".incbin \"" REMEDOR_7Z_SO "\"\n"
    ".global remedor_archive_library_end\n"
    ".hidden remedor_archive_library_end\n"
    "remedor_archive_library_end:\n"
    ".previous\n");

extern "C" const std::uint8_t remedor_archive_library_begin[];
extern "C" const std::uint8_t remedor_archive_library_end[];

namespace platform {

std::span<const std::uint8_t> EmbeddedArchiveLibrary() {
  return {remedor_archive_library_begin, remedor_archive_library_end};
}

}  // namespace platform
