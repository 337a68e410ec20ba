// A shader context on the 640 x 480 test window with plain fixed-function
// state, and the programs a test creates in it.
#pragma once

#include <gtest/gtest.h>

#include <GL/glew.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "shader/cg.h"
#include "support/gl_test.h"

// Writes a Cg source file for this test process and returns its path.
inline std::string writeCg(const std::string& name, const std::string& text) {
  const std::string path = "/tmp/parallaxis_cg_" + std::to_string(getpid()) + "_" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  return path;
}

class CgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(openTestWindow(640, 480));
    cgSetErrorCallback(nullptr);
    cgGetError();
    context = cgCreateContext();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    for (GLenum m : {GL_PROJECTION, GL_TEXTURE, GL_MODELVIEW}) {
      glMatrixMode(m);
      glLoadIdentity();
    }
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  void TearDown() override {
    cgGLDisableProfile(CG_PROFILE_ARBVP1);
    cgGLDisableProfile(CG_PROFILE_ARBFP1);
    cgSetErrorCallback(nullptr);
    for (CGprogram p : programs) cgDestroyProgram(p);  // a destroyed one is ignored
  }

  // Translates and loads a program; fails the test on any error.
  CGprogram program(const std::string& name, const std::string& text, CGprofile profile) {
    CGprogram p = cgCreateProgramFromFile(context, CG_SOURCE, writeCg(name, text).c_str(), profile,
                                          nullptr, nullptr);
    EXPECT_NE(p, nullptr) << cgGetLastListing(context);
    cgGLLoadProgram(p);
    EXPECT_EQ(cgGetError(), CG_NO_ERROR) << cgGetLastListing(context);
    programs.push_back(p);
    return p;
  }

  // The same, then enabled and bound.
  CGprogram use(const std::string& name, const std::string& text, CGprofile profile) {
    CGprogram p = program(name, text, profile);
    cgGLEnableProfile(profile);
    cgGLBindProgram(p);
    return p;
  }

  static void fullScreenQuad() {
    glBegin(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
  }

  // Clears to black and fills the window with a white quad; the colour in
  // the middle.
  static Rgb drawQuad() {
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1, 1, 1);
    fullScreenQuad();
    return readPixel(320, 240);
  }

  static GLint integer(GLenum what) {
    GLint value = 0;
    glGetIntegerv(what, &value);
    return value;
  }

  // The 2D texture bound on unit GL_TEXTURE0 + unit; unit 0 is left active.
  static GLuint boundTexture(int unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    const GLint bound = integer(GL_TEXTURE_BINDING_2D);
    glActiveTexture(GL_TEXTURE0);
    return static_cast<GLuint>(bound);
  }

  CGcontext context = nullptr;
  std::vector<CGprogram> programs;
};
