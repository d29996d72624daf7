// The texture cache: one texture per name and fade, shared and counted,
// freed on the last release, and tried again after a failure.
#include <gtest/gtest.h>

#include <vector>

#include "render/gl_api.h"
#include "render/texture.h"
#include "render/texture_cache.h"
#include "tests/render/gl_fixture.h"

namespace {

class TextureCacheTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        OpenWindow(16, 16);
        for (const char* name : {"spider walk 1.png", "spider walk 2.png"})
            WriteImage(name, TestImage(2, 2, kWhite));
    }
    Texture* Acquire(const char* file, int32_t fade = 0, int32_t red = 0)
    {
        return AcquireTexture(String(TempPath(file).c_str()), fade, red, 0, 0);
    }
};

TEST_F(TextureCacheTest, SameNameAndFadeShareOneTextureUntilTheLastRelease)
{
    EXPECT_EQ(Acquire("late.png"), nullptr); // a missing file is tried again later
    WriteImage("late.png", TestImage(1, 1, kWhite));
    EXPECT_NE(Acquire("late.png"), nullptr);
    Texture* one = Acquire("spider walk 1.png");
    Texture* two = Acquire("spider walk 2.png"); // names differing only in digits
    Texture* faded = Acquire("spider walk 1.png", 2);
    Texture* tinted = Acquire("spider walk 1.png", 2, 255);
    EXPECT_EQ((std::vector<bool>{one != two, faded != one, tinted != faded}), std::vector<bool>(3, true));
    EXPECT_EQ(Acquire("spider walk 1.png", 2, 255), tinted);
    EXPECT_EQ(Acquire("spider walk 1.png"), one);
    uint32_t name = one->glName;
    ReleaseTexture(one);
    EXPECT_TRUE(glIsTexture(name));
    ReleaseTexture(one);
    EXPECT_FALSE(glIsTexture(name));
    EXPECT_TRUE(glIsTexture(two->glName));
    ReleaseTexture(nullptr); // what a failed acquire gave back
}

TEST_F(TextureCacheTest, GlNamesEqualInTheLow15BitsAreKeptApart)
{
    Texture* low = Acquire("spider walk 1.png");
    ASSERT_NE(low, nullptr);
    std::vector<GLuint> spent(32767); // the next name is low's plus 32768
    glGenTextures(GLsizei(spent.size()), spent.data());
    Texture* high = Acquire("spider walk 2.png");
    glDeleteTextures(GLsizei(spent.size()), spent.data());
    ASSERT_EQ(low->glName & 0x7FFF, high->glName & 0x7FFF);
    uint32_t lowName = low->glName;
    ReleaseTexture(high);
    EXPECT_TRUE(glIsTexture(lowName));
    EXPECT_EQ(Acquire("spider walk 1.png"), low);
}

} // namespace
