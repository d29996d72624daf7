// Every kind of file the game reads, damaged in a fresh copy of the game's
// files: the whole application starts, plays a few ticks, draws and shuts
// down, and must log exactly the expected lines and carry on.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstring>
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

using Lines = std::vector<std::string>;
const int64_t kMiB = 1 << 20;

enum class Harm { Missing, Keep, Flip, Insert, Folder, Locked, Loop, Pipe, Endless };

// One way to damage a file: keep its first `at` bytes, flip the byte at
// `at`, or insert `length` bytes of `filler` there. A negative `at` counts
// from the end; 1000 + q means q quarters of the file's size.
struct Damage {
    const char* name;
    Harm harm;
    int64_t at;
    const char* filler;
    int64_t length;
};

// What the run shows: the log lines in order, whether the game runs, and
// whether it had to do without the damaged picture or sound.
struct Case {
    const char* file;
    Damage damage;
    Lines lines;
    bool running, lost;
};

const char kNotSet[] = "String variable not set (FONT_FILE_NAME)";
const char kNoFontName[] = "Error opening file Data";
const char kRenderer[] = "Error initialising renderer";
const char kNoStringData[] = "Error loading string data StringData.txt";
const char kNoCharacters[] = "Error loading font Data\\Fonts\\Small.txt - no characters defined";
const Lines kFontNameLost = {kNotSet, kNoFontName, kRenderer};
const Lines kNoFontAtAll = {kNoStringData, kNoFontName, kRenderer};

const Damage kMissing = {"Missing", Harm::Missing, 0, nullptr, 0};
const Damage kEmpty = {"Empty", Harm::Keep, 0, nullptr, 0};
const Damage kHalf = {"Half", Harm::Keep, 1002, nullptr, 0};
const Damage kAllButOneByte = {"AllButOneByte", Harm::Keep, -1, nullptr, 0};
const Damage kFlippedFirst = {"FlippedFirstByte", Harm::Flip, 0, nullptr, 0};
const Damage kFlippedHalf = {"FlippedAtHalf", Harm::Flip, 1002, nullptr, 0};
const Damage kFlippedLast = {"FlippedLastByte", Harm::Flip, -1, nullptr, 0};
const Damage kFolder = {"Folder", Harm::Folder, 0, nullptr, 0};
const Damage kLocked = {"Locked", Harm::Locked, 0, nullptr, 0};
const Damage kLoop = {"LinkLoop", Harm::Loop, 0, nullptr, 0};
const Damage kPipe = {"Pipe", Harm::Pipe, 0, nullptr, 0};
const Damage kEndless = {"Endless", Harm::Endless, 0, nullptr, 0}; // a link to a device that never ends
Damage JunkAfter(const char* name, const char* filler, int64_t length)
{
    return {name, Harm::Insert, 1004, filler, length};
}
Damage Insert(const char* name, int64_t at, const char* filler, int64_t length)
{
    return {name, Harm::Insert, at, filler, length};
}

// "StringData.txt": a comment line of 58 bytes, then the entry
// FONT_FILE_NAME "Fonts/Small.txt" and a line feed, 91 bytes in all.
const char kStrings[] = "StringData.txt";
const char kDescriptor[] = "Data/Fonts/Small.txt"; // the lines 8, 1, 1 and 0
const char kPage[] = "Data/Fonts/Small 0.txt";     // x, tab, y, tab, width for codes 0 to 126
const char kFontImage[] = "Data/Fonts/Small 0.png";
const char* const kTitle = kGameImageFiles[kTitleImage];
const char* const kBeep = kGameSoundFiles[kBeepSound];
const Lines kNoDescriptor = {"Error opening file Data\\Fonts\\Small.txt", kRenderer};
const Lines kNoPage = {kNoCharacters, kRenderer};
const Lines kPageUnread = {"Error opening file Data\\Fonts\\Small 0.txt", kNoCharacters, kRenderer};
const Lines kFontImageLost = {"Error loading font page texture Data\\Fonts\\Small 0.png", kNoCharacters, kRenderer};
const std::string kLongPath = "Error opening file Data\\" + std::string(1023 - 24, 'a');

const Case kCases[] = {
    {kStrings, kMissing, kNoFontAtAll, false, false},
    {kStrings, kEmpty, kFontNameLost, false, false},
    {kStrings, kHalf, kFontNameLost, false, false},
    {kStrings, {"BeforeTheClosingQuote", Harm::Keep, -2, nullptr, 0}, kFontNameLost, false, false},
    {kStrings, kAllButOneByte, {}, true, false},
    {kStrings, kFlippedFirst, {"String variable unknown (\xdc)", kNotSet, kNoFontName, kRenderer}, false, false},
    {kStrings,
     {"FlippedName", Harm::Flip, 61, nullptr, 0},
     {"String variable unknown (FON\xab_FILE_NAME)", kNotSet, kNoFontName, kRenderer},
     false,
     false},
    {kStrings,
     {"FlippedValue", Harm::Flip, 80, nullptr, 0},
     {"Error opening file Data\\Fonts\\\xacmall.txt", kRenderer},
     false,
     false},
    {kStrings, {"FlippedClosingQuote", Harm::Flip, -2, nullptr, 0}, kFontNameLost, false, false},
    {kStrings, JunkAfter("EightMiBOfBytesAfter", "\x01\x02\xfe\xff", 8 * kMiB), kNoFontAtAll, false, false},
    {kStrings, Insert("HalfMiBValue", 74, "a", kMiB / 2), {kLongPath, kRenderer}, false, false},
    {kStrings, kFolder, kNoFontAtAll, false, false},
    {kStrings, kLocked, kNoFontAtAll, false, false},
    {kStrings, kLoop, kNoFontAtAll, false, false},
    {kStrings, kPipe, kNoFontAtAll, false, false},
    {kStrings, kEndless, kNoFontAtAll, false, false},
    {kDescriptor, kMissing, kNoDescriptor, false, false},
    {kDescriptor, kEmpty, {}, true, false},
    {kDescriptor, kFlippedFirst, {}, true, false},
    {kDescriptor,
     Insert("EightMiBOfDigits", 0, "9", 8 * kMiB),
     {"Error loading font Data\\Fonts\\Small.txt (line 1)", kRenderer},
     false,
     false},
    {kDescriptor,
     JunkAfter("EightMiBOfLinesAfter", "7\n", 8 * kMiB),
     {"Error loading font Data\\Fonts\\Small.txt (line 5)", kRenderer},
     false,
     false},
    {kDescriptor, kFolder, kNoDescriptor, false, false},
    {kDescriptor, kLoop, kNoDescriptor, false, false},
    {kDescriptor, kPipe, kNoDescriptor, false, false},
    {kDescriptor, kEndless, kNoDescriptor, false, false},
    {kPage, kMissing, kNoPage, false, false},
    {kPage, kEmpty, kNoPage, false, false},
    {kPage, kHalf, {}, true, false},
    {kPage, kFlippedHalf, {}, true, false},
    {kPage,
     Insert("HugeCells", 0, "2147483647\t2147483647\t2147483647\n-2147483648\t-2147483648\t2147483647\n", 68),
     {},
     true,
     false},
    {kPage,
     JunkAfter("EightMiBOfCellsAfter", "1\t2\t3\n", 8 * kMiB),
     {"Error loading font page Data\\Fonts\\Small 0.txt (line 257)", kNoCharacters, kRenderer},
     false,
     false},
    {kPage,
     JunkAfter("EightMiBOfBlankLinesAfter", "\r\n", 8 * kMiB),
     {"Error loading font page Data\\Fonts\\Small 0.txt (line 524010)", kNoCharacters, kRenderer},
     false,
     false},
    {kPage,
     Insert("EightMiBOfDigits", 2, "5", 8 * kMiB),
     {"Error loading font page Data\\Fonts\\Small 0.txt (line 1)", kNoCharacters, kRenderer},
     false,
     false},
    {kPage, kFolder, kNoPage, false, false},
    {kPage, kLocked, kPageUnread, false, false},
    {kPage, kPipe, kPageUnread, false, false},
    {kPage, kEndless, kPageUnread, false, false},
    {kFontImage, kMissing, kFontImageLost, false, true},
    {kFontImage, kHalf, kFontImageLost, false, true},
    {kFontImage, kFlippedHalf, kFontImageLost, false, true},
    {kFontImage, JunkAfter("EightMiBOfJunkAfter", "junk", 8 * kMiB), {}, true, false},
    {"Data/Fonts/Small 0 outline.png",
     kMissing,
     {"Error loading font page texture Data\\Fonts\\Small 0 outline.png", kNoCharacters, kRenderer},
     false,
     true},
    // Pictures and sounds are not reported: the game plays on without them.
    {kTitle, kMissing, {}, true, true},
    {kTitle, {"FlippedWidth", Harm::Flip, 18, nullptr, 0}, {}, true, true},
    {kTitle, kFlippedLast, {}, true, true},
    {kTitle, JunkAfter("EightMiBOfJunkAfter", "junk\x89PNG\r\n\x1a\n\0\xff", 8 * kMiB), {}, true, false},
    {kTitle, kFolder, {}, true, true},
    {kTitle, kLocked, {}, true, true},
    {kTitle, kLoop, {}, true, true},
    {kTitle, kPipe, {}, true, true},
    {kGameImageFiles[kWalk1Image + 3], kMissing, {}, true, true},
    {kGameImageFiles[kHeart1Image + 1], kMissing, {}, true, true},
    {kBeep, kMissing, {}, true, true},
    {kBeep, {"FlippedChannels", Harm::Flip, 39, nullptr, 0}, {}, true, true},
    {kBeep, kFlippedLast, {}, true, false}, // a damaged packet decodes to a click
    {kBeep, JunkAfter("FourMiBOfJunkAfter", "junk", 4 * kMiB), {}, true, false},
    {kBeep, JunkAfter("SeventeenMiBOfJunkAfter", "junk", 17 * kMiB), {}, true, true},
    {kBeep, kFolder, {}, true, true},
    {kBeep, kLoop, {}, true, true},
    {kBeep, kPipe, {}, true, true},
    {kGameSoundFiles[kLoveSound], kMissing, {}, true, true},
};

bool ReadWhole(const std::string& path, std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char buffer[65536];
    bytes.clear();
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, f)) > 0;)
        bytes.append(buffer, got);
    return fclose(f) == 0;
}

bool WriteWhole(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    bool written = f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return f && fclose(f) == 0 && written;
}

// Damages the file in the current folder; false when it could not.
bool Spoil(const char* file, const Damage& damage)
{
    std::string bytes, filler;
    if (!ReadWhole(file, bytes))
        return false;
    int64_t size = int64_t(bytes.size());
    size_t at = size_t(damage.at >= 1000 ? size * (damage.at - 1000) / 4
                       : damage.at < 0   ? size + damage.at
                                         : damage.at);
    switch (damage.harm) {
    case Harm::Missing:
        return unlink(file) == 0;
    case Harm::Keep:
        return WriteWhole(file, bytes.substr(0, at));
    case Harm::Flip:
        bytes[at] = char(~bytes[at]);
        return WriteWhole(file, bytes);
    case Harm::Insert:
        while (int64_t(filler.size()) < damage.length)
            filler.append(damage.filler, strlen(damage.filler) ? strlen(damage.filler) : 1);
        filler.resize(size_t(damage.length));
        return WriteWhole(file, bytes.insert(at, filler));
    case Harm::Folder:
        return unlink(file) == 0 && mkdir(file, 0755) == 0;
    case Harm::Locked:
        return chmod(file, 0) == 0;
    case Harm::Loop:
        return unlink(file) == 0 && symlink(strrchr(file, '/') ? strrchr(file, '/') + 1 : file, file) == 0;
    case Harm::Pipe:
        return unlink(file) == 0 && mkfifo(file, 0644) == 0;
    case Harm::Endless:
        return unlink(file) == 0 && symlink("/dev/zero", file) == 0;
    }
    return false;
}

Mixer* outputMixer;

void MixSome(int32_t frames)
{
    static int16_t buffer[2 * 4096];
    for (; frames > 0; frames -= 4096)
        MixSound(outputMixer, buffer, frames < 4096 ? frames : 4096);
}

SoundEngine* MakeDevicelessEngine()
{
    return MakeMixerSoundEngine(
        SoundOutput{[](Mixer* mixer, int32_t) { return (outputMixer = mixer) != nullptr; }, []() { MixSome(4096); }});
}

int32_t FramesWithoutImage(const Animation& animation)
{
    int32_t count = 0;
    for (const Frame* frame = animation.first; frame; frame = frame->next)
        count += frame->texture ? 0 : 1;
    return count;
}

int32_t PicturesAndSoundsLost()
{
    int32_t lost = game.title ? 0 : 1;
    for (const Spider* spider : {&game.male, &game.female})
        for (const Animation* animation :
             {&spider->stand, &spider->legRaise, &spider->legLower, &spider->walk, &spider->dying})
            lost += FramesWithoutImage(*animation);
    lost += FramesWithoutImage(game.bigHeart.animation);
    for (const FallingHeart& heart : game.hearts)
        lost += FramesWithoutImage(heart.sprite.animation);
    for (uint32_t id : {game.beepSound, game.runAwaySound, game.deathSound, game.loveSound})
        lost += id == 0;
    return lost;
}

class DamagedFile : public ::testing::TestWithParam<Case> {
protected:
    static void SetUpTestSuite()
    {
        surface = CreateOffscreenGl(640, 480);
        SetSoundEngineFactory(MakeDevicelessEngine);
    }
    static void TearDownTestSuite()
    {
        SetSoundEngineFactory(nullptr);
        DestroyOffscreenGl(surface);
    }
    void SetUp() override
    {
        ASSERT_NE(surface, nullptr);
        ASSERT_TRUE(folder.Enter());
        ASSERT_EQ(system("cp -r '" VELMORA_GAME_FILES "/Data' '" VELMORA_GAME_FILES "/StringData.txt' ."), 0);
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
    if (c.damage.harm == Harm::Locked && access(c.file, R_OK) == 0)
        GTEST_SKIP() << "a file without permissions still opens here (running as root)";
    AppInit();
    // Starts a game, walks, draws, and plays every sound into the mixer.
    AppResize(640, 480);
    for (uint8_t key : {kKeySpace, kKeyRight}) {
        SetKey(key, true);
        for (int32_t i = 0; i < 6; ++i)
            AppFrame(17);
        SetKey(key, false);
    }
    AppPaint();
    for (uint32_t id : {game.beepSound, game.runAwaySound, game.deathSound, game.loveSound})
        PlaySoundEffect(id, 1.0f, false);
    if (outputMixer)
        MixSome(44100);
    EXPECT_EQ(running, c.running);
    EXPECT_EQ(AppFrame(17), c.running); // a failed start-up never ticks or draws
    EXPECT_EQ(AppPaint(), c.running);
    EXPECT_EQ(testPlatform.logLines, c.lines);
    EXPECT_EQ(testPlatform.errorBoxes, Lines{});
    EXPECT_TRUE(!c.running || (PicturesAndSoundsLost() > 0) == c.lost)
        << "whether the game had to do without a picture or sound";
}

std::string CaseName(const ::testing::TestParamInfo<Case>& info)
{
    std::string name;
    for (const char* p = strchr(info.param.file, '/') ? strrchr(info.param.file, '/') + 1 : info.param.file; *p; ++p)
        if (isalnum(uint8_t(*p)))
            name += *p;
    return name + "_" + info.param.damage.name;
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFile, ::testing::ValuesIn(kCases), CaseName);

} // namespace
