// The texts and the update comparison of the start-up gates.
#pragma once

#include <string>
#include <string_view>

namespace app {

// Orders the update the lists were made for against the installed one: <0,
// 0 or >0. Two whole numbers compare by value (update 9 is older than 10);
// any other texts compare byte by byte, a prefix being the smaller.
int CompareUpdates(std::string_view supported, std::string_view installed);

// "X:\..." or "\\server\...": a folder that does not depend on the current one.
bool IsAbsoluteFolder(std::string_view path);

std::string FolderNotFoundMessage(std::string_view install_folder);
// lists_newer: the lists were made for a later update than the installed one.
std::string UpdateMismatchMessage(std::string_view installed, std::string_view supported,
                                  bool lists_newer);

}  // namespace app
