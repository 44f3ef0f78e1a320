#pragma once

#include <QStringList>

#include <memory>

class QPrinter;

// The calculator's tape on paper: one printed line a tape line, pages as they fill.
namespace TapePrinter {

// The system's default printer; nullptr when there is none.
std::unique_ptr<QPrinter> defaultPrinter();

// False when the printer could not start, take a new page or finish the job.
bool print(QPrinter& printer, const QStringList& lines);

} // namespace TapePrinter
