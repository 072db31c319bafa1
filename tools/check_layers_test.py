#!/usr/bin/env python3
"""Tests of tools/check_layers.py on small trees of its own."""

import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

CHECK = Path(__file__).resolve().parent / "check_layers.py"


def check(files):
    """Runs the check on a tree holding `files` (path -> text): (status, output lines)."""
    with tempfile.TemporaryDirectory() as root:
        for path, text in files.items():
            (Path(root) / path).parent.mkdir(parents=True, exist_ok=True)
            (Path(root) / path).write_text(text)
        run = subprocess.run([sys.executable, str(CHECK), root], capture_output=True, text=True)
        return run.returncode, run.stdout.splitlines()


class CheckLayers(unittest.TestCase):
    def test_includes_from_below_and_beside_pass(self):
        status, lines = check({
            "app/a.cpp": '#include "survey/s.h"\n#include "runtime/r.h"\n#include <vector>\n',
            "survey/s.h": '#include "analysis/report.h"\n#include "platform/files.h"\n',
            "platform/posix/p.cpp": '#include "platform/files.h"\n',
            "survey/s_test.cpp": '#include "app/a.h"\n#include "platform/posix/p.h"\n',
            "tests/t.cpp": '#include "app/a.h"\n',
        })
        self.assertEqual((status, lines), (0, []))

    def test_an_upward_include_is_named_with_its_file_and_line(self):
        status, lines = check({
            "survey/s.cpp": '// the survey\n#include "survey/s.h"\n#  include "app/RemedorMain.h"\n',
            "runtime/r.cpp": '#include "components/mRegistry.h"\n',
        })
        self.assertEqual(status, 1)
        self.assertIn('runtime/r.cpp:1: "components/mRegistry.h": components/ is above runtime/',
                      lines)
        self.assertIn('survey/s.cpp:3: "app/RemedorMain.h": app/ is above survey/', lines)

    def test_a_backend_is_seen_only_by_its_own_files_and_its_front_end(self):
        status, lines = check({
            "platform/posix/a.cpp": '#include "platform/win32/w.h"\n',
            "runtime/r.cpp": '#include "platform/posix/p.h"\n',
            "frontend/win32/f.cpp": '#include "platform/win32/w.h"\n#include "app/a.h"\n',
        })
        self.assertEqual(status, 1)
        self.assertEqual(len(lines), 3)  # two includes and the count
        self.assertTrue(lines[0].startswith('platform/posix/a.cpp:1: "platform/win32/w.h"'))
        self.assertTrue(lines[1].startswith('runtime/r.cpp:1: "platform/posix/p.h"'))

    def test_a_known_pending_include_passes_until_it_is_gone(self):
        sys.dont_write_bytecode = True  # no __pycache__ beside the sources
        sys.path.insert(0, str(CHECK.parent))
        import check_layers
        pending = {("platform/win32/w.cpp", "app/a.h")}
        with tempfile.TemporaryDirectory() as root:
            source = Path(root) / "platform/win32/w.cpp"
            source.parent.mkdir(parents=True)
            source.write_text('#include "app/a.h"\n')
            self.assertEqual(check_layers.check(Path(root), pending), [])
            source.write_text('#include "platform/files.h"\n')
            self.assertEqual(check_layers.check(Path(root), pending), [
                'platform/win32/w.cpp: "app/a.h": no longer included, remove it from PENDING'])

    def test_an_include_from_no_known_folder_is_refused(self):
        status, lines = check({"analysis/x.cpp": '#include "vendor/lib.h"\n'})
        self.assertEqual(status, 1)
        self.assertIn('analysis/x.cpp:1: "vendor/lib.h": from no known layer', lines)


if __name__ == "__main__":
    unittest.main()
