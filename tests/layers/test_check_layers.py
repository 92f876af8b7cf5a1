#!/usr/bin/env python3
"""The layer check's own cases: each fault, planted in a small tree, fails the check."""
import os
import sys
import tempfile
import types
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "..", "..", "scripts", "check-layers.py")
# The script's name holds a hyphen, so it is loaded by hand as a module of its own.
check_layers = types.ModuleType("check_layers")
check_layers.__file__ = SCRIPT
with open(SCRIPT, encoding="utf-8") as source:
    exec(compile(source.read(), SCRIPT, "exec"), check_layers.__dict__)

LAYERS = 'set(BRISQUELTON_LAYERS "core" "system" "images,engine" "app")\n'
CLEAN = {
    "cmake/Brisquelton.cmake": LAYERS + "set(BRISQUELTON_DEPS_system core user32)\n"
                               "set(BRISQUELTON_DEPS_app engine system core)\n",
    "CMakeLists.txt": "include(cmake/Brisquelton.cmake)\n",
    "core/a/A.h": "#include <windows.h>\n",
    "system/S.h": '#include "core/a/A.h"\n',
    "engine/E.cpp": '#include "system/S.h"\n#include "E.h"\n',
    "engine/E.h": "",
    "images/I.h": '#include "core/a/A.h"\n',
    "app/App.cpp": '#include "engine/E.h"\n#include "images/I.h"\n',
    "tests/support/Helper.h": "",
    "tests/app/AppTest.cpp": '#include "app/App.cpp"\n#include "tests/support/Helper.h"\n',
    "scripts/bench/Bench.cpp": '#include "engine/E.h"\n',
    "docs/notes.txt": "",
    # A build tree is no source.
    "build/CMakeCache.txt": "",
    "build/gen/Gen.cpp": '#include "tests/support/Helper.h"\n',
}


class CheckLayersTest(unittest.TestCase):
    def faults(self, changes):
        files = dict(CLEAN)
        files.update(changes)
        with tempfile.TemporaryDirectory() as root:
            for rel, text in files.items():
                path = os.path.join(root, rel)
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text)
            return check_layers.check_tree(root)[0]

    def test_a_clean_tree_passes_and_tests_may_include_every_layer(self):
        self.assertEqual(self.faults({}), [])

    def test_each_fault_fails_with_its_place(self):
        cases = [
            ("upward include", {"system/S.h": '#include "core/a/A.h"\n#include "app/App.cpp"\n'},
             "system/S.h:2: includes app/App.cpp from system (app is above system)"),
            ("sideways include", {"engine/E.h": '#include "images/I.h"\n'},
             "engine/E.h:1: includes images/I.h from engine (images is beside engine)"),
            ("sideways include beside the includer", {"engine/E.h": '#include "../images/I.h"\n'},
             "(images is beside engine)"),
            ("production include of tests/", {"app/App.cpp": '#include "tests/support/Helper.h"\n'},
             "app/App.cpp:1: includes tests/support/Helper.h (tests/ is no layer)"),
            ("production include of scripts/", {"core/a/A.h": '#include "scripts/bench/Bench.cpp"\n'},
             "core/a/A.h:1: includes scripts/bench/Bench.cpp (scripts/ is no layer)"),
            ("a folder that is no layer", {"plugins/P.cpp": ""}, "plugins/P.cpp: plugins/ is no layer"),
            ("upward set", {"cmake/Brisquelton.cmake": LAYERS + "set(BRISQUELTON_DEPS_core\n  kernel32 system)\n"},
             "cmake/Brisquelton.cmake:2: the core library links system (system is above core)"),
            ("upward target_link_libraries", {"CMakeLists.txt": "include(x)\n\ntarget_link_libraries(core PUBLIC app)\n"},
             "CMakeLists.txt:3: the core library links app (app is above core)"),
            ("sideways target_link_libraries in a subfolder",
             {"engine/CMakeLists.txt": "# target_link_libraries(engine images) in a comment is no link\n"
                                       "target_link_libraries(\n  engine\n  PRIVATE images)\n"},
             "engine/CMakeLists.txt:2: the engine library links images (images is beside engine)"),
            ("upward list(APPEND)", {"cmake/Extra.cmake": "list(APPEND BRISQUELTON_DEPS_engine app)\n"},
             "cmake/Extra.cmake:1: the engine library links app (app is above engine)"),
        ]
        for name, changes, expected in cases:
            with self.subTest(name):
                faults = self.faults(changes)
                self.assertTrue(any(expected in fault for fault in faults), "%s: %s" % (expected, faults))

    def test_the_command_fails_on_a_fault(self):
        with tempfile.TemporaryDirectory() as root:
            for rel, text in CLEAN.items():
                os.makedirs(os.path.dirname(os.path.join(root, rel)), exist_ok=True)
                with open(os.path.join(root, rel), "w", encoding="utf-8") as f:
                    f.write(text)
            sys.argv = [SCRIPT, root]
            self.assertEqual(check_layers.main(), 0)
            with open(os.path.join(root, "core", "a", "A.h"), "w", encoding="utf-8") as f:
                f.write('#include "system/S.h"\n')
            self.assertEqual(check_layers.main(), 1)


if __name__ == "__main__":
    unittest.main()
