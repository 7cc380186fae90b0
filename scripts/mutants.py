"""The mutants of scripts/mutate.
  mutants.py list SOURCE...   one JSON object a line: {"file", "line" (1-based),
                              "count" (lines replaced), "text" (their new text), "what"}
  mutants.py describe         the mutant on stdin as "file TAB line TAB what"
  mutants.py apply            writes the mutant on stdin into its file"""
import json
import re
import sys

# Spaced binary operators only: clang-format spaces them, and so a template's
# angle brackets, a pointer's star and "->" are never taken for one.
OPERATORS = [(" == ", " != "), (" != ", " == "), (" <= ", " < "), (" >= ", " > "),
             (" < ", " <= "), (" > ", " >= "), (" && ", " || "), (" || ", " && "),
             (" + ", " - "), (" - ", " + "), (" / ", " * "), ("++", "--"), ("(!", "(")]
CALL_STATEMENT = re.compile(r"^\s*[A-Za-z_][\w:]*(->\w+|\.\w+)?\(.*\);$")
ASSIGNMENT = re.compile(r"^\s*[A-Za-z_][\w\[\]\.*>-]* = [^=].*;$")
NUMBER = re.compile(r"(?<![\w.])(\d+)(?![\w.])")


def code_of(line):
    """The line with string and character literals blanked, so that nothing in
    them is mutated, and without its trailing comment."""
    blanked = re.sub(r'"(\\.|[^"\\])*"', lambda m: '"' + " " * (len(m.group()) - 2) + '"', line)
    blanked = re.sub(r"'(\\.|[^'\\])*'", lambda m: "'" + " " * (len(m.group()) - 2) + "'", blanked)
    comment = blanked.find("//")
    return blanked if comment < 0 else blanked[:comment]


def is_code(code):
    stripped = code.strip()
    return stripped and not stripped.startswith(("#", "//", "namespace", "}")) and \
        not re.match(r"^(const )?(size_t|char|int) k\w+", stripped)


def at(code, text, position, old, new):
    return text[:position] + new + text[position + len(old):]


def mutants_of(path):
    with open(path, encoding="utf-8") as source:
        lines = source.read().split("\n")
    out = []

    def add(line, what, text, count=1):
        out.append({"file": path, "line": line, "count": count, "text": text, "what": what})

    for number, line in enumerate(lines, 1):
        code = code_of(line)
        if not is_code(code):
            continue
        for old, new in OPERATORS:
            for match in re.finditer(re.escape(old), code):
                add(number, f"'{old.strip()}' -> '{new.strip()}'", at(code, line, match.start(), old, new))
        for match in NUMBER.finditer(code):
            value = int(match.group(1))
            if "[" in code[:match.start()] and "]" in code[match.end():]:
                continue  # an array's size: a compile-time matter
            changed = str(value + 1 if value != 1 else 0)
            add(number, f"{value} -> {changed}", at(code, line, match.start(), match.group(1), changed))
        if CALL_STATEMENT.match(code.rstrip()):
            indent = line[:len(line) - len(line.lstrip())]
            add(number, "call removed", indent + ";")
        following = code_of(lines[number]) if number < len(lines) else ""
        simple = lambda c: CALL_STATEMENT.match(c.rstrip()) or ASSIGNMENT.match(c.rstrip())
        indent = lambda c: len(c) - len(c.lstrip())
        if simple(code) and simple(following) and indent(code) == indent(following):
            add(number, "statements swapped", lines[number] + "\n" + line, count=2)
    return out


def apply(mutant):
    with open(mutant["file"], encoding="utf-8") as source:
        lines = source.read().split("\n")
    first = mutant["line"] - 1
    lines[first:first + mutant["count"]] = mutant["text"].split("\n")
    with open(mutant["file"], "w", encoding="utf-8") as source:
        source.write("\n".join(lines))


if sys.argv[1] == "list":
    for source in sys.argv[2:]:
        for mutant in mutants_of(source):
            print(json.dumps(mutant, ensure_ascii=False))
else:
    mutant = json.loads(sys.stdin.read())
    if sys.argv[1] == "describe":
        print(f"{mutant['file']}\t{mutant['line']}\t{mutant['what']}")
    else:
        apply(mutant)
