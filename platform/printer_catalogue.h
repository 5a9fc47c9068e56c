#pragma once
// Printers and their papers. The catalogue always offers the built-in printer
// "Terralinea Paper" (600 dpi, portrait, printable offset 100 pixels on every side) so
// that headless runs do not depend on the machine; the GUI adds the system's printers.
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct Paper {
  std::string name;    // as listed to the user, e.g. "A4", "B4 (JIS)"
  int code = 0;        // driver paper code kept with the name
  double widthMm = 0;  // portrait size
  double heightMm = 0;
};

// Device capabilities for the printer's current orientation, in device pixels.
struct PrinterGeometry {
  int dpiX = 0, dpiY = 0;
  int physicalWidth = 0, physicalHeight = 0;
  int printableWidth = 0, printableHeight = 0;
  int offsetX = 0, offsetY = 0;
  bool landscape = false;  // the printer's current orientation
};

struct PrinterDescription {
  std::string name;
  int dpi = 600;
  bool landscape = false;
  int marginPx = 100;  // unprintable border on every side
  std::vector<Paper> papers;
};

class PrinterCatalogue {
 public:
  // The catalogue with the built-in printer only.
  PrinterCatalogue();
  static const char* builtInName() { return "Terralinea Paper"; }

  void addPrinter(PrinterDescription printer);
  std::vector<std::string> printerNames() const;
  bool hasPrinter(const std::string& name) const;
  // Papers of the printer, nullopt for an unknown printer.
  std::optional<std::vector<Paper>> papers(const std::string& printer) const;
  // Geometry of the printer with the paper of that name selected; nullopt when the
  // printer or paper is unknown. Sizes are whole pixels (rounded from millimetres).
  std::optional<PrinterGeometry> geometry(const std::string& printer, const std::string& paperName) const;

 private:
  std::vector<PrinterDescription> printers_;
};

}  // namespace platform
