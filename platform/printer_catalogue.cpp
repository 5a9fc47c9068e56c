#include "platform/printer_catalogue.h"

#include <cmath>
#include <utility>

namespace platform {
namespace {

constexpr double kMmPerInch = 25.4;

// Portrait sizes; the codes are the drivers' paper numbers where one exists, else
// private numbers above 256. The Japanese B sizes are JIS B, not ISO B.
std::vector<Paper> builtInPapers() {
  return {
      {"A0", 257, 841, 1189},
      {"A1", 258, 594, 841},
      {"A2", 66, 420, 594},
      {"A3", 8, 297, 420},
      {"A4", 9, 210, 297},
      {"A5", 11, 148, 210},
      {"B1 (JIS)", 259, 728, 1030},
      {"B2 (JIS)", 260, 515, 728},
      {"B3 (JIS)", 261, 364, 515},
      {"B4 (JIS)", 12, 257, 364},
      {"B5 (JIS)", 13, 182, 257},
      {"Letter", 1, 8.5 * kMmPerInch, 11 * kMmPerInch},
      {"Legal", 5, 8.5 * kMmPerInch, 14 * kMmPerInch},
      {"Tabloid", 3, 11 * kMmPerInch, 17 * kMmPerInch},
  };
}

int toPixels(double mm, int dpi) { return static_cast<int>(std::lround(mm / kMmPerInch * dpi)); }

}  // namespace

PrinterCatalogue::PrinterCatalogue() {
  PrinterDescription builtIn;
  builtIn.name = builtInName();
  builtIn.dpi = 600;
  builtIn.landscape = false;
  builtIn.marginPx = 100;
  builtIn.papers = builtInPapers();
  printers_.push_back(std::move(builtIn));
}

void PrinterCatalogue::addPrinter(PrinterDescription printer) { printers_.push_back(std::move(printer)); }

std::vector<std::string> PrinterCatalogue::printerNames() const {
  std::vector<std::string> names;
  names.reserve(printers_.size());
  for (const PrinterDescription& p : printers_) names.push_back(p.name);
  return names;
}

bool PrinterCatalogue::hasPrinter(const std::string& name) const {
  for (const PrinterDescription& p : printers_) {
    if (p.name == name) return true;
  }
  return false;
}

std::optional<std::vector<Paper>> PrinterCatalogue::papers(const std::string& printer) const {
  for (const PrinterDescription& p : printers_) {
    if (p.name == printer) return p.papers;
  }
  return std::nullopt;
}

std::optional<PrinterGeometry> PrinterCatalogue::geometry(const std::string& printer,
                                                          const std::string& paperName) const {
  for (const PrinterDescription& p : printers_) {
    if (p.name != printer) continue;
    for (const Paper& paper : p.papers) {
      if (paper.name != paperName) continue;
      PrinterGeometry g;
      g.dpiX = g.dpiY = p.dpi;
      g.landscape = p.landscape;
      g.physicalWidth = toPixels(p.landscape ? paper.heightMm : paper.widthMm, p.dpi);
      g.physicalHeight = toPixels(p.landscape ? paper.widthMm : paper.heightMm, p.dpi);
      g.printableWidth = g.physicalWidth - 2 * p.marginPx;
      g.printableHeight = g.physicalHeight - 2 * p.marginPx;
      g.offsetX = g.offsetY = p.marginPx;
      return g;
    }
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace platform
