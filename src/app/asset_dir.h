// Where the program's layout and pictures are: in the installed data folder (share/games/zerno-bros
// beside the installed games/ folder), or in the source tree while developing.
#pragma once

#include <string>

// The folder that holds device.layout and pictures/; empty when none is found.
std::string findAssetDir(const char* argv0);

// The folder that holds the asset folder (share/games/zerno-bros once installed, the source tree while
// developing): where the SOUND folder, readme.txt and whatsnew.txt are, when the current folder
// has none.
std::string dataDirOf(const std::string& assetDir);

// The illustrated manual's index.html: in the data folder's manual/ once installed, in the build
// folder while the program runs from the source tree; empty when neither holds one.
std::string findManual(const std::string& assetDir);

// The program's 256-pixel icon: beside the assets (the source tree), else in the installed
// share/icons/hicolor; empty when neither holds it.
std::string findIcon(const std::string& assetDir, const char* argv0);
