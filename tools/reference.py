#!/usr/bin/env python3
"""Writes docs/reference.md from the type stubs of the six modules the package delivers and `window`.

    tools/reference.py           rewrite docs/reference.md
    tools/reference.py --check   exit 1 when docs/reference.md differs from what the stubs give

Every module, class, function, property and module-level name with its signature and docstring,
read with `ast` (nothing is imported). Docstrings use short sections (Args:, Returns:, Raises:)
whose indented items become Markdown lists. The test run regenerates the file and compares.
"""
import ast
import inspect
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
MODULES = ["window", "image", "sound", "cursor", "colors", "parser", "sigil"]
OUTPUT = ROOT / "docs" / "reference.md"
SECTIONS = ("Args:", "Returns:", "Raises:")


def stub_path(name):
    return ROOT / "src" / "tovara" / name / f"{name}.pyi"


def is_public(name):
    return not name.startswith("_") or (name.startswith("__") and name.endswith("__"))


def docstring_after(body, index):
    """The string literal right after body[index] (an attribute docstring), or None."""
    if index + 1 < len(body):
        following = body[index + 1]
        if isinstance(following, ast.Expr) and isinstance(following.value, ast.Constant) \
                and isinstance(following.value.value, str):
            return inspect.cleandoc(following.value.value)
    return None


def decorators(node):
    return [ast.unparse(d) for d in node.decorator_list]


def is_accessor(node):
    """A property's setter or deleter: documented by its getter."""
    return any(d.endswith((".setter", ".deleter")) for d in decorators(node))


def signature(node, owner=None):
    arguments = node.args
    if owner and "staticmethod" not in decorators(node):
        # Drop self (cls) from what a caller writes.
        arguments = ast.arguments(posonlyargs=arguments.posonlyargs[1:] if arguments.posonlyargs else [],
                                  args=arguments.args[0 if arguments.posonlyargs else 1:],
                                  vararg=arguments.vararg, kwonlyargs=arguments.kwonlyargs,
                                  kw_defaults=arguments.kw_defaults, kwarg=arguments.kwarg,
                                  defaults=arguments.defaults)
    text = f"{node.name}({ast.unparse(arguments)})"
    return text + (f" -> {ast.unparse(node.returns)}" if node.returns else "")


def markdown(doc):
    """A docstring as Markdown: sections in bold, their indented items as list entries."""
    out, in_section = [], None
    for line in doc.splitlines():
        stripped = line.strip()
        if stripped in SECTIONS:
            out += ["", f"**{stripped[:-1]}:**", ""] + ([""] if stripped == "Returns:" else [])
            in_section = stripped
        elif in_section == "Returns:" and line.startswith("    "):
            out[-1] = (out[-1] + " " + stripped).strip()  # one paragraph
        elif in_section and line.startswith("    ") and not line.startswith("        "):
            item = re.match(r"(\S+?): (.*)", stripped)
            out.append(f"- `{item[1]}`: {item[2]}" if item and " " not in item[1] else f"- {stripped}")
        elif in_section and line.startswith("        "):
            out[-1] += " " + stripped  # a continuation of the item above
        else:
            in_section = in_section if stripped else None
            out.append(stripped if in_section else line)
    return "\n".join(out).strip()


def undocumented(path):
    """Public names of a stub without a docstring, as dotted paths."""
    tree = ast.parse(path.read_text())
    missing = [] if ast.get_docstring(tree) else ["<module>"]

    def scan(body, prefix):
        for index, node in enumerate(body):
            if isinstance(node, (ast.FunctionDef, ast.ClassDef)) and is_public(node.name):
                if isinstance(node, ast.FunctionDef) and is_accessor(node):
                    continue
                if ast.get_docstring(node) is None:
                    missing.append(prefix + node.name)
                if isinstance(node, ast.ClassDef):
                    scan(node.body, prefix + node.name + ".")
            elif isinstance(node, ast.AnnAssign) and is_public(node.target.id) and docstring_after(body, index) is None:
                missing.append(prefix + node.target.id)

    scan(tree.body, "")
    return missing


def render_module(name):
    path = stub_path(name)
    source = path.read_text()
    tree = ast.parse(source)
    lines = [f"## `tovara.{name}.{name}`", "", markdown(ast.get_docstring(tree) or ""), ""]

    def member(node, owner, level):
        heading = "#" * level
        qualified = f"{owner}." if owner else ""
        if isinstance(node, ast.ClassDef):
            bases = f"({', '.join(ast.unparse(b) for b in node.bases)})" if node.bases else ""
            lines.extend([f"{heading} class `{qualified}{node.name}{bases}`", "",
                          markdown(ast.get_docstring(node) or ""), ""])
            render_body(node.body, node.name, level + 1)
            return
        kinds = [d for d in decorators(node) if d in ("staticmethod", "property")]
        if "property" in decorators(node):
            kind = "property, " + access(node)
            title = f"{qualified}{node.name}: {ast.unparse(node.returns)}"
        else:
            kind = ", ".join(k.replace("staticmethod", "static method") for k in kinds)
            title = qualified + signature(node, owner)
        lines.extend([f"{heading} `{title}`" + (f" ({kind})" if kind else ""), "",
                      markdown(ast.get_docstring(node) or ""), ""])

    accessors = {}

    def access(node):
        """read-only, or settable (with the type it takes when that differs) and deletable."""
        found = []
        setter = accessors.get(f"{node.name}.setter")
        if setter:
            taken = ast.unparse(setter.args.args[1].annotation)
            found.append("settable" + (f" (`{taken}`)" if taken != ast.unparse(node.returns) else ""))
        if f"{node.name}.deleter" in accessors:
            found.append("deletable")
        return " and ".join(found) or "read-only"

    def is_short_property(node):
        doc = ast.get_docstring(node) or ""
        return "property" in decorators(node) and "\n" not in doc

    def table(rows, owner):
        """Properties whose docstring is one line, as one table."""
        lines.extend(["| property | type | access | description |", "|---|---|---|---|"])
        for node in rows:
            cells = [f"`{owner}.{node.name}`", f"`{ast.unparse(node.returns)}`", access(node),
                     ast.get_docstring(node) or ""]
            lines.append("| " + " | ".join(cell.replace("|", "\\|") for cell in cells) + " |")
        lines.append("")

    def render_body(body, owner, level):
        for node in body:
            if isinstance(node, ast.FunctionDef):
                accessors.update((d, node) for d in decorators(node) if d.endswith((".setter", ".deleter")))
        short = []
        for index, node in enumerate(body):
            if isinstance(node, ast.FunctionDef) and is_public(node.name) and is_short_property(node):
                short.append(node)
                continue
            if short and not (isinstance(node, ast.FunctionDef) and is_accessor(node)):
                table(short, owner)
                short = []
            if isinstance(node, (ast.ClassDef, ast.FunctionDef)) and is_public(node.name):
                if not (isinstance(node, ast.FunctionDef) and is_accessor(node)):
                    member(node, owner, level)
            elif isinstance(node, ast.AnnAssign) and is_public(node.target.id):
                annotation = ast.unparse(node.annotation)
                heading = "#" * level
                if annotation == "TypeAlias":
                    lines.extend([f"{heading} `{node.target.id}` (type alias)", "", "```python",
                                  ast.get_source_segment(source, node), "```", ""])
                else:
                    lines.extend([f"{heading} `{node.target.id}: {annotation}`", ""])
                lines.extend([markdown(docstring_after(body, index) or ""), ""])
        if short:
            table(short, owner)

    render_body(tree.body, None, 3)
    return lines


def render():
    lines = ["# API reference", "",
             "Every public name of the six modules tovara delivers and of `tovara.window.window` (which "
             "opens the window and the audio device they use), with its signature and docstring, "
             "generated by `tools/reference.py` from the type stubs (`src/tovara/<module>/<module>.pyi`). "
             "Do not edit it by hand: the test run regenerates it and fails when it differs. "
             "The [guide](guide.md) shows the modules at work.", ""]
    for name in MODULES:
        lines.extend(render_module(name))
    text = "\n".join(lines)
    return re.sub(r"\n{3,}", "\n\n", text).rstrip() + "\n"


def main():
    text = render()
    if sys.argv[1:] == ["--check"]:
        current = OUTPUT.read_text() if OUTPUT.exists() else ""
        if current != text:
            sys.exit(f"{OUTPUT.relative_to(ROOT)} is out of date: run tools/reference.py")
        return
    OUTPUT.write_text(text)
    print(f"wrote {OUTPUT.relative_to(ROOT)}")


if __name__ == "__main__":
    main()
