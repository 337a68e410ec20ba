// TextureManager: turns image files and pixel memory into GL 2D textures and
// keeps a table of every texture name it has handed out.
//
// Call order: TextureManager::instance() (creates the singleton on first use,
// needs a current GL context for every load) -> the load operations ->
// TextureManager::destroy() before the GL window closes. Everything runs on
// the thread that owns the GL context.
//
// Ownership: the manager owns its table; the GL textures belong to the GL
// context (destroy() does not delete them). Callers keep ownership of the
// pixel memory they pass in. A texture is known only by its GL name: loading a
// file twice makes two textures. The second gets the compressed blocks of the
// first (CompressedTextureStore) instead of a new decode and compression.
//
// Failures: every operation returns NO_TEXTURE when it fails and leaves its
// status text (at most 79 characters) in lastMessage(); nothing is printed.
#pragma once

#include <cstdint>

#include "resources/compressed_texture_store.h"

// As an argument: let the manager choose the name. As a result: failure.
constexpr unsigned int NO_TEXTURE = 0xFFFFFFFFu;

class TextureManager {
 public:
  // The singleton; the first call allocates it and runs init().
  static TextureManager* instance();

  // Frees the table and the singleton; the GL textures stay.
  static void destroy();

  // Loads an image file as a mipmapped texture with GL_REPEAT wrapping;
  // compressed != 0 stores it as DXT1 (RGB) or DXT5 (RGBA).
  unsigned int loadTexture(const char* path, int compressed, unsigned int textureId);

  // As loadTexture, with GL_CLAMP_TO_BORDER wrapping.
  unsigned int loadTextureClamped(const char* path, int compressed, unsigned int textureId);

  // Uploads width x height pixels of 3 (RGB) or 4 (RGBA) bytes, tightly
  // packed, first row at t = 0; sides must be powers of two from 2 up.
  unsigned int loadTextureFromMemory(const unsigned char* pixels, int width, int height,
                                     int channels, unsigned int textureId);

  // A texture of zeros (level 0 only), for rendering into.
  unsigned int createEmptyTexture(int width, int height, int channels, unsigned int textureId);

  // The status text of the last operation.
  const char* lastMessage() const { return m_lastMessage; }

  // Number of names in the table.
  int textureCount() const { return m_textureCount; }

  // Number of slots in the table (32, then grown by 8 at a time).
  int capacity() const { return m_capacity; }

  // The name in a slot, NO_TEXTURE when the slot is free or out of range.
  unsigned int slot(int index) const;

 private:
  TextureManager() = default;
  ~TextureManager();
  TextureManager(const TextureManager&) = delete;
  TextureManager& operator=(const TextureManager&) = delete;

  // Sets up the empty 32-slot table and starts DevIL.
  void init();

  // The GL name the new texture will use, recorded in the table.
  unsigned int registerTexture(unsigned int textureId);

  // Removes a name from the table and deletes its GL texture.
  void freeTexture(unsigned int textureId);

  // The file load behind loadTexture and loadTextureClamped.
  unsigned int loadFile(const char* path, int compressed, unsigned int textureId, bool clamped);

  // printf-style status text, cut to fit.
  void setMessage(const char* format, ...);

  char m_lastMessage[80] = {};
  int32_t m_textureCount = 0;
  int32_t m_capacity = 0;
  unsigned int* m_textureIds = nullptr;
  CompressedTextureStore m_compressedStore;

  static TextureManager* s_instance;
};
