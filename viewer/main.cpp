#include <iostream>
#include <string>

// The viewer's window and renderer come next; until then it says so plainly.
int main(int argc, char** argv) {
  const char* usage =
      "usage:\n"
      "  orbiscope [FILE.dxf]                           open the viewer window\n"
      "  orbiscope --export OUT.png|OUT.bmp [--view plan|bottom|left|right|front|back|sw|se|ne|nw]\n"
      "            [--tab N] [--size WxH] FILE.dxf      render without a window\n"
      "  orbiscope --info FILE.dxf                      print what was loaded\n";
  if (argc > 1 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
    std::cout << usage;
    return 0;
  }
  if (argc > 1 && std::string(argv[1]) == "--version") {
    std::cout << "Orbiscope " << TERRALINEA_VERSION << "\n";
    return 0;
  }
  std::cerr << "orbiscope: the viewer is not built yet (no DXF reader, window or renderer).\n" << usage;
  return 1;
}
