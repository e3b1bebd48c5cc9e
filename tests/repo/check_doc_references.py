#!/usr/bin/env python3
"""Fails when a Markdown document names a file, test or benchmark that the repository does not have.

Usage: check_doc_references.py SOURCE_DIR

Looked at in every tracked .md file (inline code, fenced blocks and link targets):
  - paths such as `raster/clip.cpp`, `tests/<subsystem>/*.cpp` or `docs/`, relative to the
    repository root (leading ./ and ../ dropped); <placeholders> and * stand for any one name,
    and a pattern must match at least one file. Build folders (build*/, <build>/), absolute
    paths and URLs are left alone;
  - bare source file names such as `pixel_blend.h`, which some tracked file must carry;
  - GoogleTest names written Suite.Name (anywhere in the text) and every pattern of a
    --gtest_filter, which must name or match a TEST in tests/;
  - `ctest -R` patterns and ctest, fuzz target, test executable and benchmark names.
"""
import fnmatch
import os
import re
import subprocess
import sys

SOURCE_EXTENSIONS = {"cpp", "h", "hpp", "inl", "c", "py", "sh", "md", "cmake", "supp", "txt", "png", "bmp", "json"}
BARE_NAME_EXTENSIONS = {"cpp", "h", "hpp", "inl", "c", "py", "sh", "md", "cmake"}
PATH_TOKEN = re.compile(r"^[\w.\-<>*?]+(/[\w.\-<>*?]*)*$")
GTEST_NAME = re.compile(r"(?<![\w.])([A-Z][A-Za-z0-9]*)\.([A-Z][A-Za-z0-9_]*)(?![\w.])")
URL = re.compile(r"[a-z]+://\S+")


def tracked_files(root):
    try:
        out = subprocess.run(["git", "-C", root, "ls-files", "--cached", "--others", "--exclude-standard"],
                             check=True, capture_output=True, text=True).stdout
        return sorted(set(out.split("\n")) - {""})
    except (OSError, subprocess.CalledProcessError):
        files = []
        for folder, dirs, names in os.walk(root):
            dirs[:] = [d for d in dirs if d != ".git" and not d.startswith("build")]
            files += [os.path.relpath(os.path.join(folder, n), root) for n in names]
        return sorted(files)


def wildcard_regex(pattern):
    """<name> and * match within one path component, ? one character of it."""
    out = ""
    for part in re.split(r"(<[^>/]*>|\*|\?)", pattern):
        if part.startswith("<") or part == "*":
            out += r"[^/]*"
        elif part == "?":
            out += r"[^/]"
        else:
            out += re.escape(part)
    return out


class Repository:
    def __init__(self, root):
        self.root = root
        self.files = tracked_files(root)
        self.top_level = {f.split("/")[0] for f in self.files}
        self.basenames = {f.rsplit("/", 1)[-1] for f in self.files}
        self.gtests = set()
        self.ctests = set()
        self.benchmarks = set()
        self.executables = set()  # targets named literally; test_<subsystem> comes from the folders
        for f in self.files:
            if f.endswith("CMakeLists.txt"):
                self.executables.update(re.findall(r"add_executable\(\s*([\w.\-]+)", self.read(f)))
            if f.startswith("tests/") and f.endswith(".cpp"):
                for suite, name in re.findall(r"\bTEST(?:_F|_P)?\(\s*(\w+)\s*,\s*(\w+)\s*\)", self.read(f)):
                    self.gtests.add(suite + "." + name)
            elif f.startswith("tests/") and f.endswith("CMakeLists.txt"):
                self.ctests.update(re.findall(r"add_test\(\s*NAME\s+([\w.\-]+)", self.read(f)))
            elif f.startswith("bench/") and f.endswith(".cpp"):
                self.benchmarks.update(re.findall(r"\b(BM_\w+)\s*\(", self.read(f)))
        self.ctests |= self.gtests

    def read(self, relative):
        with open(os.path.join(self.root, relative), encoding="utf-8", errors="replace") as f:
            return f.read()

    def has_path(self, path):
        directory = path.endswith("/")
        body = wildcard_regex(path.rstrip("/"))
        pattern = re.compile(body + ("/.+" if directory else "(/.+)?"))
        return any(pattern.fullmatch(f) for f in self.files)

    def has_basename(self, name):
        pattern = re.compile(wildcard_regex(name))
        return any(pattern.fullmatch(b) for b in self.basenames)

    def has_gtest_pattern(self, pattern):
        return any(fnmatch.fnmatchcase(t, pattern) for t in self.gtests)


def snippets(text):
    """(line number, text) of every fenced block line, inline code span and link target."""
    in_fence = False
    for number, line in enumerate(text.split("\n"), 1):
        if line.lstrip().startswith("```"):
            in_fence = not in_fence
            continue
        if in_fence:
            yield number, line
            continue
        for code in re.findall(r"`([^`]+)`", line):
            yield number, code
        for target in re.findall(r"\]\(([^)\s]+)\)", line):
            yield number, target


def path_problem(token, repo):
    """Why the token, read as a path, names nothing; None when it exists or is no repository path."""
    token = token.rstrip(".,:;")
    while token.startswith("./") or token.startswith("../"):
        token = token.split("/", 1)[1]
    if not token or not PATH_TOKEN.match(token) or token.startswith("-"):
        return None
    parts = token.split("/")
    first, last = parts[0], parts[-1]
    if first.startswith(("build", "<", "BM_")) or first in ("", ".", ".."):
        return None
    extension = last.rsplit(".", 1)[-1] if "." in last.lstrip(".") else ""
    if len(parts) == 1:
        if extension in BARE_NAME_EXTENSIONS and not repo.has_basename(token):
            return "no file is called " + token
        return None
    if first not in repo.top_level and extension not in SOURCE_EXTENSIONS and not token.endswith("/"):
        return None  # a fraction or a pair such as 1/w, not a path
    if not repo.has_path(token):
        return "no file or folder matches " + token
    return None


def name_problem(token, repo):
    """Why a bare name of a test executable, ctest test, fuzz target or benchmark names nothing."""
    if "<" in token:
        return None
    if (re.fullmatch(r"test_[a-z0-9_]+", token) and token not in repo.executables
            and not any(f.startswith("tests/" + token[5:] + "/") for f in repo.files)):
        return "no test executable " + token + " (no folder tests/" + token[5:] + "/ and no target of that name)"
    if re.fullmatch(r"(e2e|repo)_\w+", token) and token not in repo.ctests:
        return "no ctest test " + token
    if re.fullmatch(r"fuzz_[a-z0-9_]+", token) and token not in repo.ctests and "fuzz/" + token + ".cpp" not in repo.files:
        return "no fuzz target or ctest test " + token
    benchmark = token.split("/")[0]
    if re.fullmatch(r"BM_\w+", benchmark) and benchmark not in repo.benchmarks:
        return "no benchmark " + benchmark
    return None


def check(document, repo):
    problems = []
    text = repo.read(document)
    for number, line in enumerate(text.split("\n"), 1):
        for suite, name in GTEST_NAME.findall(URL.sub("", line)):
            if suite + "." + name not in repo.gtests:
                problems.append((number, "no test " + suite + "." + name))
    for number, snippet in snippets(text):
        snippet = URL.sub("", snippet)
        for quote, value in re.findall(r"--gtest_filter=(['\"]?)([^'\"\s]+)\1", snippet):
            for pattern in re.split(r"[:\-]", value):
                if pattern and "<" not in pattern and not repo.has_gtest_pattern(pattern):
                    problems.append((number, "the filter pattern " + pattern + " matches no test"))
        for pattern in re.findall(r"\bctest\b[^`]*?\s-R\s+['\"]?([^'\"\s`]+)", snippet):
            if "<" not in pattern and not any(re.search(pattern, t) for t in repo.ctests):
                problems.append((number, "ctest -R " + pattern + " matches no test"))
        for token in re.split(r"[\s'\"(),;=`|&]+", snippet):
            why = path_problem(token, repo) or name_problem(token.rstrip(".,:;"), repo)
            if why:
                problems.append((number, why))
    return problems


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: check_doc_references.py SOURCE_DIR")
    repo = Repository(sys.argv[1])
    documents = [f for f in repo.files if f.endswith(".md") and not f.split("/")[0].startswith("build")]
    failures = 0
    for document in documents:
        for number, why in check(document, repo):
            print(f"{document}:{number}: {why}")
            failures += 1
    if failures:
        print(f"{failures} references to things that do not exist")
        sys.exit(1)
    print(f"documents: every file, test and benchmark named in {len(documents)} Markdown files exists")


if __name__ == "__main__":
    main()
