// velmora-assetgen: makes the game's pictures, font, sounds and icon from the
// text sources in assets/.
//
//   velmora-assetgen SOURCES OUTPUT [--icon FILE] [--icon-source FILE.cpp]
//                    [--icon-pictures FOLDER] [--preview FOLDER]
//
// Writes OUTPUT/Data/..., OUTPUT/StringData.txt and, when asked, the icon
// file, the icon as a C++ source, the icon's PNG pictures of 16 to 512
// pixels (FOLDER/icon-SIZE.png) and 4x previews. A fault in any source is
// printed as FILE:LINE: message and the tool exits with status 1, leaving the
// build to fail.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/assetgen/asset_build.h"

int main(int argc, char** argv)
{
    AssetBuildPaths paths;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        std::string* option = std::strcmp(argv[i], "--icon") == 0            ? &paths.icon
                              : std::strcmp(argv[i], "--icon-source") == 0   ? &paths.iconSource
                              : std::strcmp(argv[i], "--icon-pictures") == 0 ? &paths.iconPictures
                              : std::strcmp(argv[i], "--preview") == 0       ? &paths.previews
                                                                             : nullptr;
        if (option && i + 1 < argc) {
            *option = argv[i + 1];
            ++i;
        } else if (argv[i][0] != '-' && positional < 2) {
            (positional++ == 0 ? paths.sources : paths.output) = argv[i];
        } else {
            positional = -1;
            break;
        }
    }
    if (positional != 2) {
        std::fprintf(
            stderr,
            "usage: velmora-assetgen SOURCES OUTPUT [--icon FILE] [--icon-source FILE.cpp] [--icon-pictures FOLDER] "
            "[--preview FOLDER]\n");
        return 2;
    }
    return BuildAssets(paths) ? 0 : 1;
}
