#include "resources/compressed_texture_store.h"

#include <GL/glew.h>

const CompressedTextureStore::Chain* CompressedTextureStore::find(
    const std::vector<unsigned char>& fileBytes) const {
  for (const Chain& chain : chains)
    if (chain.fileBytes == fileBytes) return &chain;
  return nullptr;
}

void CompressedTextureStore::keep(const std::vector<unsigned char>& fileBytes,
                                  unsigned int internalFormat) {
  Chain chain;
  chain.internalFormat = internalFormat;
  for (GLint level = 0;; ++level) {
    GLint width = 0, height = 0, compressed = GL_FALSE, format = 0, size = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
    if (width <= 0 || height <= 0) break;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_COMPRESSED, &compressed);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_COMPRESSED_IMAGE_SIZE, &size);
    // A level the driver did not store as asked cannot be replayed as blocks.
    if (compressed != GL_TRUE || static_cast<GLenum>(format) != internalFormat || size <= 0) return;
    Level kept;
    kept.width = width;
    kept.height = height;
    kept.blocks.resize(static_cast<size_t>(size));
    glGetCompressedTexImage(GL_TEXTURE_2D, level, kept.blocks.data());
    chain.levels.push_back(std::move(kept));
  }
  if (chain.levels.empty()) return;
  chain.fileBytes = fileBytes;
  chains.push_back(std::move(chain));
}

void CompressedTextureStore::upload(const Chain& chain) {
  for (size_t level = 0; level < chain.levels.size(); ++level) {
    const Level& l = chain.levels[level];
    glCompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), chain.internalFormat, l.width,
                           l.height, 0, static_cast<GLsizei>(l.blocks.size()), l.blocks.data());
  }
}
