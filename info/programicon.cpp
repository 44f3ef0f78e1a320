#include "programicon.h"

namespace Info {

QPixmap ProgramPixmap() {
    return QPixmap(QStringLiteral(":/info/schotterfix.png"));
}

QIcon ProgramIcon() {
    // The window system scales the one large picture down to the title bar and task bar.
    QIcon icon;
    icon.addPixmap(ProgramPixmap());
    return icon;
}

} // namespace Info
