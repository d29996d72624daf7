#include "render/sprite_sheet.h"

#include "render/gl_state.h"
#include "render/texel_upload.h"
#include "render/texture.h"

namespace {

const int32_t kSheetSide = 256;
const int32_t kLargestImage = 64;

struct SpriteSheet {
    uint32_t glName;                     // 0 when the GL cannot hold the sheet
    int32_t rowTop, rowHeight, rowRight; // the row being filled, top down
};

SpriteSheet sheet;

} // namespace

void MakeSpriteSheet(int32_t mostTextureSide)
{
    sheet = SpriteSheet{0, 0, 0, 0};
    if (mostTextureSide >= kSheetSide)
        sheet.glName = CreateGlTexture(nullptr, TexelFormat::Rgba, kSheetSide, kSheetSide, true, true, false, false);
}

bool PlaceInSpriteSheet(const uint8_t* rgba, Texture& texture)
{
    int32_t width = texture.width, height = texture.height;
    if (width > kLargestImage || height > kLargestImage || sheet.glName == 0)
        return false;
    if (sheet.rowRight + width > kSheetSide) {
        sheet.rowTop += sheet.rowHeight;
        sheet.rowRight = sheet.rowHeight = 0;
    }
    if (sheet.rowTop + height > kSheetSide)
        return false;
    BindTexture(sheet.glName);
    UploadRgbaTexelsAt(rgba, sheet.rowRight, sheet.rowTop, width, height);
    BindTexture(texture.glName);
    const float side = kSheetSide;
    texture.sheetName = sheet.glName;
    texture.sheetLeft = float(sheet.rowRight) / side;
    texture.sheetRight = float(sheet.rowRight + width) / side;
    texture.sheetTop = float(sheet.rowTop) / side;
    texture.sheetBottom = float(sheet.rowTop + height) / side;
    sheet.rowRight += width;
    sheet.rowHeight = height > sheet.rowHeight ? height : sheet.rowHeight;
    return true;
}

void DeleteSpriteSheet()
{
    if (sheet.glName != 0)
        DeleteGlTexture(sheet.glName);
    sheet = SpriteSheet{0, 0, 0, 0};
}
