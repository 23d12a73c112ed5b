#!/usr/bin/env python3
"""The include order's rule, on small trees, and the repository's src/ against it."""
import unittest

import check_includes


def check(path, header, others=()):
    files = {path: f'#include "{header}"\n', **{other: "" for other in others}}
    found, _ = check_includes.problems(files)
    return found


class CheckIncludes(unittest.TestCase):
    def test_rows(self):
        up = "points up the order"
        rows = [
            # (including file, included header, files beside it, wanted problem or None)
            ("host/bubble_saver.cpp", "host/startup_rules.h", (), None),
            ("host/bubble_saver.cpp", "gdiplus/scene/scene_driver.h", (), None),
            ("host/bubble_saver.cpp", "drivers/driver_table.h", (), None),
            ("directdraw/scene_driver.h", "drivers/driver_table.h", (), None),
            ("settings/dialog/win/run.h", "drivers/driver_table.h", (), None),
            ("gdiplus/scene/UMain.cpp", "gdiplus/pictures.h", (), None),
            ("settings/settings.h", "world/bubble_table.h", (), None),
            ("world/motion.cpp", "settings/settings.h", (), None),
            ("world/win/wind_platform.h", "framework/win/timer.h", (), None),
            ("settings/dialog/dialog_core.h", "vesperine_version.h", (), None),
            ("world/motion.cpp", "motion.h", ("world/motion.h",), None),
            ("framework/win/wind_platform.h", "world/wind.h", (),
             "src/framework/win/wind_platform.h:1: framework -> world"),
            ("directdraw/scene_driver.h", "host/drivers.h", (), "directdraw -> host"),
            ("drivers/driver_table.h", "host/bubble_saver.h", (), "drivers -> host"),
            ("drivers/driver_table.h", "directdraw/scene_driver.h", (), "drivers -> directdraw"),
            ("display/dxdraw.h", "drivers/driver_table.h", (), "display -> drivers"),
            ("gdiplus/preview.cpp", "gdiplus/scene/UMain.h", (), "gdiplus -> gdiplus/scene"),
            ("directdraw/UDxBall.cpp", "gdiplus/scene/UMain.h", (), "directdraw -> gdiplus/scene"),
            ("display/dxdraw.cpp", "gdiplus/pictures.h", (), "display -> gdiplus"),
            ("image/png.cpp", "framework/string_list.h", (), "image -> framework"),
            ("framework/form.cpp", "motion.h", ("world/motion.h",), "no room"),
            ("newroom/thing.cpp", "image/picture.h", (), "has no rank"),
        ]
        for path, header, others, wanted in rows:
            with self.subTest(f"{path} includes {header}"):
                found = check(path, header, others)
                if wanted is None:
                    self.assertEqual(found, [])
                else:
                    self.assertEqual(len(found), 1, found)
                    self.assertIn(wanted, found[0])
                    if "->" in wanted:
                        self.assertIn(up, found[0])

    def test_only_include_lines_count(self):
        text = ('// #include "host/drivers.h" in a comment\n'
                '  #  include "world/wind.h"\n'
                '#include <windows.h>\n')
        found, count = check_includes.problems({"framework/win/a.h": text})
        self.assertEqual(count, 1)
        self.assertEqual(len(found), 1)
        self.assertIn("src/framework/win/a.h:2: framework -> world", found[0])

    def test_the_repository_follows_the_order(self):
        files = check_includes.read_sources(check_includes.SRC)
        self.assertIn("host/bubble_saver.cpp", files)
        found, count = check_includes.problems(files)
        self.assertEqual(found, [])
        self.assertGreater(count, 100)


if __name__ == "__main__":
    unittest.main()
