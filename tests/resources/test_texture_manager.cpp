#include <gtest/gtest.h>

#include <GL/glew.h>
#include <IL/il.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resources/texture_manager.h"
#include "support/gl_test.h"

namespace {

// A file name of this test process, so parallel runs do not collide.
std::string tmpPath(const std::string& name) {
  return "/tmp/parallaxis_tm_" + std::to_string(getpid()) + "_" + name;
}

// A fresh manager for each test, on the test window's context.
TextureManager* freshManager() {
  TextureManager::destroy();
  return TextureManager::instance();
}

// Saves w x h pixels, first row = the file's top row, in DevIL's format.
std::string saveImage(const char* name, int w, int h, int channels, ILenum format,
                      const std::vector<unsigned char>& pixels, ILenum type) {
  const std::string path = tmpPath(name);
  ilInit();
  ilEnable(IL_FILE_OVERWRITE);
  ILuint id = 0;
  ilGenImages(1, &id);
  ilBindImage(id);
  ilTexImage(w, h, 1, static_cast<ILubyte>(channels), format, IL_UNSIGNED_BYTE,
             const_cast<unsigned char*>(pixels.data()));
  ilRegisterOrigin(IL_ORIGIN_UPPER_LEFT);
  const bool saved = ilSave(type, path.c_str());
  ilDeleteImages(1, &id);
  return saved ? path : "";
}

GLint levelParameter(unsigned int name, int level, GLenum what) {
  glBindTexture(GL_TEXTURE_2D, name);
  GLint value = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, level, what, &value);
  return value;
}

// Level 0 of a texture as RGB bytes, row t = 0 first.
std::vector<unsigned char> texelsOf(unsigned int name, int w, int h) {
  std::vector<unsigned char> out(static_cast<size_t>(w) * h * 3);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, out.data());
  return out;
}

}  // namespace

TEST(TextureManager, StartsEmptyAndGrowsByEightAtTheThirtyThirdTexture) {
  ASSERT_TRUE(openTestWindow(64, 64));
  TextureManager* tm = freshManager();
  EXPECT_STREQ(tm->lastMessage(), "Texture Manager Initialized!");
  EXPECT_EQ(tm->textureCount(), 0);
  ASSERT_EQ(tm->capacity(), 32);
  EXPECT_EQ(TextureManager::instance(), tm);
  std::vector<unsigned int> names;
  for (int i = 0; i < 33; ++i) names.push_back(tm->createEmptyTexture(2, 2, 3, NO_TEXTURE));
  EXPECT_EQ(tm->textureCount(), 33);
  ASSERT_EQ(tm->capacity(), 40);
  EXPECT_EQ(tm->slot(31), names[31]);
  EXPECT_EQ(tm->slot(32), names[32]);
  for (int i = 33; i < 40; ++i) EXPECT_EQ(tm->slot(i), NO_TEXTURE);
  for (unsigned int n : names) EXPECT_TRUE(glIsTexture(n));
  // Distinct names from glGenTextures.
  for (size_t i = 1; i < names.size(); ++i) EXPECT_NE(names[i], names[i - 1]);
}

TEST(TextureManager, FixedNameIsUsedAndReplacedInPlace) {
  ASSERT_TRUE(openTestWindow(64, 64));
  TextureManager* tm = freshManager();
  const unsigned int other = tm->createEmptyTexture(2, 2, 3, NO_TEXTURE);
  std::vector<unsigned char> red(4 * 4 * 3, 0), green(4 * 4 * 3, 0);
  for (size_t i = 0; i < red.size(); i += 3) red[i] = 255, green[i + 1] = 255;
  const GLuint fixed = 666;
  glDeleteTextures(1, &fixed);  // left over from an earlier test
  ASSERT_FALSE(glIsTexture(666));
  EXPECT_EQ(tm->loadTextureFromMemory(red.data(), 4, 4, 3, 666), 666u);
  EXPECT_TRUE(glIsTexture(666));
  EXPECT_EQ(tm->textureCount(), 2);
  EXPECT_EQ(tm->loadTextureFromMemory(green.data(), 4, 4, 3, 666), 666u);
  EXPECT_EQ(tm->textureCount(), 2);
  EXPECT_EQ(tm->slot(0), other);
  EXPECT_EQ(tm->slot(1), 666u);
  EXPECT_EQ(texelsOf(666, 4, 4)[1], 255);  // the new picture, not the old
  EXPECT_STREQ(tm->lastMessage(), "Loaded Some Memory Perfectly!");
  EXPECT_EQ(levelParameter(666, 0, GL_TEXTURE_INTERNAL_FORMAT), 3);  // the channel count
  EXPECT_EQ(levelParameter(666, 2, GL_TEXTURE_WIDTH), 1);            // whole mipmap chain
}

TEST(TextureManager, MemoryChecksRejectSidesAndDepthsInOrder) {
  ASSERT_TRUE(openTestWindow(64, 64));
  TextureManager* tm = freshManager();
  std::vector<unsigned char> pixels(512 * 512 * 4, 128);
  for (int bad : {1, 0, 3, 384, -2}) {
    EXPECT_EQ(tm->loadTextureFromMemory(pixels.data(), bad, 4, 3, NO_TEXTURE), NO_TEXTURE);
    EXPECT_STREQ(tm->lastMessage(), "ERROR : Improper Dimension");
    EXPECT_EQ(tm->loadTextureFromMemory(pixels.data(), 4, bad, 3, NO_TEXTURE), NO_TEXTURE);
    EXPECT_EQ(tm->createEmptyTexture(bad, 4, 4, NO_TEXTURE), NO_TEXTURE);
    EXPECT_STREQ(tm->lastMessage(), "ERROR : Improper Dimension");
  }
  for (int channels : {1, 2, 5}) {
    EXPECT_EQ(tm->loadTextureFromMemory(pixels.data(), 4, 4, channels, NO_TEXTURE), NO_TEXTURE);
    EXPECT_STREQ(tm->lastMessage(), "ERROR : Unsuported Color Depth");
    EXPECT_EQ(tm->createEmptyTexture(4, 4, channels, 666), NO_TEXTURE);
    EXPECT_STREQ(tm->lastMessage(), "ERROR : Unsuported Color Depth");
  }
  // The dimension check comes first.
  EXPECT_EQ(tm->loadTextureFromMemory(pixels.data(), 3, 4, 5, NO_TEXTURE), NO_TEXTURE);
  EXPECT_STREQ(tm->lastMessage(), "ERROR : Improper Dimension");
  EXPECT_EQ(tm->textureCount(), 0);
  EXPECT_EQ(tm->slot(0), NO_TEXTURE);
  for (int side : {2, 256, 512}) {
    EXPECT_NE(tm->loadTextureFromMemory(pixels.data(), side, side, 3, NO_TEXTURE), NO_TEXTURE);
  }
  const unsigned int target = tm->createEmptyTexture(512, 512, 4, NO_TEXTURE);
  ASSERT_NE(target, NO_TEXTURE);
  EXPECT_EQ(levelParameter(target, 0, GL_TEXTURE_INTERNAL_FORMAT), 4);
  EXPECT_EQ(texelsOf(target, 512, 512)[1000], 0);
  EXPECT_EQ(tm->textureCount(), 4);
}

TEST(TextureManager, MissingFileLeavesTheTableAndCutsTheMessage) {
  ASSERT_TRUE(openTestWindow(64, 64));
  TextureManager* tm = freshManager();
  EXPECT_EQ(tm->loadTexture("textures/no-such-picture.jpg", 1, NO_TEXTURE), NO_TEXTURE);
  EXPECT_STREQ(tm->lastMessage(), "ERROR : Unable to load file [textures/no-such-picture.jpg]");
  EXPECT_EQ(tm->textureCount(), 0);
  const std::string longPath = "/tmp/" + std::string(100, 'x') + ".jpg";
  EXPECT_EQ(tm->loadTextureClamped(longPath.c_str(), 1, 666), NO_TEXTURE);
  EXPECT_EQ(std::string(tm->lastMessage()),
            ("ERROR : Unable to load file [" + longPath).substr(0, 79));
  EXPECT_EQ(tm->textureCount(), 0);
  EXPECT_EQ(tm->slot(0), NO_TEXTURE);
}

TEST(TextureManager, FilesBecomeCompressedMipmappedTextures) {
  ASSERT_TRUE(openTestWindow(64, 64));
  TextureManager* tm = freshManager();
  std::vector<unsigned char> rgb(64 * 32 * 3, 200), rgba(16 * 16 * 4, 100);
  const std::string jpeg = saveImage("rgb.jpg", 64, 32, 3, IL_RGB, rgb, IL_JPG);
  const std::string png = saveImage("rgba.png", 16, 16, 4, IL_RGBA, rgba, IL_PNG);
  ASSERT_FALSE(jpeg.empty());
  ASSERT_FALSE(png.empty());

  const unsigned int j = tm->loadTexture(jpeg.c_str(), 1, NO_TEXTURE);
  ASSERT_NE(j, NO_TEXTURE);
  EXPECT_EQ(std::string(tm->lastMessage()), "Loaded [" + jpeg + "] W/O a hitch!");
  EXPECT_EQ(levelParameter(j, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_COMPRESSED_RGB_S3TC_DXT1_EXT);
  EXPECT_EQ(levelParameter(j, 0, GL_TEXTURE_WIDTH), 64);
  EXPECT_EQ(levelParameter(j, 6, GL_TEXTURE_WIDTH), 1);
  GLint wrap = 0, minFilter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  EXPECT_EQ(wrap, GL_REPEAT);
  EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);

  const unsigned int p = tm->loadTextureClamped(png.c_str(), 1, NO_TEXTURE);
  ASSERT_NE(p, NO_TEXTURE);
  EXPECT_EQ(levelParameter(p, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_COMPRESSED_RGBA_S3TC_DXT5_EXT);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrap);
  EXPECT_EQ(wrap, GL_CLAMP_TO_BORDER);

  const unsigned int plain = tm->loadTexture(png.c_str(), 0, NO_TEXTURE);
  EXPECT_EQ(levelParameter(plain, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
  EXPECT_EQ(tm->textureCount(), 3);
  // The same file twice makes two textures.
  EXPECT_NE(plain, p);
  std::remove(jpeg.c_str());
  std::remove(png.c_str());
}

TEST(TextureManager, GreyAndBgrFilesArriveAsRgbWithDevilRowOrder) {
  ASSERT_TRUE(openTestWindow(64, 64));
  TextureManager* tm = freshManager();

  // A grey JPEG: the upload must not read it as RGB.
  std::vector<unsigned char> grey(8 * 8, 0);
  for (int i = 0; i < 8 * 4; ++i) grey[i] = 240;  // first stored rows light
  const std::string greyPath = saveImage("grey.jpg", 8, 8, 1, IL_LUMINANCE, grey, IL_JPG);
  ASSERT_FALSE(greyPath.empty());
  ilBindImage(0);
  const unsigned int g = tm->loadTexture(greyPath.c_str(), 0, NO_TEXTURE);
  ASSERT_NE(g, NO_TEXTURE);
  EXPECT_EQ(levelParameter(g, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB);
  const std::vector<unsigned char> gt = texelsOf(g, 8, 8);
  const int topIndex = 0, bottomIndex = (7 * 8) * 3;
  EXPECT_NEAR(gt[topIndex], gt[topIndex + 2], 8);  // grey, not a colour
  // JPEG: the file's top row reaches GL first (t = 0).
  EXPECT_GT(gt[topIndex], 200);
  EXPECT_LT(gt[bottomIndex], 40);

  // A 24-bit BMP written by hand: bottom-up rows, B G R bytes; the bottom-left
  // pixel is red, everything else blue.
  const int w = 4, h = 4;
  std::vector<unsigned char> bmp(54 + w * h * 3, 0);
  const unsigned char header[54] = {'B', 'M', 102, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0,
                                    4,   0,   0,   0, 4, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0,  0, 0, 0,
                                    48,  0,   0,   0, 0, 0, 0, 0, 0, 0, 0,  0, 0, 0, 0,  0, 0, 0};
  std::copy(header, header + 54, bmp.begin());
  for (int i = 0; i < w * h; ++i) bmp[54 + i * 3] = 255;  // blue
  bmp[54] = 0, bmp[56] = 255;                             // first stored pixel red
  const std::string bgr = tmpPath("bgr.bmp");
  FILE* f = std::fopen(bgr.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(bmp.data(), 1, bmp.size(), f);
  std::fclose(f);
  const unsigned int b = tm->loadTexture(bgr.c_str(), 0, NO_TEXTURE);
  ASSERT_NE(b, NO_TEXTURE);
  const std::vector<unsigned char> bt = texelsOf(b, w, h);
  EXPECT_EQ(bt[0], 255);  // BMP: the bottom row reaches GL first, red stays red
  EXPECT_EQ(bt[2], 0);
  EXPECT_EQ(bt[3], 0);
  EXPECT_EQ(bt[5], 255);
  std::remove(greyPath.c_str());
  std::remove(bgr.c_str());
}

namespace {

// The compressed blocks of one level of a texture.
std::vector<unsigned char> blocksOf(unsigned int name, int level) {
  const GLint size = levelParameter(name, level, GL_TEXTURE_COMPRESSED_IMAGE_SIZE);
  std::vector<unsigned char> out(static_cast<size_t>(size > 0 ? size : 0));
  if (size > 0) glGetCompressedTexImage(GL_TEXTURE_2D, level, out.data());
  return out;
}

// w x h pixels of a pattern that differs per seed, so blocks differ too.
std::vector<unsigned char> pattern(int w, int h, int channels, int seed) {
  std::vector<unsigned char> out(static_cast<size_t>(w) * h * channels);
  for (size_t i = 0; i < out.size(); ++i) out[i] = static_cast<unsigned char>(i * 7 + seed * 91);
  return out;
}

}  // namespace

TEST(TextureManager, FileLoadedAgainGetsTheSameBlocksAndAChangedFileIsDecodedAnew) {
  ASSERT_TRUE(openTestWindow(64, 64));
  struct Case {
    const char* name;
    int w, h, channels;
    ILenum format, type;
    GLenum internalFormat;
  };
  const Case cases[] = {
      {"again.jpg", 64, 32, 3, IL_RGB, IL_JPG, GL_COMPRESSED_RGB_S3TC_DXT1_EXT},
      {"again.png", 16, 16, 4, IL_RGBA, IL_PNG, GL_COMPRESSED_RGBA_S3TC_DXT5_EXT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextureManager* tm = freshManager();
    const std::string path =
        saveImage(c.name, c.w, c.h, c.channels, c.format, pattern(c.w, c.h, c.channels, 1), c.type);
    ASSERT_FALSE(path.empty());
    const unsigned int first = tm->loadTexture(path.c_str(), 1, NO_TEXTURE);
    const unsigned int again = tm->loadTextureClamped(path.c_str(), 1, NO_TEXTURE);
    ASSERT_NE(first, NO_TEXTURE);
    ASSERT_NE(again, NO_TEXTURE);
    EXPECT_NE(again, first);
    EXPECT_EQ(tm->textureCount(), 2);
    EXPECT_EQ(std::string(tm->lastMessage()), "Loaded [" + path + "] W/O a hitch!");

    // Every level, down to 1 x 1, alike in size, format and blocks.
    int levels = 0;
    while (levelParameter(first, levels, GL_TEXTURE_WIDTH) > 0) ++levels;
    EXPECT_EQ(levelParameter(first, levels - 1, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(levelParameter(first, levels - 1, GL_TEXTURE_HEIGHT), 1);
    EXPECT_EQ(levelParameter(again, levels, GL_TEXTURE_WIDTH), 0);
    for (int level = 0; level < levels; ++level) {
      SCOPED_TRACE(level);
      for (GLenum what : {GL_TEXTURE_WIDTH, GL_TEXTURE_HEIGHT, GL_TEXTURE_INTERNAL_FORMAT})
        EXPECT_EQ(levelParameter(again, level, what), levelParameter(first, level, what));
      EXPECT_EQ(levelParameter(again, level, GL_TEXTURE_INTERNAL_FORMAT),
                static_cast<GLint>(c.internalFormat));
      const std::vector<unsigned char> blocks = blocksOf(first, level);
      EXPECT_FALSE(blocks.empty());
      EXPECT_EQ(blocksOf(again, level), blocks);
    }
    // The second load keeps its own parameters.
    GLint wrap = 0, minFilter = 0;
    glBindTexture(GL_TEXTURE_2D, again);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(wrap, GL_CLAMP_TO_BORDER);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);

    // Another picture under the same name and size is a picture of its own.
    ASSERT_EQ(
        saveImage(c.name, c.w, c.h, c.channels, c.format, pattern(c.w, c.h, c.channels, 2), c.type),
        path);
    const unsigned int changed = tm->loadTexture(path.c_str(), 1, NO_TEXTURE);
    ASSERT_NE(changed, NO_TEXTURE);
    EXPECT_NE(blocksOf(changed, 0), blocksOf(first, 0));
    // Uncompressed loads never take blocks.
    const unsigned int plain = tm->loadTexture(path.c_str(), 0, NO_TEXTURE);
    EXPECT_EQ(levelParameter(plain, 0, GL_TEXTURE_COMPRESSED), GL_FALSE);
    std::remove(path.c_str());
  }
}
