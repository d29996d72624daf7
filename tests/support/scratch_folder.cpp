#include "tests/support/scratch_folder.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

bool ScratchFolder::Enter()
{
    char here[PATH_MAX];
    char pattern[] = "/tmp/velmora-test-XXXXXX";
    if (!getcwd(here, sizeof here) || !mkdtemp(pattern))
        return false;
    previous = here;
    path = pattern;
    return chdir(path.c_str()) == 0;
}

void ScratchFolder::Leave()
{
    if (path.empty())
        return;
    if (chdir(previous.c_str()) != 0)
        perror("leaving the scratch folder");
    std::string command = "rm -rf '" + path + "'";
    if (system(command.c_str()) != 0)
        fprintf(stderr, "could not remove %s\n", path.c_str());
    path.clear();
}

bool TouchFile(const char* name)
{
    FILE* f = fopen(name, "wb");
    if (!f)
        return false;
    fclose(f);
    return true;
}
