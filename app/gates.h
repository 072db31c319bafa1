// The texts and the update comparison of the start-up gates.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace app {

// The control centre's executables: while one runs, the tool refuses to start.
inline constexpr const char* kControlCentreExecutables[] = {
    "CorvaneAlone.exe", "CorvaneChampionships.exe", "CorvanePublic.exe"};

inline constexpr char kControlCentreRunning[] =
    "Corvane est en cours d'utilisation.\rCet utilitaire va se fermer, fermez Corvane\ret "
    "relancez cet utilitaire";

// Another copy of the tool runs: this one would find its lists gone and its
// DataPack overwritten, and would delete the other's files at its close.
inline constexpr char kAlreadyRunning[] =
    "Remedor est déjà en cours d'exécution.\rFermez-le avant de relancer cet utilitaire.\r\r"
    "L'application va se fermer\r\r\r\rRemedor is already running.\rClose it before starting "
    "this utility again.\r\rThe software will be closed.";

// The old add-on layout: the message names a folder "QUORVEL2011", the gate
// tests "QUORVEL2012".
inline constexpr char kOldLayoutMessage[] =
    "Erreur :\r\rCette version du programme de dépannage n'est pas prévue\rpour la version de "
    "QUORVEL qui est installée sur votre machine.\r\rPrésence d'un dossier QUORVEL2011 dans le "
    "dossier du jeu.\rQUORVEL doit être installé sur une installation vierge de RBR.\r\rLe "
    "logiciel va se fermer.";

// Orders the update the lists were made for against the installed one: <0,
// 0 or >0. Two whole numbers compare by value (update 9 is older than 10);
// any other texts compare byte by byte, a prefix being the smaller.
int CompareUpdates(std::string_view supported, std::string_view installed);

// A folder given in the device namespace in its plain Win32 form: "\\?\C:\..."
// and "\\.\C:\..." are the drive path "C:\...", "\\?\UNC\server\share\..." is
// "\\server\share\..."; any other path is returned as it is. nullopt for the
// rest of the namespace (a volume, a pipe, a disk): never a game folder.
std::optional<std::string> PlainFolderPath(std::string_view path);

// "X:\..." or "\\server\...": a folder that does not depend on the current one.
bool IsAbsoluteFolder(std::string_view path);

std::string FolderNotFoundMessage(std::string_view install_folder);
// lists_newer: the lists were made for a later update than the installed one.
std::string UpdateMismatchMessage(std::string_view installed, std::string_view supported,
                                  bool lists_newer);

}  // namespace app
