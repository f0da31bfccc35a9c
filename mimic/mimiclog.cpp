#include "mimiclog.h"

// Quiet unless asked for: QT_LOGGING_RULES="q900.mimic.debug=true".
Q_LOGGING_CATEGORY(lcMimic, "q900.mimic", QtWarningMsg)
