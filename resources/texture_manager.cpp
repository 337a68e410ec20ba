#include "resources/texture_manager.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <IL/il.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "resources/image_decode.h"

TextureManager* TextureManager::s_instance = nullptr;

static const int INITIAL_SLOTS = 32;
static const int GROWTH_SLOTS = 8;

// True for 2, 4, 8, ...: doubling from 1 must meet the value exactly.
static bool isPowerOfTwoSide(int value) {
  int side = 1;
  while (side < value) side *= 2;
  return side == value && value >= 2;
}

TextureManager* TextureManager::instance() {
  if (!s_instance) {
    s_instance = new TextureManager();
    s_instance->init();
  }
  return s_instance;
}

void TextureManager::destroy() {
  delete s_instance;
  s_instance = nullptr;
}

TextureManager::~TextureManager() { delete[] m_textureIds; }

void TextureManager::init() {
  setMessage("Texture Manager Initialized!");
  m_textureCount = 0;
  m_capacity = INITIAL_SLOTS;
  m_textureIds = new unsigned int[INITIAL_SLOTS];
  for (int i = 0; i < INITIAL_SLOTS; ++i) m_textureIds[i] = NO_TEXTURE;
  ilInit();
}

unsigned int TextureManager::slot(int index) const {
  if (index < 0 || index >= m_capacity) return NO_TEXTURE;
  return m_textureIds[index];
}

void TextureManager::setMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(m_lastMessage, sizeof m_lastMessage, format, args);
  va_end(args);
}

unsigned int TextureManager::registerTexture(unsigned int textureId) {
  unsigned int name = textureId;
  if (textureId == NO_TEXTURE) {
    glGenTextures(1, &name);
  } else {
    // The caller's number is the GL name itself; an older texture of that
    // name is deleted and forgotten first.
    for (int i = 0; i < m_capacity; ++i) {
      if (m_textureIds[i] == textureId) {
        freeTexture(textureId);
        --m_textureCount;
        break;
      }
    }
  }

  int freeSlot = -1;
  for (int i = 0; i < m_capacity && freeSlot < 0; ++i) {
    if (m_textureIds[i] == NO_TEXTURE) freeSlot = i;
  }
  if (freeSlot >= 0) {
    m_textureIds[freeSlot] = name;
  } else {
    unsigned int* grown = new unsigned int[m_capacity + GROWTH_SLOTS];
    for (int i = 0; i < m_capacity; ++i) grown[i] = m_textureIds[i];
    grown[m_capacity] = name;
    for (int i = 1; i < GROWTH_SLOTS; ++i) grown[m_capacity + i] = NO_TEXTURE;
    delete[] m_textureIds;
    m_textureIds = grown;
    m_capacity += GROWTH_SLOTS;
  }
  ++m_textureCount;
  return name;
}

void TextureManager::freeTexture(unsigned int textureId) {
  for (int i = 0; i < m_capacity; ++i) {
    if (m_textureIds[i] == textureId) {
      m_textureIds[i] = NO_TEXTURE;
      glDeleteTextures(1, &textureId);
      return;
    }
  }
}

unsigned int TextureManager::loadTexture(const char* path, int compressed, unsigned int textureId) {
  return loadFile(path, compressed, textureId, false);
}

unsigned int TextureManager::loadTextureClamped(const char* path, int compressed,
                                                unsigned int textureId) {
  return loadFile(path, compressed, textureId, true);
}

unsigned int TextureManager::loadFile(const char* path, int compressed, unsigned int textureId,
                                      bool clamped) {
  setMessage("Beginning to Loading [%s]", path);

  std::vector<unsigned char> bytes;
  const bool read = readImageFile(path, &bytes);
  // The same bytes decode and compress to the same blocks as before.
  const CompressedTextureStore::Chain* kept =
      read && compressed ? m_compressedStore.find(bytes) : nullptr;
  LoadedImage loaded;
  if (!kept && !(read && decodeImage(bytes.data(), bytes.size(), imageTypeOfName(path), &loaded))) {
    setMessage("ERROR : Unable to load file [%s]", path);
    return NO_TEXTURE;
  }

  const unsigned int name = registerTexture(textureId);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  if (clamped) {
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<float>(GL_CLAMP_TO_BORDER));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<float>(GL_CLAMP_TO_BORDER));
  } else {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  }

  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (kept) {
    CompressedTextureStore::upload(*kept);
  } else {
    const GLenum pixelFormat = loaded.bytesPerPixel == 4 ? GL_RGBA : GL_RGB;
    GLint internalFormat = static_cast<GLint>(pixelFormat);
    if (compressed) {
      internalFormat = loaded.bytesPerPixel == 4 ? GL_COMPRESSED_RGBA_S3TC_DXT5_EXT
                                                 : GL_COMPRESSED_RGB_S3TC_DXT1_EXT;
    }
    gluBuild2DMipmaps(GL_TEXTURE_2D, internalFormat, loaded.width, loaded.height, pixelFormat,
                      GL_UNSIGNED_BYTE, loaded.pixels.data());
    if (compressed) m_compressedStore.keep(bytes, static_cast<GLenum>(internalFormat));
  }

  setMessage("Loaded [%s] W/O a hitch!", path);
  return name;
}

unsigned int TextureManager::loadTextureFromMemory(const unsigned char* pixels, int width,
                                                   int height, int channels,
                                                   unsigned int textureId) {
  if (!isPowerOfTwoSide(width) || !isPowerOfTwoSide(height)) {
    setMessage("ERROR : Improper Dimension");
    return NO_TEXTURE;
  }
  if (channels != 3 && channels != 4) {
    setMessage("ERROR : Unsuported Color Depth");
    return NO_TEXTURE;
  }
  const unsigned int name = registerTexture(textureId);
  glBindTexture(GL_TEXTURE_2D, name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  // Rows are tightly packed: a 2-pixel RGB row is 6 bytes, not 8.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gluBuild2DMipmaps(GL_TEXTURE_2D, channels, width, height, channels == 3 ? GL_RGB : GL_RGBA,
                    GL_UNSIGNED_BYTE, pixels);
  setMessage("Loaded Some Memory Perfectly!");
  return name;
}

unsigned int TextureManager::createEmptyTexture(int width, int height, int channels,
                                                unsigned int textureId) {
  if (!isPowerOfTwoSide(width) || !isPowerOfTwoSide(height)) {
    setMessage("ERROR : Improper Dimension");
    return NO_TEXTURE;
  }
  if (channels != 3 && channels != 4) {
    setMessage("ERROR : Unsuported Color Depth");
    return NO_TEXTURE;
  }
  std::vector<unsigned char> zeros(static_cast<size_t>(width) * height * channels, 0);
  const unsigned int name = registerTexture(textureId);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, channels, width, height, 0, channels == 3 ? GL_RGB : GL_RGBA,
               GL_UNSIGNED_BYTE, zeros.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  setMessage("Loaded Some Memory Perfectly!");
  return name;
}
