// The docstrings a module shows at run time. tools/docstrings.py writes each
// module's table from its type stub at build time, so that the stub and
// help() say the same thing.
#pragma once

namespace tovara {

struct Docstring {
    const char* name;  // "" (the module), "Class", "Class.member" or "function"; null ends a table
    const char* text;
};

}  // namespace tovara
