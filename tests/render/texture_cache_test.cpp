// The texture cache: one texture per name and fade, counted references,
// names compared ignoring case, and both indexes kept right on every path.
#include <gtest/gtest.h>

#include <vector>

#include "render/gl_api.h"
#include "render/texture.h"
#include "render/texture_cache.h"
#include "tests/render/gl_fixture.h"

namespace {

TEST(TextureNameHash, CountsOnlyLettersIgnoringCase)
{
    EXPECT_EQ(HashTextureName(String("abc")), 731u);
    EXPECT_EQ(HashTextureName(String("ABC")), 731u);
    EXPECT_EQ(HashTextureName(String("Data/title.png")), 6011u);
    EXPECT_EQ(HashTextureName(String("Data/spider walk 1.png")), 27915u);
    EXPECT_EQ(HashTextureName(String("Data/spider walk 2.png")), 27915u);
    EXPECT_EQ(HashTextureName(String("")), 0u);
    EXPECT_EQ(HashTextureName(String("123 ./_\\")), 0u);
    // Bytes above 127 are no letters, whatever their sign as a char.
    EXPECT_EQ(HashTextureName(String("\xC1\xE1z")), 26u);
    EXPECT_LT(HashTextureName(String("zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz")), kTextureBuckets);
}

class TextureCacheTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        OpenWindow(16, 16);
        TestImage image(2, 2, kWhite);
        image.Set(0, 0, kBlack);
        WriteImage("title.png", image);
        WriteImage("spider walk 1.png", image);
        WriteImage("spider walk 2.png", image);
    }
    String Name(const char* file) const { return String(TempPath(file).c_str()); }
    uint32_t NameBucket(const char* file) const { return TextureNameBucketCount(HashTextureName(Name(file))); }
};

TEST_F(TextureCacheTest, SameNameSharesOneTextureWhateverTheCase)
{
    Texture* first = AcquireTexture(Name("title.png"), 0, 0, 0, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->hasTransparency);
    Texture* second = AcquireTexture(Name("title.png"), 0, 0, 0, 0);
    EXPECT_EQ(second, first);
    EXPECT_EQ(TextureReferenceCount(first), 2);
    // The whole path matches ignoring case, before any file is looked at.
    String lower = Name("title.png"), upper;
    for (int32_t i = 0; i < lower.Length(); ++i)
        upper.AppendByte(ToUpperAscii(lower[i]));
    EXPECT_EQ(AcquireTexture(upper, 0, 0, 0, 0), first);
    EXPECT_EQ(TextureReferenceCount(first), 3);
    EXPECT_EQ(NameBucket("title.png"), 1u);
    for (int i = 0; i < 3; ++i)
        ReleaseTexture(first);
}

TEST_F(TextureCacheTest, FadeVariantsAreSeparateTextures)
{
    Texture* plain = AcquireTexture(Name("title.png"), 0, 0, 0, 0);
    Texture* faded = AcquireTexture(Name("title.png"), 2, 0, 0, 0);
    Texture* tinted = AcquireTexture(Name("title.png"), 2, 255, 0, 0);
    Texture* tintedAgain = AcquireTexture(Name("title.png"), 2, 255, 0, 0);
    ASSERT_TRUE(plain && faded && tinted);
    EXPECT_NE(plain, faded);
    EXPECT_NE(faded, tinted);
    EXPECT_EQ(tinted, tintedAgain);
    EXPECT_NE(plain->glName, faded->glName);
    EXPECT_NE(faded->glName, tinted->glName);
    EXPECT_EQ(NameBucket("title.png"), 3u);
    for (Texture* t : {plain, faded, tinted, tintedAgain})
        ReleaseTexture(t);
    EXPECT_EQ(NameBucket("title.png"), 0u);
}

TEST_F(TextureCacheTest, NamesDifferingInDigitsShareABucketAsTwoEntries)
{
    Texture* one = AcquireTexture(Name("spider walk 1.png"), 0, 0, 0, 0);
    Texture* two = AcquireTexture(Name("spider walk 2.png"), 0, 0, 0, 0);
    ASSERT_TRUE(one && two);
    EXPECT_NE(one, two);
    EXPECT_EQ(NameBucket("spider walk 1.png"), 2u);
    ReleaseTexture(one);
    EXPECT_EQ(NameBucket("spider walk 2.png"), 1u);
    EXPECT_EQ(TextureReferenceCount(two), 1);
    EXPECT_TRUE(glIsTexture(two->glName));
    ReleaseTexture(two);
    EXPECT_EQ(NameBucket("spider walk 2.png"), 0u);
}

TEST_F(TextureCacheTest, MissingFileLeavesNothingAndIsTriedAgain)
{
    EXPECT_EQ(AcquireTexture(Name("late.png"), 0, 0, 0, 0), nullptr);
    EXPECT_EQ(NameBucket("late.png"), 0u);
    WriteImage("late.png", TestImage(1, 1, kWhite));
    Texture* late = AcquireTexture(Name("late.png"), 0, 0, 0, 0);
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(TextureReferenceCount(late), 1);
    EXPECT_EQ(TextureIdBucketCount(late->glName & 0x7FFF), 1u);
    ReleaseTexture(late);
}

TEST_F(TextureCacheTest, LastReleaseDeletesAndTheNextAcquireLoadsAgain)
{
    Texture* texture = AcquireTexture(Name("title.png"), 0, 0, 0, 0);
    AcquireTexture(Name("title.png"), 0, 0, 0, 0);
    uint32_t glName = texture->glName;
    ReleaseTexture(texture);
    EXPECT_TRUE(glIsTexture(glName));
    ReleaseTexture(texture);
    EXPECT_FALSE(glIsTexture(glName));
    EXPECT_EQ(NameBucket("title.png"), 0u);
    EXPECT_EQ(TextureIdBucketCount(glName & 0x7FFF), 0u);
    Texture* again = AcquireTexture(Name("title.png"), 0, 0, 0, 0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(TextureReferenceCount(again), 1);
    ReleaseTexture(again);
}

TEST_F(TextureCacheTest, ReleasingWhatTheCacheDoesNotHoldChangesNothing)
{
    Texture* cached = AcquireTexture(Name("title.png"), 0, 0, 0, 0);
    Texture stranger;
    ASSERT_TRUE(stranger.Load(Name("title.png"), 0, 0, 0, 0));
    ReleaseTexture(&stranger);
    Texture empty;
    ReleaseTexture(&empty);
    ReleaseTexture(nullptr);
    EXPECT_EQ(TextureReferenceCount(cached), 1);
    EXPECT_TRUE(glIsTexture(cached->glName));
    EXPECT_EQ(TextureReferenceCount(&stranger), 0);
    ReleaseTexture(cached);
}

TEST_F(TextureCacheTest, GlNamesEqualInTheLow15BitsShareAnIdBucket)
{
    Texture* low = AcquireTexture(Name("spider walk 1.png"), 0, 0, 0, 0);
    ASSERT_NE(low, nullptr);
    // Use up names until the next texture gets low's name plus 32768.
    std::vector<GLuint> spent(32767);
    glGenTextures(GLsizei(spent.size()), spent.data());
    Texture* high = AcquireTexture(Name("spider walk 2.png"), 0, 0, 0, 0);
    ASSERT_NE(high, nullptr);
    glDeleteTextures(GLsizei(spent.size()), spent.data());
    ASSERT_EQ(low->glName & 0x7FFF, high->glName & 0x7FFF) << low->glName << " " << high->glName;
    ASSERT_NE(low->glName, high->glName);
    uint32_t bucket = low->glName & 0x7FFF;
    EXPECT_EQ(TextureIdBucketCount(bucket), 2u);
    ReleaseTexture(high);
    EXPECT_EQ(TextureIdBucketCount(bucket), 1u);
    EXPECT_EQ(TextureReferenceCount(low), 1);
    EXPECT_TRUE(glIsTexture(low->glName));
    Texture* lowAgain = AcquireTexture(Name("spider walk 1.png"), 0, 0, 0, 0);
    EXPECT_EQ(lowAgain, low);
    ReleaseTexture(low);
    ReleaseTexture(low);
    EXPECT_EQ(TextureIdBucketCount(bucket), 0u);
}

TEST_F(TextureCacheTest, ClearingFreesEverythingLeft)
{
    Texture* a = AcquireTexture(Name("title.png"), 0, 0, 0, 0);
    Texture* b = AcquireTexture(Name("spider walk 1.png"), 0, 0, 0, 0);
    AcquireTexture(Name("spider walk 1.png"), 0, 0, 0, 0);
    uint32_t nameA = a->glName, nameB = b->glName;
    ClearTextureCache();
    EXPECT_FALSE(glIsTexture(nameA));
    EXPECT_FALSE(glIsTexture(nameB));
    EXPECT_EQ(NameBucket("title.png"), 0u);
    EXPECT_EQ(NameBucket("spider walk 1.png"), 0u);
    EXPECT_EQ(TextureIdBucketCount(nameA & 0x7FFF), 0u);
    EXPECT_EQ(TextureIdBucketCount(nameB & 0x7FFF), 0u);
    ClearTextureCache();
    Texture* fresh = AcquireTexture(Name("title.png"), 0, 0, 0, 0);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(TextureReferenceCount(fresh), 1);
    ReleaseTexture(fresh);
}

} // namespace
