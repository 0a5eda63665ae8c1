#pragma once

// The SQLCipher C API with its key functions (sqlite3_key and friends) declared.
#ifndef SQLITE_HAS_CODEC
#define SQLITE_HAS_CODEC 1
#endif
#include <sqlcipher/sqlite3.h>
