#!/usr/bin/env python3
"""Checks every quoted #include against the module graph.

A module may include its own headers, the headers of the modules it depends on (directly or
through them), and the platform (net/ and reader/ without platform/ui). Test support (a module's
testing/ folder, *Test.cpp files, Test*.h, *TestHarness.h and *TestSupport.h headers) is never reached from production code.
standin/ never includes client code.

Usage: check-layering.py [ROOT]   (exit status 1 and "file:line: ..." for every offence)
"""
import os
import re
import sys

PLATFORM = ["platform/foundation", "platform/device", "platform/net", "platform/media", "platform/ui"]
PLATFORM_NO_UI = [p for p in PLATFORM if p != "platform/ui"]
FEATURES = ["home", "account", "bills", "transfer", "repay", "wallet", "collect", "records", "mall",
            "movie", "traffic"]

# Direct dependencies of each module; the check allows their transitive closure.
GRAPH = {
    "platform/foundation": [],
    "platform/device": ["platform/foundation"],
    "platform/net": ["platform/foundation", "platform/device"],
    "platform/media": ["platform/foundation", "platform/device"],
    "platform/ui": ["platform/foundation", "platform/device", "platform/net", "platform/media"],
    "platform/testing": PLATFORM,
    "core": PLATFORM,
    "net": ["core"] + PLATFORM_NO_UI,
    "reader": ["core", "net"] + PLATFORM_NO_UI,
    "app/ui": ["core", "net", "reader"] + PLATFORM,
    "app/reader": ["app/ui", "reader"],
    "pay": ["app/ui", "app/reader"],
    "lottery/core": ["core"] + PLATFORM,
    "standin": PLATFORM_NO_UI,
    "client": ["*"],
    "sim": ["*"],
    "fuzz": ["*"],
    "bench": ["*"],
    "tools": ["*"],
}
for feature in FEATURES:
    GRAPH[feature] = ["pay", "app/ui", "app/reader"]
# The lottery-account top-up by card speaks the lottery's wire codec through its stub.
GRAPH["bills"] = GRAPH["bills"] + ["lottery/core"]
NO_UI = {"net", "reader", "standin"}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def module_of(path, modules):
    """The longest module folder that holds path, or None."""
    best = None
    for m in modules:
        if path == m or path.startswith(m + "/"):
            if best is None or len(m) > len(best):
                best = m
    return best


def lottery_game(path):
    parts = path.split("/")
    if len(parts) >= 3 and parts[0] == "lottery" and parts[1] != "core":
        return "lottery/" + parts[1]
    return None


def closure(module, graph):
    seen = set()
    todo = [module]
    while todo:
        m = todo.pop()
        if m in seen:
            continue
        seen.add(m)
        todo.extend(graph.get(m, []))
    return seen


def is_test_only(path):
    """Test support: a testing/ folder, a test source, or a test harness or test-data header."""
    name = os.path.basename(path)
    if "testing" in path.split("/")[:-1]:
        return True
    if name.endswith("Test.cpp"):
        return True
    stem = os.path.splitext(name)[0]
    if not name.endswith(".h"):
        return False
    # The stand-ins are test infrastructure as a whole; their own Test* headers are not apart.
    if stem.startswith("Test") and not path.startswith("standin/"):
        return True
    return stem.endswith(("TestHarness", "TestSupport"))


def check(root):
    graph = dict(GRAPH)
    offences = []
    sources = []
    for dirpath, dirnames, filenames in os.walk(root):
        rel_dir = os.path.relpath(dirpath, root)
        if rel_dir == ".":
            dirnames[:] = [d for d in dirnames if not d.startswith(".") and d != "build"]
        for f in filenames:
            if f.endswith((".h", ".hpp", ".cpp", ".cc")):
                sources.append(os.path.normpath(os.path.join(rel_dir, f)))
    for src in sorted(sources):
        game = lottery_game(src)
        if game and game not in graph:
            graph[game] = ["lottery/core"]
    modules = list(graph)
    for src in sorted(sources):
        here = module_of(src, modules)
        if here is None:
            continue
        allowed = closure(here, graph)
        test_only = is_test_only(src) or here in ("fuzz", "bench", "tools")
        if test_only:
            allowed = allowed | {"standin"}  # tests drive the stand-ins
        with open(os.path.join(root, src), encoding="utf-8", errors="replace") as fh:
            for lineno, line in enumerate(fh, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                target = m.group(1)
                there = module_of(target, modules)
                if there is None:
                    continue  # headers outside every module (generated, third-party)
                where = f"{src}:{lineno}"
                if here == "standin" and not there.startswith("platform/") and there != "standin":
                    offences.append(f"{where}: standin/ includes client code \"{target}\"")
                elif not test_only and here in NO_UI and there == "platform/ui":
                    offences.append(f"{where}: {here}/ must not include platform/ui (\"{target}\")")
                elif "*" not in allowed and there not in allowed and not there.startswith("platform/"):
                    offences.append(f"{where}: {here}/ may not depend on {there}/ (\"{target}\")")
                elif not test_only and is_test_only(target):
                    offences.append(f"{where}: production code includes test-only \"{target}\"")
    return offences


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    offences = check(os.path.abspath(root))
    for o in offences:
        print(o)
    if offences:
        print(f"layering: {len(offences)} include(s) break the module graph", file=sys.stderr)
        return 1
    print("layering: every include follows the module graph")
    return 0


if __name__ == "__main__":
    sys.exit(main())
