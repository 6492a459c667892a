#!/usr/bin/env python3
"""Adds to a user's INI file the keys a newer shipped file has and the user's
file lacks, without touching any line the user's file already holds.

    merge-ini.py SHIPPED USER

Keys are compared as written (QSettings escapes them the same way on both
sides). New keys go at the end of their section; new sections at the end of
the file. The result replaces USER through a temporary file and a rename.
"""
import os
import sys
import tempfile


def parse(lines):
    """Returns [(section, [lines])] in file order; section None is the head."""
    sections = [(None, [])]
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("[") and stripped.endswith("]"):
            sections.append((stripped[1:-1], [line]))
        else:
            sections[-1][1].append(line)
    return sections


def key_of(line):
    stripped = line.strip()
    if not stripped or stripped[0] in ";#" or "=" not in stripped:
        return None
    return stripped.split("=", 1)[0].strip()


def merge(shipped_text, user_text):
    shipped = parse(shipped_text.splitlines(keepends=True))
    user = parse(user_text.splitlines(keepends=True))
    user_keys = {}
    for name, body in user:
        user_keys.setdefault(name, set()).update(k for k in map(key_of, body) if k)
    out = [(name, list(body)) for name, body in user]
    index = {name: i for i, (name, _) in enumerate(out)}
    for name, body in shipped:
        missing = [l for l in body if key_of(l) and key_of(l) not in user_keys.get(name, set())]
        if not missing:
            continue
        missing = [l if l.endswith("\n") else l + "\n" for l in missing]
        if name in index:
            lines = out[index[name]][1]
            # keep the blank lines that separate sections after the new keys
            tail = []
            while lines and not lines[-1].strip():
                tail.insert(0, lines.pop())
            if lines and not lines[-1].endswith("\n"):
                lines[-1] += "\n"
            lines.extend(missing)
            lines.extend(tail)
        else:
            header = "[%s]\n" % name
            if out and out[-1][1] and out[-1][1][-1].strip():
                out[-1][1].append("\n")
            out.append((name, [header] + missing))
            index[name] = len(out) - 1
    return "".join("".join(body) for _, body in out)


def main():
    if len(sys.argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    shipped_path, user_path = sys.argv[1], sys.argv[2]
    with open(shipped_path, encoding="utf-8", errors="surrogateescape") as f:
        shipped = f.read()
    with open(user_path, encoding="utf-8", errors="surrogateescape") as f:
        user = f.read()
    merged = merge(shipped, user)
    if merged == user:
        return 0
    folder = os.path.dirname(os.path.abspath(user_path))
    fd, tmp = tempfile.mkstemp(prefix=".merge-", dir=folder)
    try:
        with os.fdopen(fd, "w", encoding="utf-8", errors="surrogateescape") as f:
            f.write(merged)
            f.flush()
            os.fsync(f.fileno())
        os.chmod(tmp, os.stat(user_path).st_mode & 0o7777)
        os.replace(tmp, user_path)
    except BaseException:
        if os.path.exists(tmp):
            os.unlink(tmp)
        raise
    return 0


if __name__ == "__main__":
    sys.exit(main())
