// Every file the game reads, damaged one at a time in a fresh copy of the
// game's files: the whole application starts, plays a few ticks, draws, and
// shuts down, and must log exactly the expected lines and carry on.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/app.h"
#include "app/diagnostics.h"
#include "game/asset_names.h"
#include "game/game.h"
#include "sound/mixer.h"
#include "sound/mixer_engine.h"
#include "sound/sound.h"
#include "sound/sound_engine.h"
#include "tests/support/app_run.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_platform.h"
#include "tools/offscreen/offscreen_gl.h"

#ifndef VELMORA_GAME_FILES
#error "VELMORA_GAME_FILES must name the folder holding Data and StringData.txt"
#endif

namespace {

using Bytes = std::string;
using Lines = std::vector<std::string>;

enum class Harm { Missing, Empty, Keep, Flip, Write, Grow, Folder, Locked, Loop, Pipe, Endless };

// One way to damage a file. Positions below 0 count from the end; `quarters`
// adds that many quarters of the file's size to the position.
struct Damage {
    const char* name;
    Harm harm;
    int64_t at;
    int32_t quarters;
    const char* bytes;   // Write: written over the file at `at`; Grow: the filler
    int64_t bytesLength; // Write: their count; Grow: how many bytes to add
    bool ownHead;        // Grow: the file's own bytes come first (else `at` bytes of them)
};

Damage Missing() { return {"Missing", Harm::Missing, 0, 0, nullptr, 0, false}; }
Damage Empty() { return {"Empty", Harm::Empty, 0, 0, nullptr, 0, false}; }
Damage Keep(const char* name, int64_t at, int32_t quarters = 0) { return {name, Harm::Keep, at, quarters, nullptr, 0, false}; }
Damage Flip(const char* name, int64_t at, int32_t quarters = 0) { return {name, Harm::Flip, at, quarters, nullptr, 0, false}; }
Damage Write(const char* name, int64_t at, const char* bytes, int64_t length)
{
    return {name, Harm::Write, at, 0, bytes, length, false};
}
Damage Grow(const char* name, const char* filler, int64_t bytes) { return {name, Harm::Grow, 0, 0, filler, bytes, true}; }
// The file's first `head` bytes, then `bytes` of filler, then the rest.
Damage Stuff(const char* name, int64_t head, const char* filler, int64_t bytes)
{
    return {name, Harm::Grow, head, 0, filler, bytes, false};
}
Damage Folder() { return {"Folder", Harm::Folder, 0, 0, nullptr, 0, false}; }
Damage Locked() { return {"Locked", Harm::Locked, 0, 0, nullptr, 0, false}; }
Damage Loop() { return {"LinkLoop", Harm::Loop, 0, 0, nullptr, 0, false}; }
Damage Pipe() { return {"Pipe", Harm::Pipe, 0, 0, nullptr, 0, false}; }
// A link to a device that never ends.
Damage Endless() { return {"Endless", Harm::Endless, 0, 0, nullptr, 0, false}; }

const int64_t kMiB = 1 << 20;

// What the run shows: the log lines in order, whether the game runs, and
// for an image or a sound whether the game had to do without it.
struct Outcome {
    Lines lines;
    bool running;
    bool refused;
};

struct Case {
    const char* file;
    Damage damage;
    Outcome outcome;
};

struct Picture {
    const char* file;
    int32_t uses; // frames (or the title) that show it
};

const Picture kPictures[] = {
    {kGameImageFiles[kTitleImage], 1},      {kGameImageFiles[kSpiderStandImage], 4},
    {kGameImageFiles[kLegRaised1Image], 4}, {kGameImageFiles[kLegRaised2Image], 4},
    {kGameImageFiles[kLegRaised3Image], 2}, {kGameImageFiles[kWalk1Image], 2},
    {kGameImageFiles[kWalk1Image + 1], 2},  {kGameImageFiles[kWalk1Image + 2], 2},
    {kGameImageFiles[kWalk1Image + 3], 2},  {kGameImageFiles[kWalk1Image + 4], 2},
    {kGameImageFiles[kWalk1Image + 5], 2},  {kGameImageFiles[kWalk1Image + 6], 2},
    {kGameImageFiles[kWalk1Image + 7], 2},  {kGameImageFiles[kDying1Image], 2},
    {kGameImageFiles[kDying2Image], 2},     {kGameImageFiles[kDeadImage], 2},
    {kGameImageFiles[kBigHeartImage], 1},   {kGameImageFiles[kHeart1Image], 43},
    {kGameImageFiles[kHeart1Image + 1], 43}, {kGameImageFiles[kHeart1Image + 2], 42},
};

struct Sound {
    const char* file;
    uint32_t GameState::*id;
};

const Sound kSounds[] = {
    {kGameSoundFiles[kBeepSound], &GameState::beepSound},
    {kGameSoundFiles[kRunAwaySound], &GameState::runAwaySound},
    {kGameSoundFiles[kDeathSound], &GameState::deathSound},
    {kGameSoundFiles[kLoveSound], &GameState::loveSound},
};

const char kFontImages[][32] = {"Data/Fonts/Small 0.png", "Data/Fonts/Small 0 outline.png"};

// A PNG: 8 signature bytes, IHDR (length, type, 13 bytes, CRC) up to byte 33,
// then IDAT and IEND. libpng checks every chunk's CRC, so no flip gets by.
const Damage kPngDamages[] = {
    Missing(),
    Empty(),
    Keep("OneByte", 1),
    Keep("SignatureOnly", 8),
    Keep("HeaderOnly", 33),
    Keep("Quarter", 0, 1),
    Keep("Half", 0, 2),
    Keep("AllButTheEndMark", -12),
    Keep("AllButOneByte", -1),
    Flip("FlippedSignature", 0),
    Flip("FlippedHeaderType", 12),
    Flip("FlippedWidth", 18),
    Flip("FlippedHeaderSum", 30),
    Flip("FlippedDataStart", 41),
    Flip("FlippedAtHalf", 0, 2),
    Flip("FlippedEndMark", -8),
    Flip("FlippedLastByte", -1),
    Write("HugeSides", 16, "\x7f\xff\xff\xff\x7f\xff\xff\xff", 8),
    Write("SidesOf16384", 16, "\x00\x00\x40\x00\x00\x00\x40\x00", 8),
    Write("ZeroWidth", 16, "\x00\x00\x00\x00", 4),
    Folder(),
    Locked(),
    Loop(),
    Pipe(),
};
// Bytes after the end mark are never read.
const Damage kPngThatStillLoads[] = {Grow("EightMiBOfJunkAfter", "junk\x89PNG\r\n\x1a\n\0\xff", 8 * kMiB)};

// An Ogg Vorbis sound: the first page (58 bytes) holds the identification
// header, whose channel count is at byte 39 and sample rate at 40.
const Damage kOggDamages[] = {
    Missing(),
    Empty(),
    Keep("OneByte", 1),
    Keep("FirstPageOnly", 58),
    Keep("Quarter", 0, 1),
    Keep("Half", 0, 2),
    Keep("AllButOneByte", -1),
    Flip("FlippedCapture", 0),
    Flip("FlippedPageFlags", 5),
    Flip("FlippedSegmentCount", 26),
    Flip("FlippedChannels", 39),
    Flip("FlippedSecondPage", 58),
    Write("NoChannels", 39, "\x00", 1),
    Write("HugeSampleRate", 40, "\xff\xff\xff\x7f", 4),
    Write("HugeBlocks", 56, "\xff", 1),
    Grow("SeventeenMiBOfJunkAfter", "junk", 17 * kMiB),
    Folder(),
    Locked(),
    Loop(),
    Pipe(),
};
// Page checksums are not checked: a damaged sound packet decodes to a click.
const Damage kOggThatStillLoads[] = {Grow("FourMiBOfJunkAfter", "junk", 4 * kMiB), Flip("FlippedLastByte", -1)};

const char kNotSet[] = "String variable not set (FONT_FILE_NAME)";
const char kNoFontName[] = "Error opening file Data";
const char kRenderer[] = "Error initialising renderer";
const char kNoStringData[] = "Error loading string data StringData.txt";
const char kNoCharacters[] = "Error loading font Data\\Fonts\\Small.txt - no characters defined";

const Outcome kFontNameLost = {{kNotSet, kNoFontName, kRenderer}, false, false};
const Outcome kNoFontAtAll = {{kNoStringData, kNoFontName, kRenderer}, false, false};
const Outcome kPlays = {{}, true, false};

// "StringData.txt": a comment line of 58 bytes, then the entry
// FONT_FILE_NAME "Fonts/Small.txt" and a line feed, 91 bytes in all.
const Case kStringDataCases[] = {
    {"StringData.txt", Missing(), {{kNoStringData, kNoFontName, kRenderer}, false, false}},
    {"StringData.txt", Empty(), kFontNameLost},
    {"StringData.txt", Keep("OneByte", 1), kFontNameLost},
    {"StringData.txt", Keep("CommentOnly", 58), kFontNameLost},
    {"StringData.txt", Keep("Quarter", 0, 1), kFontNameLost},
    {"StringData.txt", Keep("Half", 0, 2), kFontNameLost},
    {"StringData.txt", Keep("InTheName", 65), kFontNameLost},
    {"StringData.txt", Keep("InTheValue", 80), kFontNameLost},
    {"StringData.txt", Keep("BeforeTheClosingQuote", -2), kFontNameLost},
    {"StringData.txt", Keep("AllButOneByte", -1), kPlays},
    {"StringData.txt", Flip("FlippedCommentMark", 0),
     {{"String variable unknown (\xdc)", kNotSet, kNoFontName, kRenderer}, false, false}},
    {"StringData.txt", Flip("FlippedCommentEnd", 57), kFontNameLost},
    {"StringData.txt", Flip("FlippedName", 61),
     {{"String variable unknown (FON\xab_FILE_NAME)", kNotSet, kNoFontName, kRenderer}, false, false}},
    {"StringData.txt", Flip("FlippedBlankAfterName", 72), kFontNameLost},
    {"StringData.txt", Flip("FlippedOpeningQuote", 73), kFontNameLost},
    {"StringData.txt", Flip("FlippedValue", 80),
     {{"Error opening file Data\\Fonts\\\xacmall.txt", kRenderer}, false, false}},
    {"StringData.txt", Flip("FlippedClosingQuote", -2), kFontNameLost},
    {"StringData.txt", Flip("FlippedLastLineFeed", -1), kPlays},
    {"StringData.txt", Grow("EightMiBOfCommentsAfter", "# nothing to see here\r\n", 8 * kMiB), kNoFontAtAll},
    {"StringData.txt", Grow("EightMiBOfBytesAfter", "\x01\x02\xfe\xff", 8 * kMiB), kNoFontAtAll},
    {"StringData.txt", Folder(), {{kNoStringData, kNoFontName, kRenderer}, false, false}},
    {"StringData.txt", Locked(), {{kNoStringData, kNoFontName, kRenderer}, false, false}},
    {"StringData.txt", Loop(), {{kNoStringData, kNoFontName, kRenderer}, false, false}},
    {"StringData.txt", Pipe(), kNoFontAtAll},
    {"StringData.txt", Endless(), kNoFontAtAll},
};

// The descriptor: the four lines 8, 1, 1 and 0. Missing lines are 0.
const char kDescriptor[] = "Data/Fonts/Small.txt";
const Outcome kNoDescriptor = {{"Error opening file Data\\Fonts\\Small.txt", kRenderer}, false, false};
const Outcome kFifthLine = {{"Error loading font Data\\Fonts\\Small.txt (line 5)", kRenderer}, false, false};
const Case kDescriptorCases[] = {
    {kDescriptor, Missing(), kNoDescriptor},
    {kDescriptor, Empty(), kPlays},
    {kDescriptor, Keep("OneByte", 1), kPlays},
    {kDescriptor, Keep("Half", 0, 2), kPlays},
    {kDescriptor, Keep("AllButOneByte", -1), kPlays},
    {kDescriptor, Flip("FlippedHeight", 0), kPlays},
    {kDescriptor, Flip("FlippedFirstLineFeed", 1), kPlays},
    {kDescriptor, Flip("FlippedLastByte", -1), kPlays},
    {kDescriptor, Write("HugeMetrics", 0, "2147483647\n2147483647\n2147483647\n2147483647\n", 44), kPlays},
    {kDescriptor, Write("LowestMetrics", 0, "-2147483648\n-2147483648\n-2147483648\n0\n", 38), kPlays},
    {kDescriptor, Stuff("EightMiBOfDigits", 0, "9", 8 * kMiB),
     {{"Error loading font Data\\Fonts\\Small.txt (line 1)", kRenderer}, false, false}},
    {kDescriptor, Grow("EmptyFifthLine", "\n", 1), kFifthLine},
    {kDescriptor, Grow("EightMiBOfLinesAfter", "7\n", 8 * kMiB), kFifthLine},
    {kDescriptor, Folder(), kNoDescriptor},
    {kDescriptor, Locked(), kNoDescriptor},
    {kDescriptor, Loop(), kNoDescriptor},
    {kDescriptor, Pipe(), kNoDescriptor},
    {kDescriptor, Endless(), kNoDescriptor},
};

// Page 0: 127 lines of x, tab, y, tab, width; code 0 is the first cell, and
// most codes below 32 are blank lines.
const char kPage[] = "Data/Fonts/Small 0.txt";
const Outcome kNoPage = {{kNoCharacters, kRenderer}, false, false};
const Outcome kPageUnread = {{"Error opening file Data\\Fonts\\Small 0.txt", kNoCharacters, kRenderer}, false, false};
const Case kPageCases[] = {
    {kPage, Missing(), kNoPage},
    {kPage, Empty(), kNoPage},
    {kPage, Keep("OneByte", 1), kNoPage},
    {kPage, Keep("FirstCellOnly", 6), kPlays},
    {kPage, Keep("Quarter", 0, 1), kPlays},
    {kPage, Keep("Half", 0, 2), kPlays},
    {kPage, Keep("AllButOneByte", -1), kPlays},
    {kPage, Flip("FlippedFirstCell", 0), kPlays},
    {kPage, Flip("FlippedFirstTab", 1), kPlays},
    {kPage, Flip("FlippedFirstLineFeed", 5), kPlays},
    {kPage, Flip("FlippedAtHalf", 0, 2), kPlays},
    {kPage, Flip("FlippedLastByte", -1), kPlays},
    {kPage, Write("HugeCells", 0, "2147483647\t2147483647\t2147483647\n-2147483648\t-2147483648\t2147483647\n", 68),
     kPlays},
    {kPage, Grow("EightMiBOfCellsAfter", "1\t2\t3\n", 8 * kMiB),
     {{"Error loading font page Data\\Fonts\\Small 0.txt (line 257)", kNoCharacters, kRenderer}, false, false}},
    {kPage, Grow("EightMiBOfBlankLinesAfter", "\r\n", 8 * kMiB),
     {{"Error loading font page Data\\Fonts\\Small 0.txt (line 524010)", kNoCharacters, kRenderer}, false, false}},
    {kPage, Stuff("EightMiBOfDigits", 2, "5", 8 * kMiB),
     {{"Error loading font page Data\\Fonts\\Small 0.txt (line 1)", kNoCharacters, kRenderer}, false, false}},
    {kPage, Folder(), kNoPage},
    {kPage, Locked(), kPageUnread},
    {kPage, Loop(), kPageUnread},
    {kPage, Pipe(), kPageUnread},
    {kPage, Endless(), kPageUnread},
};

std::string GamePath(const char* file)
{
    std::string path(file);
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

Outcome PictureOutcome(bool refused) { return {{}, true, refused}; }
Outcome FontImageOutcome(const char* file, bool refused)
{
    if (!refused)
        return kPlays;
    return {{"Error loading font page texture " + GamePath(file), kNoCharacters, kRenderer}, false, true};
}

template <size_t N, size_t M>
void AddBinaryCases(std::vector<Case>& cases, const char* file, const Damage (&refused)[N],
                    const Damage (&loads)[M], Outcome (*outcome)(const char*, bool))
{
    for (const Damage& damage : refused)
        cases.push_back({file, damage, outcome(file, true)});
    for (const Damage& damage : loads)
        cases.push_back({file, damage, outcome(file, false)});
}

Outcome SilentOutcome(const char*, bool refused) { return PictureOutcome(refused); }

// A value of half a MiB names a font folder of as many bytes; its message is
// cut to 1023 bytes.
std::vector<Case> StringDataCases()
{
    std::vector<Case> cases(std::begin(kStringDataCases), std::end(kStringDataCases));
    std::string longPath = "Error opening file Data\\" + std::string(1023 - 24, 'a');
    cases.push_back({"StringData.txt", Stuff("HalfMiBValue", 74, "a", kMiB / 2), {{longPath, kRenderer}, false, false}});
    return cases;
}

std::vector<Case> PictureCases()
{
    std::vector<Case> cases;
    for (const Picture& picture : kPictures)
        AddBinaryCases(cases, picture.file, kPngDamages, kPngThatStillLoads, SilentOutcome);
    return cases;
}

std::vector<Case> FontImageCases()
{
    std::vector<Case> cases;
    for (const char* file : kFontImages)
        AddBinaryCases(cases, file, kPngDamages, kPngThatStillLoads, FontImageOutcome);
    return cases;
}

std::vector<Case> SoundCases()
{
    std::vector<Case> cases;
    for (const Sound& sound : kSounds)
        AddBinaryCases(cases, sound.file, kOggDamages, kOggThatStillLoads, SilentOutcome);
    return cases;
}

bool ReadWhole(const std::string& path, Bytes& bytes)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char buffer[65536];
    size_t got;
    bytes.clear();
    while ((got = fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.append(buffer, got);
    fclose(f);
    return true;
}

bool WriteWhole(const std::string& path, const Bytes& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool written = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && written;
}

uint32_t PngCrc(const char* data, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= uint8_t(data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t OggCrc(const char* data, size_t size)
{
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i) {
        crc ^= uint32_t(uint8_t(data[i])) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc << 1) ^ (0x04C11DB7u & (0u - (crc >> 31)));
    }
    return crc;
}

uint32_t BigEndian(const Bytes& b, size_t at)
{
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 | uint32_t(uint8_t(b[at + 2])) << 8 |
           uint8_t(b[at + 3]);
}

// Written-over headers get their checksums mended, so the reader meets the
// values themselves rather than a bad sum.
void MendChecksums(Bytes& b)
{
    if (b.compare(0, 4, "\x89PNG") == 0) {
        for (size_t at = 8; at + 12 <= b.size();) {
            size_t length = BigEndian(b, at);
            if (length > b.size() - at - 12)
                break;
            uint32_t crc = PngCrc(&b[at + 4], length + 4);
            for (int i = 0; i < 4; ++i)
                b[at + 8 + length + i] = char(crc >> (24 - 8 * i));
            at += length + 12;
        }
    } else if (b.compare(0, 4, "OggS") == 0) {
        for (size_t at = 0; at + 27 <= b.size() && b.compare(at, 4, "OggS") == 0;) {
            size_t segments = uint8_t(b[at + 26]);
            size_t length = 27 + segments;
            for (size_t s = 0; s < segments && at + 27 + s < b.size(); ++s)
                length += uint8_t(b[at + 27 + s]);
            if (length > b.size() - at)
                break;
            for (int i = 0; i < 4; ++i)
                b[at + 22 + i] = 0;
            uint32_t crc = OggCrc(&b[at], length);
            for (int i = 0; i < 4; ++i)
                b[at + 22 + i] = char(crc >> (8 * i));
            at += length;
        }
    }
}

int64_t Position(const Damage& damage, int64_t size)
{
    int64_t at = damage.at + size * damage.quarters / 4;
    return at < 0 ? size + at : at;
}

Bytes Filler(const Damage& damage)
{
    Bytes filler;
    size_t pieceLength = strlen(damage.bytes);
    filler.reserve(size_t(damage.bytesLength));
    while (int64_t(filler.size()) < damage.bytesLength)
        filler.append(damage.bytes, pieceLength ? pieceLength : 1);
    filler.resize(size_t(damage.bytesLength));
    return filler;
}

// Damages the file in the current folder; false when it could not.
bool Spoil(const char* file, const Damage& damage)
{
    Bytes bytes;
    if (!ReadWhole(file, bytes))
        return false;
    int64_t at = Position(damage, int64_t(bytes.size()));
    switch (damage.harm) {
    case Harm::Missing:
        return unlink(file) == 0;
    case Harm::Empty:
        return WriteWhole(file, Bytes());
    case Harm::Keep:
        return WriteWhole(file, bytes.substr(0, size_t(at)));
    case Harm::Flip:
        bytes[size_t(at)] = char(~bytes[size_t(at)]);
        return WriteWhole(file, bytes);
    case Harm::Write:
        bytes.replace(size_t(at), size_t(damage.bytesLength), damage.bytes, size_t(damage.bytesLength));
        MendChecksums(bytes);
        return WriteWhole(file, bytes);
    case Harm::Grow:
        bytes.insert(damage.ownHead ? bytes.size() : size_t(at), Filler(damage));
        return WriteWhole(file, bytes);
    case Harm::Folder:
        return unlink(file) == 0 && mkdir(file, 0755) == 0;
    case Harm::Locked:
        return chmod(file, 0) == 0;
    case Harm::Loop: {
        const char* name = strrchr(file, '/');
        return unlink(file) == 0 && symlink(name ? name + 1 : file, file) == 0;
    }
    case Harm::Pipe:
        return unlink(file) == 0 && mkfifo(file, 0644) == 0;
    case Harm::Endless:
        return unlink(file) == 0 && symlink("/dev/zero", file) == 0;
    }
    return false;
}

struct GameFile {
    std::string path;
    Bytes bytes;
};

std::vector<GameFile> gameFiles;

void ReadGameFolder(const std::string& folder)
{
    DIR* dir = opendir((VELMORA_GAME_FILES "/" + folder).c_str());
    if (!dir)
        return;
    while (dirent* entry = readdir(dir)) {
        std::string path = folder + "/" + entry->d_name;
        struct stat info;
        if (entry->d_name[0] == '.' || stat((VELMORA_GAME_FILES "/" + path).c_str(), &info) != 0)
            continue;
        GameFile file = {path, Bytes()};
        if (S_ISDIR(info.st_mode))
            ReadGameFolder(path);
        else if (ReadWhole(VELMORA_GAME_FILES "/" + path, file.bytes))
            gameFiles.push_back(file);
    }
    closedir(dir);
}

bool CopyGameFiles()
{
    if (mkdir("Data", 0755) != 0 || mkdir("Data/Fonts", 0755) != 0)
        return false;
    for (const GameFile& file : gameFiles)
        if (!WriteWhole(file.path, file.bytes))
            return false;
    return true;
}

Mixer* outputMixer;

bool OpenOutput(Mixer* mixer, int32_t)
{
    outputMixer = mixer;
    return true;
}

void MixSome(int32_t frames)
{
    static int16_t buffer[2 * 4096];
    for (; frames > 0; frames -= 4096)
        MixSound(outputMixer, buffer, frames < 4096 ? frames : 4096);
}

void CloseOutput()
{
    MixSome(4096);
    outputMixer = nullptr;
}

SoundEngine* MakeDevicelessEngine() { return MakeMixerSoundEngine(SoundOutput{OpenOutput, CloseOutput}); }

int32_t FramesWithoutImage(const Animation& animation)
{
    int32_t count = 0;
    for (const Frame* frame = animation.first; frame; frame = frame->next)
        count += frame->texture ? 0 : 1;
    return count;
}

int32_t PicturesMissing()
{
    int32_t missing = game.title ? 0 : 1;
    for (const Spider* spider : {&game.male, &game.female})
        for (const Animation* animation :
             {&spider->stand, &spider->legRaise, &spider->legLower, &spider->walk, &spider->dying})
            missing += FramesWithoutImage(*animation);
    missing += FramesWithoutImage(game.bigHeart.animation);
    for (const FallingHeart& heart : game.hearts)
        missing += FramesWithoutImage(heart.sprite.animation);
    return missing;
}

// Starts a game, walks, draws, and plays every sound into the mixer.
void PlayAFewTicks()
{
    AppResize(640, 480);
    SetKey(kKeySpace, true);
    AppFrame(17);
    SetKey(kKeySpace, false);
    SetKey(kKeyRight, true);
    for (int32_t i = 0; i < 12; ++i)
        AppFrame(17);
    SetKey(kKeyRight, false);
    AppPaint();
    for (const Sound& sound : kSounds)
        PlaySoundEffect(game.*sound.id, 1.0f, false);
    if (outputMixer)
        MixSome(44100);
}

class DamagedFile : public ::testing::TestWithParam<Case> {
protected:
    static void SetUpTestSuite()
    {
        surface = CreateOffscreenGl(640, 480);
        gameFiles.clear();
        ReadGameFolder("Data");
        GameFile stringData = {"StringData.txt", Bytes()};
        if (ReadWhole(VELMORA_GAME_FILES "/StringData.txt", stringData.bytes))
            gameFiles.push_back(stringData);
        SetSoundEngineFactory(MakeDevicelessEngine);
    }
    static void TearDownTestSuite()
    {
        SetSoundEngineFactory(nullptr);
        DestroyOffscreenGl(surface);
        gameFiles.clear();
    }

    void SetUp() override
    {
        ASSERT_NE(surface, nullptr);
        ASSERT_TRUE(folder.Enter());
        ASSERT_TRUE(CopyGameFiles());
        ResetTestPlatform();
    }
    void TearDown() override
    {
        EndAppRun();
        folder.Leave();
    }

    static OffscreenGl* surface;
    ScratchFolder folder;
};

OffscreenGl* DamagedFile::surface;

TEST_P(DamagedFile, IsReportedAsTheGameSaysAndNothingElseBreaks)
{
    const Case& c = GetParam();
    ASSERT_TRUE(Spoil(c.file, c.damage)) << c.file;
    if (c.damage.harm == Harm::Locked) {
        FILE* f = fopen(c.file, "rb");
        if (f) {
            fclose(f);
            GTEST_SKIP() << "a file without permissions still opens here (running as root)";
        }
    }
    AppInit();
    PlayAFewTicks();
    EXPECT_EQ(running, c.outcome.running);
    // A failed start-up never ticks or draws.
    EXPECT_EQ(AppFrame(17), c.outcome.running);
    EXPECT_EQ(AppPaint(), c.outcome.running);
    EXPECT_EQ(testPlatform.logLines, c.outcome.lines);
    EXPECT_EQ(testPlatform.errorBoxes, Lines{});

    int32_t picturesLost = 0;
    for (const Picture& picture : kPictures)
        if (c.outcome.refused && strcmp(picture.file, c.file) == 0)
            picturesLost = picture.uses;
    EXPECT_EQ(PicturesMissing(), picturesLost);
    for (const Sound& sound : kSounds) {
        bool lost = c.outcome.refused && strcmp(sound.file, c.file) == 0;
        EXPECT_EQ(game.*sound.id == 0, lost) << sound.file;
    }
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    std::string name;
    bool capital = true;
    const char* file = info.param.file;
    if (strncmp(file, "Data/", 5) == 0)
        file += 5;
    for (const char* p = file; *p; ++p) {
        if (isalnum(uint8_t(*p))) {
            name += capital ? char(toupper(uint8_t(*p))) : *p;
            capital = false;
        } else {
            capital = true;
        }
    }
    return name + "_" + info.param.damage.name;
}

INSTANTIATE_TEST_SUITE_P(StringData, DamagedFile, ::testing::ValuesIn(StringDataCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(FontDescriptor, DamagedFile, ::testing::ValuesIn(kDescriptorCases), CaseName);
INSTANTIATE_TEST_SUITE_P(FontPage, DamagedFile, ::testing::ValuesIn(kPageCases), CaseName);
INSTANTIATE_TEST_SUITE_P(FontImage, DamagedFile, ::testing::ValuesIn(FontImageCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Picture, DamagedFile, ::testing::ValuesIn(PictureCases()), CaseName);
INSTANTIATE_TEST_SUITE_P(Sound, DamagedFile, ::testing::ValuesIn(SoundCases()), CaseName);

} // namespace
