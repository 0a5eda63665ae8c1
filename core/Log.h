#pragma once

#include <QLoggingCategory>

// What the program found and did, for whoever looks into an installation: the question database
// it plays from, the questions it deals, the help it opens. Silent unless enabled, for example
// with QT_LOGGING_RULES="quillory.*=true".
Q_DECLARE_LOGGING_CATEGORY(lcStartup)
Q_DECLARE_LOGGING_CATEGORY(lcGame)
Q_DECLARE_LOGGING_CATEGORY(lcHelp)
