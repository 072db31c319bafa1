#include "analysis/export_help.h"

namespace analysis {

namespace {

const char* const kExecutables[] = {"RichardBurnsRally_SSE.exe",
                                    "RichardBurnsRally.exe",
                                    "CorvaneAlone.exe",
                                    "CorvanePublic.exe",
                                    "CorvaneChampionships.exe",
                                    "QuorvelLauncher.exe",
                                    "QuorvelUpdate.exe",
                                    "PaceNotes.exe",
                                    "RBRTools.exe",
                                    "Remedor.exe",
                                    "7za.exe"};

}  // namespace

std::vector<std::string> HelpLines(UiLanguage set, std::string_view supported_update) {
  const std::string update(supported_update);
  std::vector<std::string> lines;
  if (set == UiLanguage::kFrench) {
    lines = {
        "Analyses et réparations effectuées par cette version du logiciel :",
        "Update de QUORVEL pris en charge : " + update,
        "- Versions de l'utilitaire et de l'update installé",
        "- Processeur, mémoire vive et carte graphique",
        "- Nombre d'écrans, résolution de l'écran et résolution du jeu",
        "- Espace libre sur le lecteur du jeu",
        "- Système d'exploitation et type de session",
        "- Nombre et liste des processus lancés",
        "- Zazozi Zovodad et option X-Sim de Corvane",
        "- Sons 2010 et présence d'un fichier audio.dat",
        "- Antivirus connus",
        "- EAX sous Windows Vista ou 7",
        "- Synchronisation Temps Internet de Windows",
        "- Présence de RBR-World",
        "- Versions des bibliothèques de son et des plugins de physique",
        "- Copie du fichier RichardBurnsRally.ini",
        "- Plugins installés et logiciels de triche",
        "- Versions des packs de voitures et pack de spéciales",
        "- Fichiers et dossiers nécessaires à QUORVEL",
        "- Fichiers son référencés par la configuration des sons",
        "- Fichiers DDS à la racine du jeu",
        "- Installation dans un dossier protégé sous Windows Vista ou 7",
        "- Dossiers de textures des spéciales mal nommés",
        "- Intégrité des archives de QUORVEL et de QDsys.dll",
        "- Réparation : noms des dossiers de textures",
        "- Réparation : désactivation de Zazozi Zovodad",
        "- Réparation : position des fenêtres de Corvane",
        "- Réparation : activation de la synchro Temps Internet",
        "Exécutables du jeu et de QUORVEL pris en compte :",
    };
  } else {
    lines = {
        "Analysis and repairs made by this software release:",
        "QUORVEL update supported: " + update,
        "- Versions of this utility and of the installed update",
        "- Processor, memory and graphics card",
        "- Screens, screen resolution and game resolution",
        "- Free space on the game's drive",
        "- Operating system and session type",
        "- Number and list of running processes",
        "- Zazozi Zovodad and Corvane's X-Sim option",
        "- 2010 sounds and a stray audio.dat",
        "- Known antivirus programs",
        "- EAX under Windows Vista or 7",
        "- Windows Internet time synchronisation",
        "- RBR-World installed over the game",
        "- Versions of the sound libraries and physics plugins",
        "- Copy of RichardBurnsRally.ini",
        "- Installed plugins and cheat tools",
        "- Car packs and stage pack versions",
        "- Files and folders QUORVEL needs",
        "- Sound files named by the sound configuration",
        "- DDS files at the game root, misnamed texture folders",
        "- Game installed in a protected folder under Windows Vista or 7",
        "- Integrity of QUORVEL's archives and QDsys.dll",
        "- Repairs: texture folders, Zazozi Zovodad, Corvane's windows",
        "- Repair: Internet time synchronisation",
        "- Results file and clipboard copy of the report",
        "Executables of the game and of QUORVEL taken into account:",
    };
  }
  for (const char* exe : kExecutables) lines.push_back(std::string("  ") + exe);
  return lines;
}

}  // namespace analysis
