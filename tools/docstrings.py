#!/usr/bin/env python3
"""Writes the docstrings of one type stub as a C++ header, so that the module shows them at run time.

    tools/docstrings.py STUB HEADER

The build runs it for every module: the stub stays the one place the text is written, and the
module's `__doc__`, its types', methods', functions' and properties' are the stub's, character for
character (as `ast.get_docstring` cleans them). The header defines `tovara::docstrings::<module>`,
a table of (name, text) pairs ended by a null name: "" for the module, "Class", "Class.member" and
"function". Attribute docstrings (the strings after an annotated name) have no object to go on and
are left out.
"""
import ast
import sys
from pathlib import Path


def entries(tree):
    """(name, docstring) of the module and each documented class, def and class member, in stub order."""
    found = {}

    def add(name, node):
        text = ast.get_docstring(node)
        if text is not None:
            found.setdefault(name, text)  # an overloaded def keeps its first docstring

    add("", tree)
    for node in tree.body:
        if isinstance(node, (ast.FunctionDef, ast.ClassDef)):
            add(node.name, node)
        if isinstance(node, ast.ClassDef):
            for member in node.body:
                if isinstance(member, ast.FunctionDef):
                    add(f"{node.name}.{member.name}", member)
    return found.items()


def literal(text):
    """A C++ string literal of `text` in UTF-8; octal escapes, which end after three digits."""
    out = []
    for byte in text.encode():
        char = chr(byte)
        if char in '"\\':
            out.append("\\" + char)
        elif char == "\n":
            out.append("\\n")
        elif 32 <= byte < 127:
            out.append(char)
        else:
            out.append(f"\\{byte:03o}")
    return '"' + "".join(out) + '"'


def header(stub):
    module = stub.stem
    rows = [f"    {{{literal(name)}, {literal(text)}}}," for name, text in entries(ast.parse(stub.read_text()))]
    return "\n".join([
        f"// Made by tools/docstrings.py from {module}.pyi at build time: edit the stub, not this.",
        "#pragma once",
        "",
        '#include "frame/docstrings.h"',
        "",
        "namespace tovara::docstrings {",
        "",
        f"inline constexpr Docstring {module}[] = {{",
        *rows,
        "    {nullptr, nullptr},",
        "};",
        "",
        "}  // namespace tovara::docstrings",
        "",
    ])


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: tools/docstrings.py STUB HEADER")
    stub, output = Path(sys.argv[1]), Path(sys.argv[2])
    text = header(stub)
    output.parent.mkdir(parents=True, exist_ok=True)
    # Rewritten only when it changes, so that a stub edit that leaves the
    # docstrings alone (a type, say) does not rebuild the module.
    if not output.exists() or output.read_text() != text:
        output.write_text(text)


if __name__ == "__main__":
    main()
