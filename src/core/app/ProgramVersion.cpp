#include "app/ProgramVersion.h"

QString ProgramVersion() {
    return QStringLiteral(MARIVANE_VERSION);
}
