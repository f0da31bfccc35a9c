#include "mimiclog.h"

Q_LOGGING_CATEGORY(lcMimic, "q900.mimic")
