// Turns the asset sources into the files the game reads.
//
// From the source folder (the repository's assets/):
//   palette.txt                 characters to colours for every picture
//   images/NAME.txt             becomes Data/NAME.png
//   fonts/small.txt             becomes Data/Fonts/Small.txt, "Small 0.txt",
//                               "Small 0.png" and "Small 0 outline.png"
//   sounds/NAME.txt             becomes Data/NAME.ogg
//   icon/icon 16.txt, 24, 32    become the icon's 16, 24, 32, 48 and 256 pixel
//                               pictures (48 is 24 doubled, 256 is 32 times 8);
//                               the 32-pixel one also as a C++ source; and
//                               square PNG pictures of 16 to 512 pixels, each
//                               its largest source grown by a whole factor
// and "StringData.txt" naming the font, beside the program.
#pragma once

#include <string>

#include "game/asset_names.h"

struct AssetBuildPaths {
    std::string sources;      // the assets/ folder
    std::string output;       // the folder the game runs from
    std::string icon;         // where the icon file goes; empty for none
    std::string iconSource;   // where the 32-pixel icon goes as C++; empty for none
    std::string iconPictures; // a folder for the icon's PNG pictures; empty for none
    std::string previews;     // a folder for enlarged previews; empty for none
};

// The source name of a game file: "Data/spider walk 1.png" is made from
// images/spider walk 1.txt, so its name is "spider walk 1".
std::string AssetName(const char* gameFile);
extern const char* const kFontFileName; // as "StringData.txt" names it, under Data
// The sizes of the icon's PNG pictures, written as "icon-SIZE.png": those
// that desktops' icon themes and web pages ask for.
extern const int kIconPictureSizes[8];

bool BuildAssets(const AssetBuildPaths& paths);
