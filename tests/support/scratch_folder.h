// A temporary folder that a test works in: made and entered on Enter, left
// and removed with everything in it on Leave.
#pragma once

#include <string>

class ScratchFolder {
public:
    // False when the folder cannot be made or entered.
    bool Enter();
    void Leave();
    const std::string& Path() const { return path; }

private:
    std::string path;
    std::string previous;
};

// Creates an empty file (or truncates one); false when it cannot.
bool TouchFile(const char* name);
