#include "viewer/gl/export.h"

#include <exception>

#include "viewer/gl/gl_backend.h"
#include "viewer/gl/image_file.h"
#include "viewer/gl/offscreen.h"
#include "viewer/gl/scene.h"

namespace viewer {

bool renderImage(Drawing& drawing, int tab, int width, int height, bool exportFrame, std::vector<std::uint8_t>& rgb,
                 std::string& error, std::vector<std::string>* notes) {
  try {
    if (width < 1 || height < 1) {
      error = "the image size must be at least 1 x 1 pixels";
      return false;
    }
    Offscreen offscreen;
    if (!offscreen.create(width, height, error)) return false;
    GlScene scene;
    const bool compiled = scene.compile(drawing, pointSymbol(drawing.pointMode));
    if (notes) notes->insert(notes->end(), scene.notes().begin(), scene.notes().end());
    if (!compiled) {
      error = scene.notes().empty() ? "the drawing could not be compiled" : scene.notes().back();
      return false;
    }
    GlBackend backend(scene);
    if (renderView(drawing, tab, width, height, 0, backend, exportFrame) == FrameResult::noPaperView) {
      error = "このレイアウト空間は未設定です";
      scene.release();
      return false;
    }
    rgb = offscreen.readPixels();
    scene.release();
    return true;
  } catch (const std::exception& e) {
    error = std::string("the export failed: ") + e.what();
    return false;
  }
}

bool exportImage(const std::string& dxfPath, const std::string& outPath, int tab,
                 std::optional<ViewDirection> direction, int width, int height, std::string& error,
                 std::vector<std::string>* notes) {
  try {
    // What can be refused before any reading is refused first.
    if (imageFormatOf(outPath) == ImageFormat::unknown) {
      error = "the image file must end in .png or .bmp: " + outPath;
      return false;
    }
    if (width < 1 || height < 1) {
      error = "the image size must be at least 1 x 1 pixels";
      return false;
    }
    Drawing drawing;
    LoadError loadError;
    if (!loadDrawing(dxfPath, drawing, loadError)) {
      error = loadError.text;
      return false;
    }
    if (notes) *notes = drawing.notes;
    const bool layoutTab = tab > 0 && static_cast<std::size_t>(tab) < drawing.layouts.size() &&
                           drawing.layouts[static_cast<std::size_t>(tab)].present;
    if (tab != 0 && !layoutTab) {
      error = "the drawing has no tab " + std::to_string(tab);
      return false;
    }
    // The fit is a plan view; a direction asked for turns it as the view menu would.
    if (drawing.hasModelView)
      adaptModelView(drawing, width, height);
    else
      fitModelView(drawing, width, height);
    if (direction) setViewDirection(drawing, *direction);

    std::vector<std::uint8_t> rgb;
    if (!renderImage(drawing, tab, width, height, false, rgb, error, notes)) return false;
    return writeImage(outPath, width, height, rgb, error);
  } catch (const std::exception& e) {
    error = std::string("the export failed: ") + e.what();
    return false;
  }
}

}  // namespace viewer
