#pragma once
// The calculation report laid out on A4 pages with Qt Gui: one layout for
// the PDF file and for the printer (the print preview paints through it
// too). The text is real text in the WenQuanYi font, so a PDF embeds the
// font and its text can be selected and searched; the pictures are painted
// as vectors by the figure painter the windows use.
#include <QByteArray>

#include <filesystem>

#include "report/calculation_report.h"

class QPagedPaintDevice;

namespace trelmox::paint {

// A4 portrait with the report's margins.
void setReportPageLayout(QPagedPaintDevice& device);

// Paints every page onto `device` (whose page layout the caller has set):
// the cover, then the sections, with the report's header and "第 n 页 共
// N 页" on every page. Returns the number of pages.
int paintReport(const CalculationReport& report, QPagedPaintDevice& device);

// The report as a PDF document.
QByteArray reportPdf(const CalculationReport& report);
// The same written to `path`, replaced atomically. Throws Error when the
// file cannot be written.
void writeReportPdf(const std::filesystem::path& path, const CalculationReport& report);

} // namespace trelmox::paint
