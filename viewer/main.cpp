// orbiscope: the viewer window, or without any display an image of a view (--export) or
// what a file holds (--info).
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/numbers.h"
#include "viewer/dxf/drawing.h"
#include "viewer/gl/export.h"
#include "viewer/ui/app.h"
#include "viewer/ui/pdf_export.h"

namespace {

const char* kUsage =
    "usage:\n"
    "  orbiscope [FILE.dxf]                           open the viewer window\n"
    "  orbiscope --export OUT.png|OUT.bmp [--view plan|bottom|left|right|front|back|sw|se|ne|nw]\n"
    "            [--tab N] [--size WxH] FILE.dxf      render without a window\n"
    "  orbiscope --export OUT.pdf [--tab N] FILE.dxf  a layout on its paper at its plot scale\n"
    "  orbiscope --info FILE.dxf                      print what was loaded\n";

int usageError(const std::string& what) {
  std::cerr << "orbiscope: " << what << "\n" << kUsage;
  return 2;
}

// Counts one per line, "name value", in a fixed order that scripts can rely on.
int info(const std::string& file) {
  viewer::Drawing d;
  viewer::LoadError error;
  if (!viewer::loadDrawing(file, d, error)) {
    std::cerr << "orbiscope: " << file << ": " << error.caption << ": " << error.text << "\n";
    return 1;
  }
  long long viewports = 0, layouts = 0;
  for (std::size_t i = 1; i < d.views.size(); ++i) ++viewports;
  for (std::size_t i = 1; i < d.layouts.size(); ++i) layouts += d.layouts[i].present;
  std::cout << "layers " << d.layers.size() << "\n"
            << "blocks " << d.blocks.size() << "\n"
            << "layouts " << layouts << "\n"
            << "viewports " << viewports << "\n"
            << "points " << d.points.size() << "\n"
            << "glyphs " << d.glyphs.size() << "\n"
            << "model-view " << (d.hasModelView ? "saved" : "fitted") << "\n";
  for (const auto& [kind, count] : d.entityCounts) std::cout << "entity " << kind << " " << count << "\n";
  for (const auto& note : d.notes) std::cout << "note " << note << "\n";
  return 0;
}

int exportImage(const std::vector<std::string>& args) {
  std::string out, file, view;
  int tab = 0, width = 1600, height = 1000;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    std::string text;
    if (a == "--export") {
      if (!value(out)) return usageError("--export needs a file name");
    } else if (a == "--view") {
      if (!value(view)) return usageError("--view needs a direction");
    } else if (a == "--tab") {
      if (!value(text)) return usageError("--tab needs a number");
      if (!platform::parseWhole(text, tab) || tab < 0 || tab > 63)
        return usageError("--tab takes a tab number 0 to 63");
    } else if (a == "--size") {
      if (!value(text)) return usageError("--size needs WxH");
      const auto x = text.find('x');
      int w = 0, h = 0;
      if (x == std::string::npos || !platform::parseWhole(std::string_view(text).substr(0, x), w) ||
          !platform::parseWhole(std::string_view(text).substr(x + 1), h) || w < 16 || h < 16 || w > 16384 || h > 16384)
        return usageError("--size takes WxH from 16 to 16384, e.g. 1600x1000");
      width = w;
      height = h;
    } else if (!a.empty() && a[0] == '-') {
      return usageError("unknown option " + a);
    } else if (file.empty()) {
      file = a;
    } else {
      return usageError("one drawing at a time");
    }
  }
  if (file.empty()) return usageError("no drawing given");
  const std::vector<std::pair<const char*, viewer::ViewDirection>> names = {
      {"plan", viewer::ViewDirection::plan},    {"bottom", viewer::ViewDirection::bottom},
      {"left", viewer::ViewDirection::left},    {"right", viewer::ViewDirection::right},
      {"front", viewer::ViewDirection::front},  {"back", viewer::ViewDirection::back},
      {"sw", viewer::ViewDirection::southWest}, {"se", viewer::ViewDirection::southEast},
      {"ne", viewer::ViewDirection::northEast}, {"nw", viewer::ViewDirection::northWest}};
  std::optional<viewer::ViewDirection> direction;
  if (!view.empty()) {
    for (const auto& [name, d] : names)
      if (view == name) direction = d;
    if (!direction) return usageError("unknown view " + view);
  }
  const auto lower = out.size() >= 4 ? out.substr(out.size() - 4) : std::string();
  std::string error;
  if (lower == ".pdf" || lower == ".PDF") {
    if (!viewer::exportPdf(file, out, tab, error)) {
      std::cerr << "orbiscope: " << error << "\n";
      return 1;
    }
    return 0;
  }
  if (lower != ".png" && lower != ".bmp" && lower != ".PNG" && lower != ".BMP")
    return usageError("the image is written as .png, .bmp or .pdf");
  if (!viewer::exportImage(file, out, tab, direction, width, height, error)) {
    std::cerr << "orbiscope: " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  if (args.size() > 1 && (args[1] == "--help" || args[1] == "-h")) {
    std::cout << kUsage;
    return 0;
  }
  if (args.size() > 1 && args[1] == "--version") {
    std::cout << "Orbiscope " << TERRALINEA_VERSION << "\n";
    return 0;
  }
  if (args.size() > 1 && args[1] == "--info") {
    if (args.size() != 3) return usageError("--info takes one drawing");
    return info(args[2]);
  }
  if (args.size() > 1 && args[1] == "--export") return exportImage(args);
  if (args.size() > 2) return usageError("one drawing at a time");
  if (args.size() == 2 && !args[1].empty() && args[1][0] == '-') return usageError("unknown option " + args[1]);
  return viewer::runWindow(argc, argv, args.size() == 2 ? args[1] : std::string());
}
