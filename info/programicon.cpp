#include "programicon.h"

namespace Info {

QPixmap programPixmap() {
    return QPixmap(QStringLiteral(":/info/schotterfix.png"));
}

QIcon programIcon() {
    // The window system scales the one large picture down to the title bar and task bar.
    QIcon icon;
    icon.addPixmap(programPixmap());
    return icon;
}

} // namespace Info
