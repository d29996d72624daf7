// Reads every source, checks it and writes the game's files.
#include "tools/assetgen/asset_build.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "tools/assetgen/font_source.h"
#include "tools/assetgen/icon_write.h"
#include "tools/assetgen/ogg_write.h"
#include "tools/assetgen/pixel_art.h"
#include "tools/assetgen/preview.h"
#include "tools/assetgen/sound_recipe.h"
#include "tools/pngwrite/png_write.h"

std::string AssetName(const char* gameFile)
{
    const std::string file = gameFile;
    const size_t start = file.find('/') + 1;
    return file.substr(start, file.rfind('.') - start);
}

const char* const kFontFileName = "Fonts/Small.txt";
const int kIconPictureSizes[8] = {16, 32, 48, 64, 128, 192, 256, 512};

namespace {

const float kVorbisQuality = 0.5f;

bool MakeFolder(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    if (error)
        std::fprintf(stderr, "%s: cannot make the folder: %s\n", path.c_str(), error.message().c_str());
    return !error;
}

bool WriteTextFile(const std::string& path, const std::string& text)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file)
        ok = std::fclose(file) == 0 && ok;
    if (!ok)
        std::fprintf(stderr, "%s: cannot write\n", path.c_str());
    return ok;
}

bool ReadArt(const std::string& path, const Palette& palette, PixelArt& art)
{
    SourceText source;
    return ReadSourceText(path, source) && ParsePixelArt(source, palette, art);
}

bool WriteGreyPng(const std::string& path, int width, int height, const std::vector<uint8_t>& coverage)
{
    const std::vector<uint16_t> samples(coverage.begin(), coverage.end());
    const PngImage image = {width, height, 0, 8, false, samples.data(), nullptr, 0, nullptr, 0};
    return WritePng(path.c_str(), image);
}

bool BuildFont(const AssetBuildPaths& paths, FontSource& font)
{
    SourceText source;
    if (!ReadSourceText(paths.sources + "/fonts/small.txt", source) || !ParseFontSource(source, font))
        return false;
    const FontPage page = LayOutFontPage(font);
    const std::string folder = paths.output + "/Data/Fonts";
    return MakeFolder(folder) && WriteTextFile(folder + "/Small.txt", FontDescriptorText(font)) &&
           WriteTextFile(folder + "/Small 0.txt", FontPageText(font, page)) &&
           WriteGreyPng(folder + "/Small 0.png", page.imageWidth, page.imageHeight, page.face) &&
           WriteGreyPng(folder + "/Small 0 outline.png", page.imageWidth, page.imageHeight, page.outline) &&
           WriteTextFile(paths.output + "/StringData.txt", "# The font every text is drawn in, under the Data folder.\n"
                                                           "FONT_FILE_NAME \"" +
                                                               std::string(kFontFileName) + "\"\n");
}

bool BuildSounds(const AssetBuildPaths& paths)
{
    for (int i = 0; i < kGameSoundCount; ++i) {
        SourceText source;
        SoundRecipe recipe;
        const std::string name = AssetName(kGameSoundFiles[i]);
        if (!ReadSourceText(paths.sources + "/sounds/" + name + ".txt", source) || !ParseSoundRecipe(source, recipe))
            return false;
        if (!WriteOggVorbis((paths.output + "/Data/" + name + ".ogg").c_str(), SynthesizeSound(recipe), recipe.rate,
                            kVorbisQuality))
            return false;
    }
    return true;
}

// Each size is drawn from the largest source that divides it, so 48 is the
// 24-pixel art doubled and 512 the 32-pixel art grown sixteen times.
bool WriteIconPictures(const std::string& folder, const PixelArt (&art)[3])
{
    if (!MakeFolder(folder))
        return false;
    for (int size : kIconPictureSizes) {
        int source = 2;
        while (source > 0 && size % art[source].width != 0)
            --source;
        PixelArt picture = ScalePixelArt(art[source], size / art[source].width);
        if (!WriteIconPng(folder + "/icon-" + std::to_string(size) + ".png", picture))
            return false;
    }
    return true;
}

bool BuildIcon(const AssetBuildPaths& paths, const Palette& palette)
{
    const char* const sizes[3] = {"16", "24", "32"};
    PixelArt art[3];
    for (int i = 0; i < 3; ++i) {
        const std::string path = paths.sources + "/icon/icon " + sizes[i] + ".txt";
        if (!ReadArt(path, palette, art[i]))
            return false;
        const int wanted = 16 + 8 * i;
        if (art[i].width != wanted || art[i].height != wanted) {
            std::fprintf(stderr, "%s:0: must be %d by %d pixels\n", path.c_str(), wanted, wanted);
            return false;
        }
    }
    if (!paths.iconSource.empty() && !WriteIconSource(paths.iconSource, art[2]))
        return false;
    if (!paths.iconPictures.empty() && !WriteIconPictures(paths.iconPictures, art))
        return false;
    return paths.icon.empty() ||
           WriteIconFile(paths.icon, {art[0], art[1], art[2], ScalePixelArt(art[1], 2), ScalePixelArt(art[2], 8)});
}

} // namespace

bool BuildAssets(const AssetBuildPaths& paths)
{
    SourceText paletteSource;
    Palette palette;
    if (!ReadSourceText(paths.sources + "/palette.txt", paletteSource) || !ParsePalette(paletteSource, palette))
        return false;
    if (!MakeFolder(paths.output + "/Data"))
        return false;
    std::vector<NamedArt> images;
    for (int i = 0; i < kGameImageCount; ++i) {
        NamedArt image{AssetName(kGameImageFiles[i]), {}};
        if (!ReadArt(paths.sources + "/images/" + image.name + ".txt", palette, image.art))
            return false;
        if (!WritePixelArtPng((paths.output + "/Data/" + image.name + ".png").c_str(), image.art))
            return false;
        images.push_back(image);
    }
    FontSource font;
    if (!BuildFont(paths, font) || !BuildSounds(paths))
        return false;
    if (!(paths.icon.empty() && paths.iconSource.empty() && paths.iconPictures.empty()) && !BuildIcon(paths, palette))
        return false;
    if (!paths.previews.empty() && !(MakeFolder(paths.previews) && WritePreviews(paths.previews, images, font, 4)))
        return false;
    return true;
}
