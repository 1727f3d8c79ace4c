// Refusals in raylib's own log: a file the package will not hand to raylib
// would otherwise leave only raylib's earlier "File loaded successfully".
#include <cstdarg>
#include <cstdio>

#include "hazards/files.h"

namespace tovara::hazards {

namespace {

thread_local const char* loading_name = nullptr;

}  // namespace

LoadingFile::LoadingFile(const char* name) : outer_(loading_name) { loading_name = name; }
LoadingFile::~LoadingFile() { loading_name = outer_; }

bool refuse(const char* subject, const char* type, const char* format, ...) {
    char rule[256];
    std::va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(rule, sizeof rule, format, arguments);
    va_end(arguments);
    if (loading_name)
        TraceLog(LOG_WARNING, "%s: [%s] Refused by tovara: %s", subject, loading_name, rule);
    else
        TraceLog(LOG_WARNING, "%s: Data of type [%s] refused by tovara: %s", subject, type ? type : "", rule);
    return false;
}

}  // namespace tovara::hazards
