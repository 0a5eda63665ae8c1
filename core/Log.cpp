#include "core/Log.h"

Q_LOGGING_CATEGORY(lcStartup, "quillory.startup", QtWarningMsg)
Q_LOGGING_CATEGORY(lcGame, "quillory.game", QtWarningMsg)
Q_LOGGING_CATEGORY(lcHelp, "quillory.help", QtWarningMsg)
