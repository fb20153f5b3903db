#!/usr/bin/env python3
"""Checks the layering check: a small tree with good includes and one bad include of each kind."""
import os
import runpy
import sys
import tempfile

# The check is a script with a dash in its name: load its functions by path.
check = runpy.run_path(os.path.join(os.path.dirname(os.path.abspath(__file__)), "check-layering.py"))["check"]

TREE = {
    "core/text/A.h": "#pragma once\n",
    "net/N.h": '#include "core/text/A.h"\n#include "platform/net/HttpRequest.h"\n',
    "net/NTest.cpp": '#include "net/N.h"\n#include "platform/ui/AlertView.h"\n#include "standin/S.h"\n',
    "core/session/B.cpp": '#include "core/text/A.h"\n#include "net/N.h"\n',
    "net/UiUser.cpp": '#include "net/N.h"\n#include "platform/ui/Hud.h"\n',
    "standin/S.h": '#include "platform/net/HttpRequest.h"\n#include "core/text/A.h"\n',
    "app/ui/testing/Fake.h": '#include "net/N.h"\n',
    "app/ui/Screen.cpp": '#include "net/N.h"\n\n#include "app/ui/testing/Fake.h"\n',
    "app/ui/ScreenTest.cpp": '#include "app/ui/testing/Fake.h"\n#include "standin/S.h"\n',
    "bills/Form.cpp": '#include "pay/P.h"\n#include "home/H.h"\n',
    "lottery/ssq/Game.cpp": '#include "lottery/core/Codec.h"\n#include "app/ui/Screen.h"\n',
}
EXPECTED = {
    "core/session/B.cpp:2",      # core below net
    "net/UiUser.cpp:2",          # net without platform/ui
    "standin/S.h:2",             # stand-ins never include client code
    "app/ui/Screen.cpp:3",       # production code never reaches test support
    "bills/Form.cpp:2",          # features do not include each other
    "lottery/ssq/Game.cpp:2",    # games stand on the lottery core only
}

with tempfile.TemporaryDirectory() as root:
    for path, text in TREE.items():
        os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
        with open(os.path.join(root, path), "w") as fh:
            fh.write(text)
    found = {o.split(": ")[0] for o in check(root)}
    if found != EXPECTED:
        print("unexpected offences:", sorted(found - EXPECTED))
        print("missed offences:", sorted(EXPECTED - found))
        sys.exit(1)
print("layering check: every bad include of the sample tree is reported, nothing else")
