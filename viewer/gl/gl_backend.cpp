#include "viewer/gl/gl_backend.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace viewer {

void GlBackend::clear(Rgb colour) {
  // Later drawing covers earlier drawing: no depth test, whatever the context was left with.
  glDisable(GL_DEPTH_TEST);
  glClearColor(colour.r, colour.g, colour.b, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GlBackend::viewport(int x, int y, int width, int height) { glViewport(x, y, width, height); }

void GlBackend::ortho(double left, double right, double bottom, double top, double near, double far) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(left, right, bottom, top, near, far);
  glMatrixMode(GL_MODELVIEW);
}

void GlBackend::identity() {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void GlBackend::lookAt(Vec3 eye, Vec3 centre, Vec3 up) {
  gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, up.x, up.y, up.z);
}

void GlBackend::rotate(double degrees, Vec3 axis) { glRotated(degrees, axis.x, axis.y, axis.z); }
void GlBackend::translate(Vec3 by) { glTranslated(by.x, by.y, by.z); }
void GlBackend::scale(double factor) { glScaled(factor, factor, factor); }
void GlBackend::push() { glPushMatrix(); }
void GlBackend::pop() { glPopMatrix(); }
void GlBackend::colour(Rgb colour) { glColor3f(colour.r, colour.g, colour.b); }
void GlBackend::lineWidth(float width) { glLineWidth(width); }

void GlBackend::stipple(bool on, int factor, std::uint16_t pattern) {
  if (on) {
    glLineStipple(factor, pattern);
    glEnable(GL_LINE_STIPPLE);
  } else {
    glDisable(GL_LINE_STIPPLE);
  }
}

void GlBackend::lineLoop(std::span<const Vec3> points) {
  glBegin(GL_LINE_LOOP);
  for (const Vec3& p : points) glVertex3d(p.x, p.y, p.z);
  glEnd();
}

void GlBackend::filledRectangle(double x0, double y0, double x1, double y1) { glRectd(x0, y0, x1, y1); }

void GlBackend::finish() { glFlush(); }

}  // namespace viewer
