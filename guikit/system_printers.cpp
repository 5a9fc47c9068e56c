#include "guikit/system_printers.h"

#include <QPageSize>
#include <QPrinterInfo>

namespace guikit {

void addSystemPrinters(platform::PrinterCatalogue& catalogue) {
  for (const QPrinterInfo& info : QPrinterInfo::availablePrinters()) {
    const std::string name = info.printerName().toStdString();
    if (name.empty() || catalogue.hasPrinter(name)) continue;
    platform::PrinterDescription printer;
    printer.name = name;
    for (const QPageSize& size : info.supportedPageSizes()) {
      const QSizeF mm = size.size(QPageSize::Millimeter);
      if (mm.isEmpty()) continue;
      printer.papers.push_back({size.name().toStdString(), static_cast<int>(size.id()), mm.width(), mm.height()});
    }
    if (!printer.papers.empty()) catalogue.addPrinter(std::move(printer));
  }
}

}  // namespace guikit
