#include "app/gates.h"

#include <algorithm>
#include <cctype>

#include "platform/codepage.h"
#include "platform/text.h"

namespace app {

namespace {

bool IsWholeNumber(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Compares two whole numbers of any length without converting them.
int CompareWholeNumbers(std::string_view a, std::string_view b) {
  auto significant = [](std::string_view text) {
    const auto first = text.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
  };
  a = significant(a);
  b = significant(b);
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

}  // namespace

std::optional<std::string> PlainFolderPath(std::string_view path) {
  const bool device_namespace = path.size() >= 4 && (path[0] == '\\' || path[0] == '/') &&
                                (path[1] == '\\' || path[1] == '/') &&
                                (path[2] == '?' || path[2] == '.') &&
                                (path[3] == '\\' || path[3] == '/');
  if (!device_namespace) return std::string(path);
  const std::string_view rest = path.substr(4);
  const bool drive = rest.size() >= 3 && std::isalpha(static_cast<unsigned char>(rest[0])) &&
                     rest[1] == ':' && rest[2] == '\\';
  if (drive) return std::string(rest);
  if (rest.size() > 4 && platform::EqualsIgnoreCase(rest.substr(0, 4), "UNC\\")) {
    return "\\\\" + std::string(rest.substr(4));
  }
  return std::nullopt;
}

bool IsAbsoluteFolder(std::string_view path) {
  const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
                     path[1] == ':' && path[2] == '\\';
  return drive || platform::StartsWith(path, "\\\\");
}

int CompareUpdates(std::string_view supported, std::string_view installed) {
  if (IsWholeNumber(supported) && IsWholeNumber(installed)) {
    return CompareWholeNumbers(supported, installed);
  }
  // Byte by byte in the lists' code page; a prefix is the smaller.
  const std::string a = platform::Utf8ToCp1252(supported);
  const std::string b = platform::Utf8ToCp1252(installed);
  const int order = std::string_view(a).compare(b);
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

std::string FolderNotFoundMessage(std::string_view install_folder) {
  return "Le chemin de l'installation de RBR/QUORVEL n'a pas pu être trouvé ou n'est pas "
         "valide.\r\rChemin trouvé : " +
         std::string(install_folder) + "\r\r" + "L'application va se fermer" + "\r\r" + "\r\r" +
         "The path of the install of RBR/QUORVEL was not found or is not valid" + "\r\r" +
         "The software will be closed.";
}

std::string UpdateMismatchMessage(std::string_view installed, std::string_view supported,
                                  bool lists_newer) {
  return "Cette version de l'utilitaire de dépannage n'est pas adaptée pour l'update installé "
         "sur votre machine.\r\r\nVersion de l'update installé : " +
         std::string(installed) + "\r\n" +
         "Version de l'update pris en compte par cet utilitaire : " + std::string(supported) +
         "\r\r\n" +
         (lists_newer
              ? "Veuillez mettre à jour QUORVEL en installant le(s) update(s) manquant(s)."
              : "Veuillez re-télécharger la dernière version de cet utilitaire et relancez le.");
}

}  // namespace app
