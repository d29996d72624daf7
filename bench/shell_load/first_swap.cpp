// Preloaded into the real program (LD_PRELOAD) by shell_load.py, which leaves
// the game itself untouched: stands in front of SDL_GL_SwapWindow, and after
// every presented frame counts it in the file VELMORA_SWAP_RECORD names,
// noting the CLOCK_MONOTONIC time at which the first one was presented.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <ctime>

struct SDL_Window;

namespace {

// The file's layout, read by shell_load.py: two little-endian 64-bit fields.
struct SwapRecord {
    int64_t firstSwapNanoseconds;
    uint64_t swaps; // written after the time, so a reader seeing 1 sees the time
};

using SwapFunction = void (*)(SDL_Window*);

SwapRecord* record;
bool recordOpened;

SwapRecord* OpenRecord()
{
    const char* path = getenv("VELMORA_SWAP_RECORD");
    if (!path || !*path)
        return nullptr;
    int file = open(path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0)
        return nullptr;
    void* mapped = MAP_FAILED;
    if (ftruncate(file, sizeof(SwapRecord)) == 0)
        mapped = mmap(nullptr, sizeof(SwapRecord), PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    close(file);
    return mapped == MAP_FAILED ? nullptr : static_cast<SwapRecord*>(mapped);
}

int64_t MonotonicNanoseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

extern "C" __attribute__((visibility("default"))) void SDL_GL_SwapWindow(SDL_Window* window)
{
    static const SwapFunction realSwap = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
    if (realSwap)
        realSwap(window);
    int64_t presented = MonotonicNanoseconds();
    if (!recordOpened) {
        record = OpenRecord();
        recordOpened = true;
    }
    if (!record)
        return;
    uint64_t swaps = __atomic_load_n(&record->swaps, __ATOMIC_RELAXED);
    if (swaps == 0)
        record->firstSwapNanoseconds = presented;
    __atomic_store_n(&record->swaps, swaps + 1, __ATOMIC_RELEASE);
}
