// The Windows shell's services: file tests, the program's icon, and sound
// through waveOut.
#include <gtest/gtest.h>

#include <windows.h>

#include <mmsystem.h>

#include <cstdio>
#include <string>

#include "app/platform.h"
#include "app/win32/win32_shell.h"
#include "app/win32/waveout_audio.h"
#include "sound/mixer.h"
#include "sound/mixer_engine.h"
#include "sound/sound_engine.h"

TEST(WindowsFiles, PathExistsTellsFilesFromFoldersAndRefusesPatternsAndOnlyDiskFilesOpen)
{
    CreateDirectoryA("path-test", nullptr);
    fclose(fopen("path-test\\beep.ogg", "wb"));
    // A search pattern matches beep.ogg, but names no file of its own.
    const struct {
        const char* path;
        bool folder, exists;
    } paths[] = {{"path-test\\beep.ogg", false, true}, {"path-test\\beep.ogg", true, false},  {"path-test", true, true},
                 {"path-test", false, false},          {"path-test\\love.ogg", false, false}, {"", false, false},
                 {"path-test\\*.ogg", false, false},   {"path-test\\b??p.ogg", false, false}};
    for (const auto& path : paths)
        EXPECT_EQ(PlatformPathExists(path.path, path.folder), path.exists) << path.path << " folder " << path.folder;
    // A name Windows keeps for a device, with any extension and in any folder,
    // is never opened (a serial port would hang the first read); what opens as
    // no disk file, a pipe, is closed again.
    for (const char* name : {"NUL", "path-test\\Con.txt", "lpt9 .tar.gz", "Data/Fonts/COM1"})
        EXPECT_TRUE(IsDeviceName(name)) << name;
    for (const char* name : {"console.png", "com10", "path-test\\beep.ogg"})
        EXPECT_FALSE(IsDeviceName(name)) << name;
    const char kPipe[] = "\\\\.\\pipe\\velmora-test";
    HANDLE pipe = CreateNamedPipeA(kPipe, PIPE_ACCESS_OUTBOUND, 0, 1, 0, 0, 0, nullptr);
    for (const char* name : {"path-test", "NUL", kPipe})
        EXPECT_EQ(PlatformOpenFile(name), nullptr) << name;
    FILE* beep = PlatformOpenFile("path-test\\beep.ogg");
    EXPECT_NE(beep, nullptr);
    fclose(beep);
    CloseHandle(pipe);
    DeleteFileA("path-test\\beep.ogg");
    RemoveDirectoryA("path-test");
}

#ifdef VELMORA_PROGRAM_PATH
TEST(ProgramIcon, IconGroup1HoldsFiveImages)
{
    HMODULE program = LoadLibraryExA(VELMORA_PROGRAM_PATH, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr) << VELMORA_PROGRAM_PATH;
    HRSRC group = FindResourceA(program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const WORD* directory = static_cast<const WORD*>(LockResource(LoadResource(program, group)));
    EXPECT_EQ(directory[1], 1) << "an icon directory";
    EXPECT_EQ(directory[2], 5) << "images in the group";
    EXPECT_NE(LoadIconA(program, MAKEINTRESOURCEA(1)), nullptr);
    FreeLibrary(program);
}
#endif

TEST(WaveOutSound, TheDeviceIsFedUntilClosedAndWithoutOneThereIsNoEngine)
{
    SoundOutput output = WaveOutSoundOutput();
    Mixer* mixer = MakeMixer(kSoundSampleRate);
    ASSERT_NE(mixer, nullptr);
    if (waveOutGetNumDevs() == 0) {
        EXPECT_FALSE(output.open(mixer, kSoundSampleRate));
        EXPECT_EQ(MakeWaveOutSoundEngine(), nullptr);
        return;
    }
    ASSERT_TRUE(output.open(mixer, kSoundSampleRate));
    EXPECT_FALSE(output.open(mixer, kSoundSampleRate)) << "one device at a time";
    // A tenth of a second of a quiet square wave, played once and let go.
    MixerSource* source = MakeMixerSource(4410);
    ASSERT_NE(source, nullptr);
    for (int32_t i = 0; i < 2 * source->frames; ++i)
        source->samples[i] = (i / 100) % 2 ? 2000 : -2000;
    MixerVoice voice = StartVoice(mixer, source, false, false);
    ASSERT_NE(voice.value, 0u);
    DropVoice(mixer, voice);
    // The voice comes back only once the device's thread has mixed it to its
    // end; the minute's ceiling only ends a wait for a device that has stopped.
    DWORD start = GetTickCount();
    while (CountFreeVoices(mixer) < kMixerVoices && GetTickCount() - start < 60000)
        Sleep(10);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices);
    // A close that waited on the stopped device instead of the feeding thread would hang here.
    output.close();
    // Once closed, no more mixing: a one-shot let go is never played out.
    DropVoice(mixer, StartVoice(mixer, source, false, false));
    Sleep(300);
    EXPECT_EQ(CountFreeVoices(mixer), kMixerVoices - 1);
    // The device opens again, for the engine over it too.
    SoundEngine* engine = MakeWaveOutSoundEngine();
    ASSERT_NE(engine, nullptr);
    engine->ops->dropEngine(engine);
}
