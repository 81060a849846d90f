#include "config_dir.h"

#include <QStandardPaths>

namespace ionvane::station {

QString ConfigDir() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

} // namespace ionvane::station
