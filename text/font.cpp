#include "text/font.h"

#include <cstdlib>
#include <new>

#include "app/diagnostics.h"
#include "render/texture.h"
#include "text/linked_list.h"

namespace {
const int32_t kDescriptorLines = 4;
const int32_t kCodesPerPage = 256;
const int32_t kPagesPerFont = 256;
// A page's 256 cells take at most about 9 KiB; a longer page file is
// malformed, so all of a font's pages are read in a moment.
const int64_t kMostPageBytes = 64 << 10;

String JoinPath(const String& dataFolder, const String& fontFolder, const String& fileName)
{
    String path(dataFolder);
    path.AppendPath(fontFolder);
    path.AppendPath(fileName);
    return path;
}

// The name before its last '.', or the whole name when it has none.
String NameWithoutExtension(const String& fileName)
{
    int32_t dot = fileName.FindLast('.', fileName.Length(), false);
    return dot < 0 ? fileName : Substring(fileName, 0, dot);
}

String ExtensionOf(const String& fileName)
{
    int32_t dot = fileName.FindLast('.', fileName.Length(), false);
    return dot < 0 ? String() : Substring(fileName, dot, fileName.Length());
}

void NextLineNumber(int32_t& lineNumber)
{
    if (lineNumber < INT32_MAX)
        lineNumber += 1;
}

// One page image as a one-channel Alpha texture; false leaves the fields 0.
bool LoadPageImage(const String& path, int32_t& width, int32_t& height, uint32_t& texture, size_t& pictureBytesLeft)
{
    uint8_t* pixels = nullptr;
    int32_t imageWidth = 0, imageHeight = 0;
    if (!LoadPngPixelsWithin(pixels, imageWidth, imageHeight, path, 1, pictureBytesLeft))
        return false;
    texture = CreateGlTexture(pixels, TexelFormat::Alpha, imageWidth, imageHeight, false, false, false, false);
    free(pixels);
    if (texture == 0)
        return false;
    width = imageWidth;
    height = imageHeight;
    return true;
}

// Reads the page file's glyph cells: line n gives code n - 1 as x, tab, y,
// tab, width. False when a cell line lies past the last code or the file is
// too long to be a page.
bool ReadGlyphCells(InputFile& file, FontPage& page, const String& path)
{
    String line;
    int32_t lineNumber = 0;
    while (file.ReadLine(line)) {
        NextLineNumber(lineNumber);
        int32_t firstTab = line.Find('\t', 0, false);
        int32_t secondTab = firstTab < 0 ? -1 : line.Find('\t', firstTab + 1, false);
        if (secondTab < 0)
            continue;
        int32_t code = lineNumber - 1;
        if (code >= kCodesPerPage) {
            LogError("Error loading font page %s (line %d)", path.Text(), lineNumber);
            return false;
        }
        Glyph& glyph = page.glyphs[code];
        glyph.defined = 1;
        glyph.x = Substring(line, 0, firstTab).ToInt();
        glyph.y = Substring(line, firstTab + 1, secondTab).ToInt();
        glyph.width = Substring(line, secondTab + 1, line.Length()).ToInt();
    }
    if (file.TooLong()) {
        NextLineNumber(lineNumber);
        LogError("Error loading font page %s (line %d)", path.Text(), lineNumber);
        return false;
    }
    return true;
}

bool FailPage(FontPage& page)
{
    ClearFontPage(page);
    return false;
}

void LinkPage(Font& font, FontPage* page) { AppendToList(font.firstPage, font.lastPage, font.pageCount, page); }

void UnlinkPage(Font& font, FontPage* page) { UnlinkFromList(font.firstPage, font.lastPage, font.pageCount, page); }

// Reads the four metrics; false when the descriptor has a fifth line or a
// line too long for any descriptor.
bool ReadMetrics(InputFile& file, Font& font, const String& path)
{
    int32_t* metrics[kDescriptorLines] = {&font.height, &font.spacing, &font.lineGap, &font.reserved};
    String line;
    int32_t lineNumber = 0;
    while (file.ReadLine(line)) {
        lineNumber += 1;
        if (lineNumber > kDescriptorLines) {
            LogError("Error loading font %s (line %d)", path.Text(), lineNumber);
            return false;
        }
        *metrics[lineNumber - 1] = line.ToInt();
    }
    if (file.TooLong()) {
        LogError("Error loading font %s (line %d)", path.Text(), lineNumber + 1);
        return false;
    }
    return true;
}

void FindDefaultGlyph(Font& font, const FontPage* page)
{
    for (int32_t code = 0; code < kCodesPerPage; ++code) {
        if (page->glyphs[code].defined) {
            font.defaultGlyph = &page->glyphs[code];
            font.defaultPage = page;
            return;
        }
    }
}

bool FailFont(Font& font)
{
    ClearFont(font);
    return false;
}
} // namespace

Font::~Font() { ClearFont(*this); }

bool LoadFont(Font& font, const String& dataFolder, const String& fontFolder, const String& fileName)
{
    ClearFont(font);
    String path = JoinPath(dataFolder, fontFolder, fileName);
    // A folder is no descriptor, even where the system lets one be opened.
    InputFile file;
    if (!PathExists(path, false) || !file.Open(path)) {
        LogError("Error opening file %s", path.Text());
        return FailFont(font);
    }
    bool metricsRead = ReadMetrics(file, font, path);
    file.Close();
    if (!metricsRead)
        return FailFont(font);

    String base = NameWithoutExtension(fileName);
    String extension = ExtensionOf(fileName);
    String number;
    // The pictures of all pages together get what one picture may take.
    size_t pictureBytesLeft = kMostPictureBytes;
    for (int32_t pageNumber = 0; pageNumber < kPagesPerFont; ++pageNumber) {
        String pageFileName(base);
        pageFileName.AppendByte(' ');
        number.FromInt(pageNumber, 1);
        pageFileName.Append(number);
        pageFileName.Append(extension);

        FontPage* page = new (std::nothrow) FontPage{};
        if (!page) {
            LogError("Error loading font %s", path.Text());
            return FailFont(font);
        }
        LinkPage(font, page);
        if (LoadFontPage(*page, dataFolder, fontFolder, pageFileName, pictureBytesLeft)) {
            font.pages[pageNumber] = page;
        } else {
            UnlinkPage(font, page);
            delete page;
        }
        if (!font.defaultGlyph && font.pages[pageNumber])
            FindDefaultGlyph(font, font.pages[pageNumber]);
    }
    if (!font.defaultGlyph) {
        LogError("Error loading font %s - no characters defined", path.Text());
        return FailFont(font);
    }
    return true;
}

bool LoadFontPage(FontPage& page, const String& dataFolder, const String& fontFolder, const String& pageFileName,
                  size_t& pictureBytesLeft)
{
    ClearFontPage(page);
    String path = JoinPath(dataFolder, fontFolder, pageFileName);
    if (!PathExists(path, false))
        return false;
    InputFile file;
    if (!file.Open(path, kMostPageBytes)) {
        LogError("Error opening file %s", path.Text());
        return FailPage(page);
    }
    bool cellsRead = ReadGlyphCells(file, page, path);
    file.Close();
    if (!cellsRead)
        return FailPage(page);

    String imageBase = NameWithoutExtension(pageFileName);
    String faceName(imageBase), outlineName(imageBase);
    faceName.Append(".png");
    outlineName.Append(" outline.png");
    String facePath = JoinPath(dataFolder, fontFolder, faceName);
    if (!LoadPageImage(facePath, page.faceWidth, page.faceHeight, page.faceTexture, pictureBytesLeft)) {
        LogError("Error loading font page texture %s", facePath.Text());
        return FailPage(page);
    }
    String outlinePath = JoinPath(dataFolder, fontFolder, outlineName);
    if (!LoadPageImage(outlinePath, page.outlineWidth, page.outlineHeight, page.outlineTexture, pictureBytesLeft)) {
        LogError("Error loading font page texture %s", outlinePath.Text());
        return FailPage(page);
    }
    return true;
}

void ClearFont(Font& font)
{
    for (FontPage* page = font.firstPage; page; page = page->next)
        ClearFontPage(*page);
    DeleteList(font.firstPage, font.lastPage, font.pageCount);
    font.height = 0;
    font.spacing = 0;
    font.lineGap = 0;
    font.reserved = 0;
    for (FontPage*& entry : font.pages)
        entry = nullptr;
    font.defaultGlyph = nullptr;
    font.defaultPage = nullptr;
}

void ClearFontPage(FontPage& page)
{
    if (page.faceTexture != 0)
        DeleteGlTexture(page.faceTexture);
    if (page.outlineTexture != 0)
        DeleteGlTexture(page.outlineTexture);
    for (Glyph& glyph : page.glyphs)
        glyph.defined = 0;
    page.faceWidth = 0;
    page.faceHeight = 0;
    page.faceTexture = 0;
    page.outlineWidth = 0;
    page.outlineHeight = 0;
    page.outlineTexture = 0;
}

void FindGlyph(const Font& font, int32_t pageNumber, int32_t code, const Glyph*& glyph, const FontPage*& page)
{
    const FontPage* found = font.pages[pageNumber & 0xFF];
    if (found && found->glyphs[code & 0xFF].defined) {
        glyph = &found->glyphs[code & 0xFF];
        page = found;
        return;
    }
    glyph = font.defaultGlyph;
    page = font.defaultPage;
}
