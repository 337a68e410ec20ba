#include "geometry/model_3ds.h"

#include <GL/glew.h>

#include <cstdio>

#include "platform/window.h"
#include "resources/texture_manager.h"

namespace {

// "folder/file" in a 200-byte buffer; false when it does not fit.
bool texturePath(char (&path)[200], const char* folder, const char* file) {
  const int n = std::snprintf(path, sizeof path, "%s/%s", folder, file);
  return n > 0 && n < static_cast<int>(sizeof path);
}

}  // namespace

void Model3DS::load(const char* path, bool bumpMapping) {
  if (plainList) glDeleteLists(plainList, 1);
  plainList = 0;
  renderMode = RENDER_PLAIN;
  bumpMapped = bumpMapping;
  for (const LoaderMessage& said : loader.import(*this, path, bumpMapped))
    platform::messageBox(nullptr, said.text.c_str(), said.caption, MB_OK);

  for (int i = 0; i < materialCount; ++i) {
    MeshMaterial& material = materials[i];
    if (material.textureFile[0] != '\0') {
      // A path too long for the buffer is a texture that cannot load.
      char file[200];
      textures[i] = texturePath(file, "models/textures", material.textureFile)
                        ? TextureManager::instance()->loadTexture(file, 1, NO_TEXTURE)
                        : NO_TEXTURE;
      // A normal map has the colour texture's file name in its own folder.
      if (bumpMapped) {
        normalMaps[i] = texturePath(file, "models/normalmaps", material.textureFile)
                            ? TextureManager::instance()->loadTextureClamped(file, 1, NO_TEXTURE)
                            : NO_TEXTURE;
      }
    }
    material.textureIndex = i;
  }
  renderMode = bumpMapped ? RENDER_BUMP : RENDER_PLAIN;
}
