#!/usr/bin/env python3
"""Fails on a public member function whose name breaks the naming rule of
docs/ARCHITECTURE.md: public member functions UpperCamel, private ones and
file-local helpers lowerCamel. The generic report engine, its widgets and the
test support follow Qt's lowerCamel throughout; overrides keep the name of
what they override; the names allowed here (allowed-names.txt) are the
accessors of small value types, which keep the standard library's form.

    check_names.py SOURCE_DIR ALLOWED [EXTRA_HEADER AS]
"""
import pathlib
import re
import sys

CHECKED = ["common", "protocol", "account", "service", "controls", "forms", "reports", "views", "app", "server", "tour"]


def public_sections(text):
    text = re.sub(r"//[^\n]*", "", text)
    for m in re.finditer(r"\bpublic\s*:(.*?)(?=\b(?:private|protected|public)\s*(?:Q_SLOTS\s*)?:|Q_SIGNALS\s*:|\n\};)",
                         text, re.S):
        yield m.group(1)


def public_names(text):
    names = []
    for section in public_sections(text):
        previous = None
        while previous != section:  # inline bodies out, innermost first
            previous, section = section, re.sub(r"\{[^{}]*\}", ";", section)
        for declaration in section.split(";"):
            d = " ".join(declaration.split())
            if any(word in d for word in ("override", "operator")) or d.startswith(("using", "friend", "Q_")):
                continue
            m = re.match(r"^(?:template\s*<[^>]*>\s*)?(?:(?:static|virtual|explicit|inline|constexpr|\[\[nodiscard\]\])\s+)*"
                         r"(?:[\w:<>,\*&]+\s+)+[\*&]*([a-z]\w*)\s*\(", d)
            if m:
                names.append(m.group(1))
    return names


def main():
    source = pathlib.Path(sys.argv[1])
    allowed = set()
    for line in pathlib.Path(sys.argv[2]).read_text(encoding="utf-8").splitlines():
        if line.strip() and not line.startswith("#"):
            name, _, reason = line.partition("|")
            if not reason.strip():
                sys.exit(f"{sys.argv[2]}: no reason given for {name}")
            allowed.add(name.strip())
    headers = [(p, p.relative_to(source).as_posix()) for folder in CHECKED for p in sorted((source / folder).rglob("*.h"))]
    if len(sys.argv) > 4:
        headers.append((pathlib.Path(sys.argv[3]), sys.argv[4]))
    if len(headers) < 100:
        sys.exit(f"only {len(headers)} headers under {source}: wrong folder?")
    found = [f"{shown}: {name}() (public: UpperCamel)"
             for path, shown in headers
             for name in public_names(path.read_text(encoding="utf-8"))
             if name not in allowed]
    if found:
        print(f"{len(found)} public name(s) against the naming rule:\n  " + "\n  ".join(found))
        return 1
    print(f"naming rule kept: {len(headers)} headers checked")
    return 0


if __name__ == "__main__":
    sys.exit(main())
