#include "viewer/gl/offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>
#include <mutex>
#include <string>
#include <type_traits>

namespace viewer {
namespace {

// Framebuffer objects are not GL 1.1: fetched from the context's driver.
struct FramebufferCalls {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
  PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
  PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

  bool load() {
    auto get = [](auto& f, const char* name) {
      f = reinterpret_cast<std::remove_reference_t<decltype(f)>>(eglGetProcAddress(name));
      return f != nullptr;
    };
    return get(genFramebuffers, "glGenFramebuffers") && get(bindFramebuffer, "glBindFramebuffer") &&
           get(deleteFramebuffers, "glDeleteFramebuffers") && get(genRenderbuffers, "glGenRenderbuffers") &&
           get(bindRenderbuffer, "glBindRenderbuffer") && get(deleteRenderbuffers, "glDeleteRenderbuffers") &&
           get(renderbufferStorage, "glRenderbufferStorage") &&
           get(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           get(checkFramebufferStatus, "glCheckFramebufferStatus");
  }
};

FramebufferCalls fbo;

bool hasExtension(const char* list, const char* name) {
  if (!list) return false;
  const std::size_t n = std::strlen(name);
  for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += n)
    if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
  return false;
}

// One display for every context of the process; terminated when the last context goes,
// since terminating it frees every context made on it.
std::mutex displayMutex;
EGLDisplay sharedDisplay = EGL_NO_DISPLAY;
int displayUsers = 0;

EGLDisplay acquireDisplay(std::string& error) {
  std::lock_guard lock(displayMutex);
  if (displayUsers > 0) {
    ++displayUsers;
    return sharedDisplay;
  }
  EGLDisplay d = EGL_NO_DISPLAY;
  const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
  auto getPlatformDisplay =
      reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
  if (getPlatformDisplay && hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless"))
    d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
  if (d == EGL_NO_DISPLAY) {
    error = "no EGL surfaceless platform (Mesa's EGL is needed to render without a display)";
    return EGL_NO_DISPLAY;
  }
  EGLint major = 0, minor = 0;
  if (!eglInitialize(d, &major, &minor)) {
    error = "the EGL display could not be initialised";
    return EGL_NO_DISPLAY;
  }
  sharedDisplay = d;
  displayUsers = 1;
  return d;
}

void releaseDisplay() {
  std::lock_guard lock(displayMutex);
  if (displayUsers > 0 && --displayUsers == 0) {
    eglTerminate(sharedDisplay);
    sharedDisplay = EGL_NO_DISPLAY;
  }
}

}  // namespace

Offscreen::~Offscreen() { destroy(); }

bool Offscreen::create(int width, int height, std::string& error) {
  destroy();
  if (width < 1 || height < 1) {
    error = "the image size must be at least 1 x 1 pixels";
    return false;
  }
  EGLDisplay d = acquireDisplay(error);
  if (d == EGL_NO_DISPLAY) return false;
  display_ = d;
  if (!eglBindAPI(EGL_OPENGL_API)) {
    error = "EGL has no desktop OpenGL";
    destroy();
    return false;
  }
  const char* extensions = eglQueryString(d, EGL_EXTENSIONS);
  if (!hasExtension(extensions, "EGL_KHR_surfaceless_context")) {
    error = "EGL cannot make a context current without a surface";
    destroy();
    return false;
  }
  const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
  EGLConfig config = nullptr;
  EGLint configs = 0;
  if (!eglChooseConfig(d, configAttributes, &config, 1, &configs) || configs < 1) config = nullptr;
  if (!config && !hasExtension(extensions, "EGL_KHR_no_config_context")) {
    error = "EGL offers no configuration for desktop OpenGL";
    destroy();
    return false;
  }
  // The compatibility profile keeps display lists, the matrix stacks and glBegin.
  const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                      EGL_NONE};
  EGLContext c = eglCreateContext(d, config ? config : EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, contextAttributes);
  if (c == EGL_NO_CONTEXT) {
    error = "EGL could not make an OpenGL compatibility context";
    destroy();
    return false;
  }
  context_ = c;
  if (!eglMakeCurrent(d, EGL_NO_SURFACE, EGL_NO_SURFACE, c)) {
    error = "the OpenGL context could not be made current";
    destroy();
    return false;
  }
  if (!fbo.load()) {
    error = "the OpenGL driver has no framebuffer objects";
    destroy();
    return false;
  }
  GLint largest = 0;
  glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largest);
  if (width > largest || height > largest) {
    error = "the image may be at most " + std::to_string(largest) + " pixels wide and high";
    destroy();
    return false;
  }
  fbo.genFramebuffers(1, &framebuffer_);
  fbo.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  fbo.genRenderbuffers(1, &colour_);
  fbo.bindRenderbuffer(GL_RENDERBUFFER, colour_);
  fbo.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
  fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
  fbo.genRenderbuffers(1, &depth_);
  fbo.bindRenderbuffer(GL_RENDERBUFFER, depth_);
  fbo.renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  fbo.framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth_);
  if (fbo.checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
    error =
        "the framebuffer of " + std::to_string(width) + " x " + std::to_string(height) + " pixels could not be made";
    destroy();
    return false;
  }
  width_ = width;
  height_ = height;
  glViewport(0, 0, width, height);
  return true;
}

bool Offscreen::makeCurrent() {
  if (!context_) return false;
  if (!eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) return false;
  fbo.bindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  return true;
}

std::vector<std::uint8_t> Offscreen::readPixels() const {
  std::vector<std::uint8_t> rgb(std::size_t(width_) * height_ * 3);
  if (rgb.empty()) return rgb;
  const std::size_t row = std::size_t(width_) * 3;
  std::vector<std::uint8_t> bottomUp(rgb.size());
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
  for (int y = 0; y < height_; ++y)
    std::memcpy(rgb.data() + std::size_t(y) * row, bottomUp.data() + std::size_t(height_ - 1 - y) * row, row);
  return rgb;
}

void Offscreen::destroy() {
  if (context_) {
    if (eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_)) {
      if (framebuffer_) fbo.deleteFramebuffers(1, &framebuffer_);
      if (colour_) fbo.deleteRenderbuffers(1, &colour_);
      if (depth_) fbo.deleteRenderbuffers(1, &depth_);
    }
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display_, context_);
  }
  if (display_) releaseDisplay();
  display_ = context_ = nullptr;
  framebuffer_ = colour_ = depth_ = 0;
  width_ = height_ = 0;
}

}  // namespace viewer
