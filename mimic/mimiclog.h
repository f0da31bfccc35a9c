#pragma once

#include <QLoggingCategory>

// "q900.mimic": map rebuilds, refused cache files, picture reloads and key messages.
Q_DECLARE_LOGGING_CATEGORY(lcMimic)
