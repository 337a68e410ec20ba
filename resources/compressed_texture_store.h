// CompressedTextureStore: the compressed mipmap chains of the image files
// loaded so far, so that a file loaded again is uploaded as the blocks the
// driver made the first time instead of being decoded and compressed anew.
// Compressing is the slow part of a file load (the driver searches every 4 x 4
// block), and the show loads some files more than once (each volume line
// loads both glow pictures).
//
// Call order: after a compressed upload, keep() with the file's bytes and the
// texture still bound; before the next load of a file, find() with its bytes
// and, when there is a chain, upload() it into the newly bound texture. Both
// need the texture manager's GL context.
//
// Ownership: the store owns copies of the file bytes and of the blocks; they
// live as long as the store. A chain is found only for byte-identical files,
// so a changed file is always decoded again.
//
// Failure: keep() stores nothing when the bound texture has no compressed
// level; find() then returns null and the file is loaded as usual.
#pragma once

#include <vector>

class CompressedTextureStore {
 public:
  struct Level {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> blocks;
  };
  struct Chain {
    std::vector<unsigned char> fileBytes;
    unsigned int internalFormat = 0;  // a GLenum
    std::vector<Level> levels;        // level 0 first, down to the last one GL holds
  };

  // The chain kept for a file with exactly these bytes, or null.
  const Chain* find(const std::vector<unsigned char>& fileBytes) const;

  // Reads back every level of the texture bound to GL_TEXTURE_2D, stored as
  // internalFormat, and keeps it for files with these bytes.
  void keep(const std::vector<unsigned char>& fileBytes, unsigned int internalFormat);

  // Uploads every level of the chain into the texture bound to GL_TEXTURE_2D.
  static void upload(const Chain& chain);

 private:
  std::vector<Chain> chains;
};
