#pragma once

#include <QString>

namespace tolvane {

// The "Stand: " text of a pass phrase date (an OLE date): "Stand: bisher keine Angaben" for a
// date that was never set (day 0) or is no date (outside the years 100 to 9999), otherwise the date in the
// user's short date format and the time in the long time format, without the time when it is exactly
// midnight.
QString standText(double keyDate);

} // namespace tolvane
