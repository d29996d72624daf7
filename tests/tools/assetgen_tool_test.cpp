// The asset tool as the build runs it: a broken source fails the build with
// the file and line named, and a missing one fails it too.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct ToolRun {
    int status = -1;
    std::string errors;
};

ToolRun RunTool(const std::string& arguments)
{
    const std::string errorsPath = std::string(::testing::TempDir()) + "assetgen-errors.txt";
    const std::string command = std::string("\"") + VELMORA_ASSETGEN + "\" " + arguments + " 2>\"" + errorsPath + "\"";
    ToolRun run;
    const int raw = std::system(command.c_str());
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    FILE* file = std::fopen(errorsPath.c_str(), "rb");
    if (file) {
        char buffer[4096];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) run.errors.append(buffer, got);
        std::fclose(file);
    }
    return run;
}

// A fresh copy of the real sources to spoil.
std::string CopySources(const char* name)
{
    const fs::path copy = fs::path(::testing::TempDir()) / name;
    std::error_code error;
    fs::remove_all(copy, error);
    fs::copy(VELMORA_ASSET_SOURCE_DIR, copy, fs::copy_options::recursive, error);
    EXPECT_FALSE(error) << error.message();
    return copy.string();
}

void AppendTo(const std::string& path, const char* text)
{
    FILE* file = std::fopen(path.c_str(), "ab");
    ASSERT_NE(file, nullptr);
    std::fputs(text, file);
    std::fclose(file);
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

} // namespace

TEST(AssetTool, BuildsFromTheRealSources)
{
    const std::string sources = CopySources("assets-good");
    const std::string output = std::string(::testing::TempDir()) + "assets-good-out";
    const ToolRun run = RunTool(Quoted(sources) + " " + Quoted(output) + " --icon " + Quoted(output + "/velmora.ico"));
    EXPECT_EQ(run.status, 0) << run.errors;
    EXPECT_TRUE(fs::exists(output + "/Data/spider walk 8.png"));
    EXPECT_TRUE(fs::exists(output + "/velmora.ico"));
}

TEST(AssetTool, ABrokenSourceFailsWithItsFileAndLine)
{
    const std::string sources = CopySources("assets-broken");
    const std::string output = std::string(::testing::TempDir()) + "assets-broken-out";
    AppendTo(sources + "/images/heart 2.txt", "..\n");
    ToolRun run = RunTool(Quoted(sources) + " " + Quoted(output));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("heart 2.txt:7: row is 2 pixels wide"), std::string::npos) << run.errors;

    const std::string recipes = CopySources("assets-bad-sound");
    AppendTo(recipes + "/sounds/beep.txt", "tone at 0 for 0.1 pitch loud\n");
    run = RunTool(Quoted(recipes) + " " + Quoted(output));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("beep.txt:"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("pitch needs a number"), std::string::npos) << run.errors;
}

TEST(AssetTool, AMissingSourceOrBadArgumentsFail)
{
    const std::string sources = CopySources("assets-missing");
    fs::remove(sources + "/sounds/love.txt");
    const std::string output = std::string(::testing::TempDir()) + "assets-missing-out";
    ToolRun run = RunTool(Quoted(sources) + " " + Quoted(output));
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.errors.find("love.txt:0: cannot open"), std::string::npos) << run.errors;
    run = RunTool("only-one-argument");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("usage:"), std::string::npos);
}
