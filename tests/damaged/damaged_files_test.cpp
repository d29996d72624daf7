// Every kind of file the game reads, damaged in a fresh copy of the game's
// files: the whole application starts, plays a few ticks, draws and shuts
// down, and must log exactly the expected lines and carry on. Some rows also
// start the real program there with standard error closed or a pipe whose
// reader has gone: it must neither hang nor die of what it writes.
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "app/app.h"
#include "app/diagnostics.h"
#include "game/asset_names.h"
#include "sound/mixer_engine.h"
#include "sound/sound_engine.h"
#include "tests/support/app_run.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_platform.h"
#include "tools/offscreen/offscreen_gl.h"

namespace {

using Lines = std::vector<std::string>;
const int64_t kMiB = 1 << 20;
const int64_t kEnd = INT64_MAX; // past the last byte

// Cut keeps the bytes before `at`, Flip inverts the byte at `at` (negative
// counts from the end), Insert puts `filler` there `times` times; the others
// put something else in the file's place.
enum Harm { Cut, Flip, Insert, Locked, Missing, Folder, Pipe, Endless };
// Besides in this process, how the real program is started on the damage.
enum Start { InProcess, StderrClosed, ReaderGone };

// One damaged file and the lines the game then logs, in order; with none it
// must play on.
struct Case {
    const char* file;
    Harm harm;
    Lines lines;
    int64_t at = 0;
    const char* filler = nullptr;
    int64_t times = 0;
    Start start = InProcess;
};

const char kNotSet[] = "String variable not set (FONT_FILE_NAME)";
const char kNoFontName[] = "Error opening file Data";
const char kRenderer[] = "Error initialising renderer";
const char kNoCharacters[] = "Error loading font Data\\Fonts\\Small.txt - no characters defined";
const Lines kNoFontAtAll = {"Error loading string data StringData.txt", kNoFontName, kRenderer};

// "StringData.txt": a comment line of 58 bytes, then the entry
// FONT_FILE_NAME "Fonts/Small.txt" and a line feed, 91 bytes in all.
const char kStrings[] = "StringData.txt";
const char kDescriptor[] = "Data/Fonts/Small.txt"; // the lines 8, 1, 1 and 0
const char kPage[] = "Data/Fonts/Small 0.txt";     // x, tab, y, tab, width for codes 0 to 126
const char* const kBeep = kGameSoundFiles[kBeepSound];
const Lines kNoDescriptor = {"Error opening file Data\\Fonts\\Small.txt", kRenderer};
const Lines kNoPage = {kNoCharacters, kRenderer};
const Lines kPageUnread = {"Error opening file Data\\Fonts\\Small 0.txt", kNoCharacters, kRenderer};
const Lines kPageTooLong = {"Error loading font page Data\\Fonts\\Small 0.txt (line 32490)", kNoCharacters, kRenderer};
const Lines kFaceLost = {"Error loading font page texture Data\\Fonts\\Small 0.png", kNoCharacters, kRenderer};
const Lines kOutlineLost = {"Error loading font page texture Data\\Fonts\\Small 0 outline.png", kNoCharacters,
                            kRenderer};
const std::string kLongPath = "Error opening file Data\\" + std::string(1023 - 24, 'a');
// Control bytes of the data reach no terminal raw: a screen is not cleared, a line not forged.
const char kEscapedPath[] = "Error opening file Data\\\\x1b[2J\\n\\x7fFonts\\Small.txt";
const char kHugeCells[] = "2147483647\t2147483647\t2147483647\n-2147483648\t-2147483648\t2147483647\n";

const Case kCases[] = {
    {kStrings, Missing, kNoFontAtAll, 0, nullptr, 0, StderrClosed},
    {kStrings, Flip, {"String variable unknown (FON\xab_FILE_NAME)", kNotSet, kNoFontName, kRenderer}, 61},
    {kStrings, Insert, kNoFontAtAll, kEnd, "\x01\x02\xfe\xff", kMiB / 4}, // over 1 MiB
    {kStrings, Insert, {kLongPath, kRenderer}, 74, "a", kMiB / 2},
    {kStrings, Insert, {kEscapedPath, kRenderer}, 74, "\x1b[2J\n\x7f", 1},
    {kStrings, Pipe, kNoFontAtAll},
    {kDescriptor, Missing, kNoDescriptor},
    {kDescriptor, Cut, {}}, // empty
    {kDescriptor, Insert, {"Error loading font Data\\Fonts\\Small.txt (line 1)", kRenderer}, 0, "9", kMiB},
    {kPage, Missing, kNoPage},
    {kPage, Cut, {}, 400},
    {kPage, Insert, {}, 0, kHugeCells, 1},
    {kPage, Insert, kPageTooLong, kEnd, "\r\n", kMiB / 2},
    {kPage, Folder, kNoPage},
    {kPage, Locked, kPageUnread},
    {kPage, Endless, kPageUnread},
    {"Data/Fonts/Small 0.png", Cut, kFaceLost, 300},
    {"Data/Fonts/Small 0 outline.png", Missing, kOutlineLost},
    // Pictures and sounds are not reported: the game plays on without them.
    {kGameImageFiles[kTitleImage], Flip, {}, -1, nullptr, 0, ReaderGone}, // libpng names the damage
    {kGameImageFiles[kWalk1Image + 3], Missing, {}},
    {kBeep, Flip, {}, 39}, // the channel count
    {kBeep, Pipe, {}},
    {kGameSoundFiles[kLoveSound], Missing, {}},
};

// Damages the file in the current folder; false when it could not.
bool Spoil(const Case& c)
{
    std::ifstream in(c.file, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), {}}, filler;
    int64_t size = int64_t(bytes.size());
    size_t at = size_t(c.at < 0 ? size + c.at : std::min(c.at, size));
    for (int64_t i = 0; i < c.times; ++i)
        filler += c.filler;
    if (c.harm == Cut)
        bytes.resize(at);
    else if (c.harm == Flip)
        bytes[at] = char(~bytes[at]);
    else if (c.harm == Insert)
        bytes.insert(at, filler);
    if (c.harm <= Insert)
        return bool(std::ofstream(c.file, std::ios::binary) << bytes);
    if (c.harm == Locked)
        return chmod(c.file, 0) == 0;
    if (unlink(c.file) != 0)
        return false;
    if (c.harm == Folder)
        return mkdir(c.file, 0755) == 0;
    if (c.harm == Pipe)
        return mkfifo(c.file, 0644) == 0;
    return c.harm == Missing || symlink("/dev/zero", c.file) == 0;
}

// Our own sound engine, decoding every sound the game loads, on no device.
SoundEngine* MakeDevicelessEngine()
{
    return MakeMixerSoundEngine(SoundOutput{[](Mixer*, int32_t) { return true; }, [] {}});
}

TEST(DamagedFile, IsReportedAsTheGameSaysAndNothingElseBreaks)
{
    OffscreenGl* surface = CreateOffscreenGl(640, 480);
    ASSERT_NE(surface, nullptr);
    SetSoundEngineFactory(MakeDevicelessEngine);
    for (const Case& c : kCases) {
        SCOPED_TRACE("row " + std::to_string(&c - kCases) + ": " + c.file);
        ScratchFolder folder;
        ASSERT_TRUE(folder.Enter());
        ASSERT_EQ(system("cp -r '" VELMORA_GAME_FILES "/Data' '" VELMORA_GAME_FILES "/StringData.txt' ."), 0);
        ASSERT_TRUE(Spoil(c));
        ResetTestPlatform();
        // Root reads a file without permissions: that row proves nothing then.
        if (c.harm != Locked || access(c.file, R_OK) != 0) {
            AppInit();
            AppResize(640, 480);
            AppPaint();                                  // the title
            for (uint8_t key : {kKeySpace, kKeyRight}) { // starts a game and walks
                SetKey(key, true);
                for (int32_t i = 0; i < 6; ++i)
                    AppFrame(17);
                SetKey(key, false);
            }
            bool playsOn = c.lines.empty();
            EXPECT_EQ(running, playsOn);
            EXPECT_EQ(AppFrame(17), playsOn); // a failed start-up never ticks or draws
            EXPECT_EQ(AppPaint(), playsOn);
            EXPECT_EQ(testPlatform.logLines, c.lines);
            EXPECT_EQ(testPlatform.errorBoxes, Lines{});
            EndAppRun();
            // The real program beside the damage, by the end-to-end harness.
            std::string run = "cp '" VELMORA_GAME_FILES "/velmora' . && " VELMORA_E2E;
            if (c.start != InProcess) {
                EXPECT_EQ(system((run + (c.start == StderrClosed ? " stderr_closed" : " stderr_reader_gone")).c_str()),
                          0);
            }
        }
        folder.Leave();
    }
    SetSoundEngineFactory(nullptr);
    DestroyOffscreenGl(surface);
}

} // namespace
