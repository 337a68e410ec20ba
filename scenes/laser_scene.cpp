#include "scenes/laser_scene.h"

#include <GL/glew.h>
#include <GL/glu.h>
#include <GL/glut.h>

#include "effects/volume_line.h"

// The single-precision constants of the game, widened to double exactly.
static const double BALL_STEP = static_cast<double>(0.03f);
static const double THIN_WIDTH = static_cast<double>(0.02f);
static const double PADDLE_STEP = static_cast<double>(0.1f);

LaserScene::~LaserScene() {
  delete m_leftLine;
  delete m_rightLine;
}

bool LaserScene::load() {
  m_leftLine = new VolumeLine();
  if (!m_leftLine->ready()) return false;
  m_rightLine = new VolumeLine();
  return m_rightLine->ready();
}

void LaserScene::init() {
  glLoadIdentity();
  glShadeModel(GL_SMOOTH);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

  gluLookAt(0, 0, 10, 0, 0, 0, 0, 1, 0);

  resetGame();

  // Given while the modelview holds the look-at, so the position is in
  // world coordinates.
  const GLfloat ambient[] = {0.1f, 0.1f, 0.1f, 1.0f};
  const GLfloat diffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};
  const GLfloat position[] = {-5.0f, 5.0f, 8.0f, 1.0f};
  glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
  glLightfv(GL_LIGHT1, GL_POSITION, position);
  glEnable(GL_LIGHT1);

  glDisable(GL_BLEND);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_1D);
  glDisable(GL_LIGHTING);
}

void LaserScene::resetGame() {
  m_leftY = 0;
  m_rightY = 0;
  m_ballX = 0;
  m_ballY = 0;
  m_ballVX = BALL_STEP;
  m_ballVY = BALL_STEP;
  m_thinWidth = THIN_WIDTH;
  m_cameraDistance = 10;
  m_angleY = 0;
  m_angleX = 0;
}

int LaserScene::phaseAt(double t) {
  if (t <= 7) return 1;
  if (t <= 13) return 2;
  if (t <= 20) return 3;
  if (t <= 30) return 4;
  return 0;
}

double LaserScene::nextAngle(double angle) {
  if (angle >= 360) angle = 0;
  return angle + 0.5;
}

void LaserScene::draw() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glLoadIdentity();

  switch (phaseAt(m_localTime)) {
    case 1:  // thin paddles, a white unlit ball
      lookFrom(10);
      drawPaddles(1.5, static_cast<float>(m_thinWidth));
      glColor3f(1, 1, 1);
      glDisable(GL_TEXTURE_2D);
      glDisable(GL_LIGHTING);
      glDisable(GL_BLEND);
      glPushMatrix();
      glTranslated(m_ballX, m_ballY, 0);
      glutSolidSphere(0.2, 40, 40);
      glPopMatrix();
      gameStep(1);
      break;
    case 2:  // thick paddles, a lit ball drawn through the lines' blending
      lookFrom(10);
      drawPaddles(4.5, 0.7f);
      glPushMatrix();
      glEnable(GL_LIGHTING);
      glTranslated(m_ballX, m_ballY, 0);
      glutSolidSphere(0.2, 40, 40);
      glPopMatrix();
      gameStep(1);
      break;
    case 3:  // the playfield spins, the ball runs at double speed
      lookFrom(m_cameraDistance);
      spin();
      drawPaddles(4.5, 0.7f);
      glEnable(GL_LIGHTING);
      glTranslated(m_ballX, m_ballY, 0);
      glutSolidSphere(0.2, 40, 40);
      gameStep(2);
      break;
    case 4:  // the camera closes in on the spinning field; the game stands
      lookFrom(m_cameraDistance);
      spin();
      if (m_cameraDistance >= 1.0) m_cameraDistance -= 0.2;
      drawPaddles(4.5, 0.7f);
      glEnable(GL_LIGHTING);
      glutSolidSphere(0.2, 40, 40);
      break;
    default:  // the scene is over: nothing more is drawn
      break;
  }
}

void LaserScene::lookFrom(double distance) { gluLookAt(0, 0, distance, 0, 0, 0, 0, 1, 0); }

void LaserScene::spin() {
  glRotatef(static_cast<float>(m_angleY), 0, 1, 0);
  m_angleY = nextAngle(m_angleY);
  glRotatef(static_cast<float>(m_angleX), 1, 0, 0);
  m_angleX = nextAngle(m_angleX);
}

void LaserScene::drawPaddles(double halfLength, float width) {
  m_leftLine->draw(-4, static_cast<float>(m_leftY + halfLength), 0, -4,
                   static_cast<float>(m_leftY - halfLength), 0, width);
  m_rightLine->draw(4, static_cast<float>(m_rightY + halfLength), 0, 4,
                    static_cast<float>(m_rightY - halfLength), 0, width);
}

void LaserScene::gameStep(double factor) {
  m_ballX += factor * m_ballVX;
  m_ballY += factor * m_ballVY;

  // The paddle on the side the ball is heading for follows it.
  double& paddle = m_ballVX < 0 ? m_leftY : m_rightY;
  if (m_ballY < paddle) {
    paddle -= PADDLE_STEP;
  } else if (m_ballY > paddle) {
    paddle += PADDLE_STEP;
  }

  if (m_ballX <= -3.8 || m_ballX >= 3.8) m_ballVX = -m_ballVX;
  if (m_ballY <= -3.5 || m_ballY >= 3.5) m_ballVY = -m_ballVY;
}
