// The texture cache: one texture per name (any case) and fade, shared and
// counted, freed on the last release, and tried again after a failure.
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
        for (const char* name : {"title.png", "spider walk 1.png", "spider walk 2.png"})
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
    Texture* first = Acquire("title.png");
    ASSERT_NE(first, nullptr);
    String upper;
    for (char c : TempPath("title.png"))
        upper.AppendByte(ToUpperAscii(c));
    EXPECT_EQ(AcquireTexture(upper, 0, 0, 0, 0), first);
    Texture* faded = Acquire("title.png", 2);
    Texture* tinted = Acquire("title.png", 2, 255);
    EXPECT_NE(faded, first);
    EXPECT_NE(tinted, faded);
    EXPECT_EQ(Acquire("title.png", 2, 255), tinted);
    // Names differing only in digits are different images.
    Texture* one = Acquire("spider walk 1.png");
    Texture* two = Acquire("spider walk 2.png");
    EXPECT_NE(one, two);
    uint32_t name = first->glName;
    ReleaseTexture(first);
    EXPECT_TRUE(glIsTexture(name));
    ReleaseTexture(first);
    EXPECT_FALSE(glIsTexture(name));
    ReleaseTexture(one);
    EXPECT_TRUE(glIsTexture(two->glName));
    Texture stranger; // releasing what the cache does not hold changes nothing
    ReleaseTexture(&stranger);
    ReleaseTexture(nullptr);
    uint32_t fadedName = faded->glName;
    EXPECT_TRUE(glIsTexture(fadedName));
    ClearTextureCache();
    EXPECT_FALSE(glIsTexture(fadedName));
}

TEST_F(TextureCacheTest, GlNamesEqualInTheLow15BitsAreKeptApart)
{
    Texture* low = Acquire("spider walk 1.png");
    ASSERT_NE(low, nullptr);
    std::vector<GLuint> spent(32767); // the next name is low's plus 32768
    glGenTextures(GLsizei(spent.size()), spent.data());
    Texture* high = Acquire("spider walk 2.png");
    glDeleteTextures(GLsizei(spent.size()), spent.data());
    ASSERT_NE(high, nullptr);
    ASSERT_EQ(low->glName & 0x7FFF, high->glName & 0x7FFF);
    uint32_t lowName = low->glName;
    ReleaseTexture(high);
    EXPECT_TRUE(glIsTexture(lowName));
    EXPECT_EQ(Acquire("spider walk 1.png"), low);
    ReleaseTexture(low);
    ReleaseTexture(low);
    EXPECT_FALSE(glIsTexture(lowName));
}

} // namespace
