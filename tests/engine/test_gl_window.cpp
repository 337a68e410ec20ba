#include <gtest/gtest.h>

#include <GL/glew.h>
#include <X11/Xlib.h>

#include "engine/gl_window.h"
#include "platform/window.h"
#include "support/gl_test.h"

TEST(GLWindow, ResizeSetsViewportAndScreenSizeHeightZeroAsOne) {
  ASSERT_TRUE(openTestWindow(640, 480));
  GLWindow& window = testWindow();
  resizeGLScene(window, 300, 0);
  GLint vp[4];
  glGetIntegerv(GL_VIEWPORT, vp);
  EXPECT_EQ(vp[3], 1);
  EXPECT_FLOAT_EQ(window.aspectRatio, 300.0f);
  EXPECT_EQ(window.screenWidth, 300);
  EXPECT_EQ(window.screenHeight, 1);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  // A window resized by its user: the size every scene draws at follows.
  windowProc(window.hWnd, WM_SIZE, 0, MAKELPARAM(800, 600));
  glGetIntegerv(GL_VIEWPORT, vp);
  EXPECT_EQ(vp[2], 800);
  EXPECT_EQ(window.screenWidth, 800);
  EXPECT_EQ(window.screenHeight, 600);
  resizeGLScene(window, 640, 480);
}

TEST(GLWindow, DefaultStateAndLights) {
  ASSERT_TRUE(openTestWindow(640, 480));
  for (GLenum cap : {GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_DEPTH_TEST})
    EXPECT_TRUE(glIsEnabled(cap)) << cap;
  GLint func = 0;
  glGetIntegerv(GL_DEPTH_FUNC, &func);
  EXPECT_EQ(func, GL_LEQUAL);
  float ambient[4];
  glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
  EXPECT_FLOAT_EQ(ambient[0], 0.8f);
  // A directional light from (-3, 3, -8), stored in eye space (identity modelview).
  float pos[4];
  glGetLightfv(GL_LIGHT1, GL_POSITION, pos);
  EXPECT_FLOAT_EQ(pos[0], -3.0f);
  EXPECT_FLOAT_EQ(pos[2], -8.0f);
  EXPECT_FLOAT_EQ(pos[3], 0.0f);
  int depthBits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depthBits);
  EXPECT_GE(depthBits, 16);
  // Extension entry points are there (GLEW).
  EXPECT_NE(glActiveTextureARB, nullptr);
}

TEST(GLWindow, KeysAndActivationFromMessages) {
  ASSERT_TRUE(openTestWindow(640, 480));
  const GLWindow& window = testWindow();
  windowProc(nullptr, WM_KEYDOWN, VK_F1, 0);
  EXPECT_TRUE(window.keys[VK_F1]);
  windowProc(nullptr, WM_KEYUP, VK_F1, 0);
  EXPECT_FALSE(window.keys[VK_F1]);
  windowProc(nullptr, WM_ACTIVATE, (1u << 16) | WA_INACTIVE, 0);
  EXPECT_FALSE(window.active);
  windowProc(nullptr, WM_ACTIVATE, WA_INACTIVE, 0);  // lost focus, not minimised
  EXPECT_TRUE(window.active);
}

TEST(GLWindow, ModeSwitchKeepsTheContextAndTheCamera) {
  ASSERT_TRUE(openTestWindow(640, 480));
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  const unsigned char red[3] = {255, 0, 0};
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, red);
  glDisable(GL_LIGHTING);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslatef(1.0f, 2.0f, -3.0f);

  // Full screen on a display of one mode (Xvfb) is at the display's size,
  // and so is what the scenes take for the screen.
  GLWindow& window = testWindow();
  ASSERT_TRUE(setGLWindowMode(window, 640, 480, 32, true));
  int width = 0, height = 0;
  platform::getClientSize(window.hWnd, &width, &height);
  EXPECT_EQ(window.screenWidth, width);
  EXPECT_EQ(window.screenHeight, height);
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  EXPECT_EQ(width, DisplayWidth(display, DefaultScreen(display)));
  EXPECT_EQ(height, DisplayHeight(display, DefaultScreen(display)));
  XCloseDisplay(display);
  ASSERT_TRUE(setGLWindowMode(window, 640, 480, 32, false));
  EXPECT_EQ(window.screenWidth, 640);
  EXPECT_EQ(window.screenHeight, 480);

  EXPECT_TRUE(glIsTexture(texture));
  EXPECT_FALSE(glIsEnabled(GL_LIGHTING));  // the scene's own state stays
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_FLOAT_EQ(m[12], 1.0f);
  EXPECT_FLOAT_EQ(m[14], -3.0f);
  GLint vp[4];
  glGetIntegerv(GL_VIEWPORT, vp);
  EXPECT_EQ(vp[2], 640);
  EXPECT_EQ(vp[3], 480);
  glDeleteTextures(1, &texture);
  glEnable(GL_LIGHTING);
  glLoadIdentity();
}
